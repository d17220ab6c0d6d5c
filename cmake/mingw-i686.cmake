# Cross-compiling for 32-bit Windows with mingw-w64 (i686, POSIX thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# Libraries and headers come only from the mingw sysroot and from the Windows
# dependencies built into our own build tree (scripts/build-libjpeg-win32.sh);
# the host's /usr/include and /usr/lib are never searched.
get_filename_component(_tavo_win32_deps "${CMAKE_CURRENT_LIST_DIR}/../build/deps/libjpeg-win32" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 "${_tavo_win32_deps}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
