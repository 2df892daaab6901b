# 32-bit Windows programs built on Linux with MinGW-w64 (Debian's g++-mingw-w64-i686-posix:
# POSIX threads, which std::thread and std::mutex need). The C and C++ runtimes and the
# threads library are linked in, so a program needs only the DLLs Windows itself has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(mingw i686-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_ASM_COMPILER ${mingw}-gcc-posix)
set(CMAKE_AR ${mingw}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_OBJCOPY ${mingw}-objcopy CACHE FILEPATH "")
set(CMAKE_STRIP ${mingw}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes every library as an archive where there is one: libgcc, libstdc++ and
# winpthread are linked in, while Windows' own DLLs are still reached through their import
# libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
