# Writes a module-definition file listing every function of an import
# library (its text symbols, the "_" of the C names removed, "@n" kept for
# dlltool --kill-at). Run with -DNM= -DIMPORT= -DDLL= -DDEF=.
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[0-9a-f]+ T _[A-Za-z0-9_@]+" functions "${symbols}")
set(text "LIBRARY ${DLL}\nEXPORTS\n")
foreach(line IN LISTS functions)
  string(REGEX REPLACE "^[0-9a-f]+ T _" "" name "${line}")
  string(APPEND text "${name}\n")
endforeach()
file(WRITE ${DEF} "${text}")
