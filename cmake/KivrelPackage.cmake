# The Windows download, Kivrel-<version>-win32.zip: Kivrel.exe (stripped), the
# user guides and the licence in one folder. The guides go in as .txt with a
# UTF-8 byte order mark and CRLF line ends, so that a double-click opens them
# in Notepad, and every Notepad, old ones too, reads the Japanese correctly.

set(KIVREL_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-docs)

# Writes `source` as a Windows text file; the picture lines of a guide are
# dropped, as a text editor cannot show them.
function(kivrel_windows_text source target)
  file(READ ${source} text)
  string(REGEX REPLACE "(^|\n)!\\[[^\n]*\\]\\([^\n]*\\)[ ]*\n\n?" "\\1" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 bom)
  file(WRITE ${KIVREL_PACKAGE_DOCS}/${target} "${bom}${text}")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

kivrel_windows_text(${PROJECT_SOURCE_DIR}/docs/guide-ja.md guide-ja.txt)
kivrel_windows_text(${PROJECT_SOURCE_DIR}/docs/guide-en.md guide-en.txt)
kivrel_windows_text(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)
install(FILES ${KIVREL_PACKAGE_DOCS}/guide-ja.txt ${KIVREL_PACKAGE_DOCS}/guide-en.txt
              ${KIVREL_PACKAGE_DOCS}/LICENSE.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kivrel)
set(CPACK_PACKAGE_VENDOR "Kivrel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kivrel-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
