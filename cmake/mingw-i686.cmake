# Cross build for 32-bit Windows, run under Wine's 32-bit loader.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIVREL_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
