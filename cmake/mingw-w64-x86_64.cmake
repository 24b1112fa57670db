# Cross-builds a static 64-bit gaumo.exe on Linux with mingw-w64 (Debian:
# g++-mingw-w64-x86-64-posix):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The posix flavour of the compiler has std::thread and friends, which
# GoogleTest needs; the Win32 flavour does not.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GAUMO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GAUMO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GAUMO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GAUMO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GAUMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
