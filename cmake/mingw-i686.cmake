# Cross toolchain: 32-bit Windows programs with MinGW-w64, run through Wine.
set(LK_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
