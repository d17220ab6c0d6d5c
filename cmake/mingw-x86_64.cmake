# Cross-compiling for 64-bit Windows with mingw-w64 (x86_64).
set(TAVO_MINGW_PROCESSOR x86_64)
set(TAVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(TAVO_WINDOWS_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
