# What the MinGW-w64 toolchain files share; they set LK_MINGW_PROCESSOR
# (i686 or x86_64) and include this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LK_MINGW_PROCESSOR})
set(_lk_triple ${LK_MINGW_PROCESSOR}-w64-mingw32)

# The -posix compilers: the win32 thread model lacks std::mutex and friends.
set(CMAKE_C_COMPILER ${_lk_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_lk_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_lk_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_lk_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static runtime: no MinGW DLL has to travel with the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
