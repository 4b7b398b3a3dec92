# The interface components' resources: the string table of the standard
# buttons and the password dialog, the hand and drag cursors, the key icon,
# the check tree's boxes and the directory edit's glyph "FEDITBMP". A native
# generator writes them at build time (the texts come from the one table in
# controls/core); windres compiles them into an object that a program takes
# in with lk_link_ctrls_resources(<target>). A program with icons of its own
# cannot take that object too (the two scripts number their icon images
# alike): its script names the pictures it needs from ${LK_CTRLS_RES_DIR}
# instead, after add_dependencies(<its target> lk_ctrls_res).
find_program(LK_HOST_CXX NAMES g++ c++ REQUIRED)
set(LK_CTRLS_RES_DIR ${CMAKE_BINARY_DIR}/lkctrls_res CACHE INTERNAL "")
set(LK_CTRLS_RES_OBJ ${LK_CTRLS_RES_DIR}/lkctrls_res.o CACHE INTERNAL "")
set(_lk_res_src ${CMAKE_CURRENT_LIST_DIR})
add_custom_command(
  OUTPUT ${LK_CTRLS_RES_OBJ} ${LK_CTRLS_RES_DIR}/lkctrls.rc ${LK_CTRLS_RES_DIR}/LKTREEVW_CHECKS.bmp
         ${LK_CTRLS_RES_DIR}/FEDITBMP.bmp ${LK_CTRLS_RES_DIR}/KEYICON2.ico ${LK_CTRLS_RES_DIR}/LK_HANDCUR.cur
         ${LK_CTRLS_RES_DIR}/LK_DRAGCUR.cur ${LK_CTRLS_RES_DIR}/LK_HANDPOINT.cur
         ${LK_CTRLS_RES_DIR}/LK_SMALLHANDPOINT.cur ${LK_CTRLS_RES_DIR}/LK_GRABHAND.cur
         ${LK_CTRLS_RES_DIR}/LK_GRABHANDARROW.cur ${LK_CTRLS_RES_DIR}/LK_DRAGHAND.cur
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LK_CTRLS_RES_DIR}
  COMMAND ${LK_HOST_CXX} -std=c++20 -O1 -I${CMAKE_SOURCE_DIR} ${_lk_res_src}/gen_lkres.cpp
          ${CMAKE_SOURCE_DIR}/controls/core/lkbuttonkinds.cpp -o ${LK_CTRLS_RES_DIR}/gen_lkres
  COMMAND ${LK_CTRLS_RES_DIR}/gen_lkres ${LK_CTRLS_RES_DIR}
  COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${LK_CTRLS_RES_DIR}/lkctrls.rc -o ${LK_CTRLS_RES_OBJ}
  DEPENDS ${_lk_res_src}/gen_lkres.cpp ${CMAKE_SOURCE_DIR}/controls/core/lkbuttonkinds.cpp
          ${CMAKE_SOURCE_DIR}/controls/core/lkbuttonkinds.h
  COMMENT "Generating the interface components' resources"
  VERBATIM)
add_custom_target(lk_ctrls_res DEPENDS ${LK_CTRLS_RES_OBJ})

# The object goes to the linker as it is (an object, unlike an archive
# member, is always taken in: resources have no symbols to pull them).
function(lk_link_ctrls_resources target)
  target_link_libraries(${target} PRIVATE ${LK_CTRLS_RES_OBJ})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${LK_CTRLS_RES_OBJ})
  add_dependencies(${target} lk_ctrls_res)
endfunction()
