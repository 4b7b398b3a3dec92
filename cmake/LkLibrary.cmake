# lk_add_library(name SOURCES file... [LIBS lib...]): a static library of the
# listed sources (relative to the calling folder). Every source is named
# here, so a file in the wrong folder or in two lists is a build error, not a
# silent extra compile.
function(lk_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT L_SOURCES)
    message(FATAL_ERROR "lk_add_library(${name}): no SOURCES")
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()
