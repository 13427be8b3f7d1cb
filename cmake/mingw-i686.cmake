# Cross build for 32-bit Windows (the program users run) with MinGW-w64; its tests run under
# 32-bit Wine where the kernel runs 32-bit programs:
#   cmake -S . -B build-win32 -G Ninja --toolchain cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DUPLORA_MINGW_PREFIX i686-w64-mingw32)
set(DUPLORA_WINE_NAMES wine)
set(DUPLORA_WINESERVER_NAMES wineserver32 wineserver)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
