# What both MinGW-w64 cross builds share (POSIX threads), run under Wine. The
# toolchain file that includes this sets CMAKE_SYSTEM_PROCESSOR and
# KIVREL_WINE_LOADER, the Wine loader of the same width.
set(CMAKE_SYSTEM_NAME Windows)
set(KIVREL_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${KIVREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KIVREL_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KIVREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every Windows program the build makes runs isolated: its own network
# namespace and a wineserver started inside it, under this build's loader.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/isolated;--wine=${KIVREL_WINE_LOADER};${KIVREL_WINE_LOADER})
