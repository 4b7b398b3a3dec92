# A Windows program whose image Wine loads quickly:
# - sections sit at page boundaries in the file too, so the loader maps them
#   instead of reading the whole image in;
# - the debug information moves into <program>.debug beside the program,
#   which keeps a link to it for debuggers: the loader reads every section of
#   an image at each start, and the debug sections are ten times the size of
#   the rest (about 30 ms of the gate's start under Wine).
function(lk_lean_windows_image name)
  target_link_options(${name} PRIVATE -Wl,--file-alignment,4096)
  if(CMAKE_OBJCOPY)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${name}> $<TARGET_FILE:${name}>.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${name}>.debug $<TARGET_FILE:${name}>
      VERBATIM)
  endif()
endfunction()

# lk_host_pictures(SOURCE file OUT_DIR dir OUTPUTS files... [DEPENDS files...] COMMENT text)
# Pictures (bitmaps, icons) that a small program of ours draws at build time:
# compiled with the host's compiler and run with the output folder, so no
# Windows program has to run during the build.
function(lk_host_pictures)
  cmake_parse_arguments(G "" "SOURCE;OUT_DIR;COMMENT" "OUTPUTS;DEPENDS" ${ARGN})
  find_program(LK_HOST_CXX NAMES g++ c++ clang++ REQUIRED)
  get_filename_component(tool ${G_SOURCE} NAME_WE)
  add_custom_command(OUTPUT ${G_OUTPUTS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${G_OUT_DIR}
    COMMAND ${LK_HOST_CXX} -std=c++17 -O1 -o ${G_OUT_DIR}/${tool} ${G_SOURCE}
    COMMAND ${G_OUT_DIR}/${tool} ${G_OUT_DIR}
    DEPENDS ${G_SOURCE} ${G_DEPENDS}
    COMMENT "${G_COMMENT}")
endfunction()

# A program of the system (lkmain, passbox): a lean image (above), and the
# runtime's semaphores made through calls the 9x line carries out
# (base/win/runtime_9x.cpp, linked as an object).
function(lk_system_program name)
  lk_lean_windows_image(${name})
  target_link_libraries(${name} PRIVATE lk_runtime_9x)
endfunction()
