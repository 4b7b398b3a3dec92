# Cross toolchain: the same programs as 64-bit Windows programs, for machines
# whose kernel cannot run 32-bit code (Wine's 32-bit loader is a 32-bit Linux
# program): there the Windows tests run on this build under 64-bit Wine.
set(LK_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
