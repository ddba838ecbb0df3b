# The Linux download, kivrel_<debian version>_<arch>.deb: the command-line
# waker, its manual pages in English and Japanese, the copyright file, the
# Debian changelog and the lintian overrides (the README says why). The top
# entry of packaging/debian/changelog gives the package's version, maintainer
# and date; the date is every file's time in it, so the same sources give the
# same package in any folder.

set(packaging ${PROJECT_SOURCE_DIR}/packaging/debian)
set(changelog ${packaging}/changelog)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
foreach(field Version Timestamp)
  execute_process(COMMAND dpkg-parsechangelog -l ${changelog} -S ${field}
                  OUTPUT_VARIABLE deb_${field} OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# A release whose changelog was not brought along is a fault.
if(NOT deb_Version MATCHES "^${KIVREL_VERSION}-[0-9]+$")
  message(FATAL_ERROR
          "packaging/debian/changelog is for ${deb_Version}; the version is ${KIVREL_VERSION}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d @${deb_Timestamp} +%F OUTPUT_VARIABLE KIVREL_DEB_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(man_pages)
foreach(page kivrel.1 kivrel.ja.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  list(APPEND man_pages ${CMAKE_BINARY_DIR}/man/${page})
endforeach()

set(KIVREL_DEB ${CMAKE_BINARY_DIR}/package/kivrel_${deb_Version}_${deb_arch}.deb)
set(script ${PROJECT_SOURCE_DIR}/cmake/write_deb.py)
add_custom_command(OUTPUT ${KIVREL_DEB}
  COMMAND python3 ${script} ${KIVREL_DEB} $<TARGET_FILE:kivrel> ${packaging}
          ${PROJECT_SOURCE_DIR}/LICENSE ${KIVREL_RELEASE_URL} ${man_pages}
  DEPENDS kivrel ${changelog} ${packaging}/lintian-overrides ${PROJECT_SOURCE_DIR}/LICENSE
          ${man_pages} ${script}
  COMMENT "Packing kivrel_${deb_Version}_${deb_arch}.deb"
  VERBATIM)
add_custom_target(kivrel_deb ALL DEPENDS ${KIVREL_DEB})
