# Writes a module-definition file listing every function of an import
# library (its text symbols, the PREFIX of the C names removed: "_" in 32-bit
# libraries, nothing in 64-bit ones; a 32-bit "@n" kept for dlltool
# --kill-at). Run with -DNM= -DIMPORT= -DDLL= -DDEF= -DPREFIX=.
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[0-9a-f]+ T ${PREFIX}[A-Za-z0-9_@]+" functions "${symbols}")
set(text "LIBRARY ${DLL}\nEXPORTS\n")
foreach(line IN LISTS functions)
  string(REGEX REPLACE "^[0-9a-f]+ T ${PREFIX}" "" name "${line}")
  string(APPEND text "${name}\n")
endforeach()
file(WRITE ${DEF} "${text}")
