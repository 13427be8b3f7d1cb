# Cross build for 64-bit Windows with MinGW-w64, the same sources as the 32-bit program; its
# tests run under 64-bit Wine on any x86-64 Linux:
#   cmake -S . -B build-win64 -G Ninja --toolchain cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DUPLORA_MINGW_PREFIX x86_64-w64-mingw32)
set(DUPLORA_WINE_NAMES wine64)
set(DUPLORA_WINESERVER_NAMES wineserver64 wineserver)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
