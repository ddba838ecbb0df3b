# The window system's DLLs, the file dialogs' too, are imported lazily: a
# command-line wake never calls them, and under Wine loading USER32, GDI32
# and COMCTL32 costs more
# than the whole wake. Each import library of the toolchain is turned into a
# delay-load library with the same exports, and kivrel_window_dlls links those
# in its place (the first call of a DLL's function loads it).
# The headers then declare these DLLs' functions as plain externals, so calls
# go to the delay-load thunks; through a dllimport pointer they would reach an
# import slot that the 32-bit delay-load libraries leave empty (the 64-bit
# ones fill it with the thunk, and work either way).
add_compile_definitions(_USER32_ _GDI32_ _COMCTL32_ _COMDLG32_)

# 32-bit C names carry a leading underscore; 64-bit ones none.
set(symbol_prefix "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(symbol_prefix _)
endif()

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delay)
add_library(kivrel_window_dlls INTERFACE)
# WSOCK32 and IPHLPAPI are imported lazily too, for safety: they are not among
# Windows' known DLLs, so a normal import is looked for beside the exe first,
# before start-up has limited DLL search to the system folder
# (app/safe_dll_search.cpp). An empty WINSOCK_API_LINKAGE makes Winsock's
# declarations plain externals, as above.
add_library(kivrel_socket_dlls INTERFACE)
target_compile_definitions(kivrel_socket_dlls INTERFACE WINSOCK_API_LINKAGE=)
foreach(dll user32 gdi32 comctl32 comdlg32 wsock32 iphlpapi)
  set(owner kivrel_window_dlls)
  if(dll MATCHES "^(wsock32|iphlpapi)$")
    set(owner kivrel_socket_dlls)
  endif()
  find_library(KIVREL_IMPORT_${dll} NAMES lib${dll}.a REQUIRED)
  set(def ${dll}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
  # Made in its folder: dlltool names its symbols after the path it is given,
  # and the build folder must not end up in the exe.
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT=${KIVREL_IMPORT_${dll}} -DDLL=${dll}.dll
            -DDEF=${def} -DPREFIX=${symbol_prefix} -P ${PROJECT_SOURCE_DIR}/cmake/write_delay_def.cmake
    COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${def} --dllname ${dll}.dll
            --output-delaylib lib${dll}_delay.a
    DEPENDS ${KIVREL_IMPORT_${dll}} ${PROJECT_SOURCE_DIR}/cmake/write_delay_def.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/delay
    COMMENT "Delay-load library for ${dll}.dll"
    VERBATIM)
  add_custom_target(kivrel_delay_${dll} DEPENDS ${lib})
  add_dependencies(${owner} kivrel_delay_${dll})
  target_link_libraries(${owner} INTERFACE ${lib})
endforeach()
