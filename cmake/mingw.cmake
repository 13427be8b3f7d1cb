# What the two MinGW-w64 toolchain files share; each sets DUPLORA_MINGW_PREFIX, the processor,
# and DUPLORA_WINE_NAMES / DUPLORA_WINESERVER_NAMES (the Wine of the same word size) first.
#
# The posix thread model of the compiler is used because GoogleTest needs std::mutex and
# friends; -static (set for WIN32 in the top-level file) folds its runtime into each executable.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${DUPLORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUPLORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DUPLORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DUPLORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Wine that runs this word size's programs, by its own loader and server (Debian keeps them
# in /usr/lib/wine; its /usr/bin/wine picks the 32-bit loader wherever one is installed). Not
# required here: a machine without it still builds, and the Wine tests' start step fails saying
# what is missing.
find_program(DUPLORA_WINE NAMES ${DUPLORA_WINE_NAMES} HINTS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
find_program(DUPLORA_WINESERVER NAMES ${DUPLORA_WINESERVER_NAMES} HINTS /usr/lib/wine
             NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR ${DUPLORA_WINE})
