# The Windows download, Kivrel-<version>-<build>.zip (build win32 or win64):
# Kivrel.exe (stripped), the user guides and the licence in one folder. The
# guides go in as .txt with a UTF-8 byte order mark and CRLF line ends, so that
# a double-click opens them in Notepad, and every Notepad, old ones too, reads
# the Japanese correctly. Every build packs it; the same sources give the same
# zip in any folder.

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

# The texts name the download by hand; a version they do not give is a fault.
foreach(text README.md docs/guide-en.md docs/guide-ja.md)
  file(READ ${PROJECT_SOURCE_DIR}/${text} words)
  string(REGEX MATCHALL "Kivrel-[0-9.]+-win|kivrel_[0-9.]+-|(version|バージョン) [0-9]+\\.[0-9]+"
         named "${words}")
  foreach(name IN LISTS named)
    if(NOT name MATCHES " ${KIVREL_VERSION}$|[-_]${KIVREL_VERSION}-")
      message(FATAL_ERROR "${text} names ${name}; the version is ${KIVREL_VERSION}")
    endif()
  endforeach()
endforeach()

set(KIVREL_ZIP_FOLDER Kivrel-${KIVREL_VERSION}-${KIVREL_WINDOWS_BUILD})
set(KIVREL_ZIP ${CMAKE_BINARY_DIR}/package/${KIVREL_ZIP_FOLDER}.zip)
set(stripped ${CMAKE_BINARY_DIR}/package/Kivrel.exe)
set(docs ${KIVREL_PACKAGE_DOCS}/guide-ja.txt ${KIVREL_PACKAGE_DOCS}/guide-en.txt
         ${KIVREL_PACKAGE_DOCS}/LICENSE.txt)
# strip stamps the PE header with the time unless told the epoch.
add_custom_command(OUTPUT ${KIVREL_ZIP}
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_STRIP} -o ${stripped}
          $<TARGET_FILE:Kivrel>
  COMMAND python3 ${PROJECT_SOURCE_DIR}/cmake/write_zip.py ${KIVREL_ZIP} ${KIVREL_ZIP_FOLDER}
          ${stripped} ${docs}
  DEPENDS Kivrel ${docs} ${PROJECT_SOURCE_DIR}/cmake/write_zip.py
  COMMENT "Packing ${KIVREL_ZIP_FOLDER}.zip"
  VERBATIM)
add_custom_target(kivrel_zip ALL DEPENDS ${KIVREL_ZIP})

# The winget and Scoop manifests of the zips that scripts/release gathers in
# build/release, written beside them.
add_custom_target(kivrel_manifests
  COMMAND python3 ${PROJECT_SOURCE_DIR}/cmake/write_manifests.py
          ${PROJECT_SOURCE_DIR}/build/release ${KIVREL_VERSION} ${KIVREL_RELEASE_URL}
  VERBATIM)
