# lk_add_library(name DIR dir [LIBS ...]): a static library of every .cpp in
# `dir` (a new file joins on the next build). Files that are not ready yet
# stay out of the build under another ending (.cpp.wip).
function(lk_add_library name)
  cmake_parse_arguments(L "" "DIR" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${L_DIR}/*.cpp)
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// no sources yet\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()
