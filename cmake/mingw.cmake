# What the mingw-w64 toolchain files share: the compilers of TAVO_MINGW_TRIPLE (POSIX thread model) and
# the search roots. Included by mingw-i686.cmake and mingw-x86_64.cmake after they set
# TAVO_MINGW_PROCESSOR, TAVO_MINGW_TRIPLE and TAVO_WINDOWS_ARCH (win32 or win64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAVO_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${TAVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVO_MINGW_TRIPLE}-windres)

# Libraries and headers come only from the mingw sysroot and from the Windows
# dependencies built into our own build tree (scripts/build-libjpeg-windows.sh);
# the host's /usr/include and /usr/lib are never searched.
get_filename_component(_tavo_windows_deps "${CMAKE_CURRENT_LIST_DIR}/../build/deps/libjpeg-${TAVO_WINDOWS_ARCH}"
                       ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVO_MINGW_TRIPLE} "${_tavo_windows_deps}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
