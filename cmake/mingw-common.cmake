# What the MinGW-w64 toolchain files share; they set LK_MINGW_PROCESSOR
# (i686 or x86_64) and include this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LK_MINGW_PROCESSOR})
set(_lk_triple ${LK_MINGW_PROCESSOR}-w64-mingw32)

# The -win32 compilers (the win32 thread model): the -posix ones link the
# winpthreads library into every program, and it imports calls that Windows 95
# and NT 4.0 lack (GetTickCount64, the vectored exception handlers, ...).
# This C++ library has no std::mutex, std::thread or std::condition_variable:
# the programs lock and start threads with calls of their own
# (base/win/critsec.h, forms/win/thread.h), the tests too (tests/support).
set(CMAKE_C_COMPILER ${_lk_triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_lk_triple}-g++-win32)
set(CMAKE_RC_COMPILER ${_lk_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_lk_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static runtime: no MinGW DLL has to travel with the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
