# Cross build for 64-bit Windows, run under Wine's 64-bit loader: named
# outright, as /usr/bin/wine takes the 32-bit one whenever it is installed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KIVREL_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
