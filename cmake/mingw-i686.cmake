# Cross-compiling for 32-bit Windows with mingw-w64 (i686).
set(TAVO_MINGW_PROCESSOR i686)
set(TAVO_MINGW_TRIPLE i686-w64-mingw32)
set(TAVO_WINDOWS_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
