# Cross build for 32-bit Windows with MinGW-w64, tests run under Wine:
#   cmake -S . -B build-win32 -G Ninja --toolchain cmake/mingw-i686.cmake -DDUPLORA_GUI=OFF
# The posix thread model of the compiler is used because GoogleTest needs std::mutex and
# friends; -static (set for WIN32 in the top-level file) folds its runtime into each executable.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(DUPLORA_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${DUPLORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUPLORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DUPLORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DUPLORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables run through 32-bit Wine (or report themselves skipped where it cannot run).
find_program(DUPLORA_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
