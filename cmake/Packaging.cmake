# `make package`: a Debian package of both programs, the desktop entry, the
# icon, the man pages, the AppStream metadata, the copyright file and the
# changelog, versioned by the project's version. `make package-check` holds
# it to lintian.
if(CMAKE_CROSSCOMPILING)
  return()  # the Windows programs are packed by `make windows-zip`
endif()
include(ManPages)

set(QUILLMERE_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/quillmere")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" DESTINATION "${QUILLMERE_DOC_DIR}")
# Debian's changelog, gzipped without a time stamp.
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog" "${PROJECT_BINARY_DIR}/packaging/changelog" @ONLY)
add_custom_command(
  OUTPUT "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
  COMMAND gzip -9nkf "${PROJECT_BINARY_DIR}/packaging/changelog"
  DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog"
  VERBATIM)
add_custom_target(quillmere_changelog ALL DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz" DESTINATION "${QUILLMERE_DOC_DIR}")
if(QUILLMERE_BUILD_UI)
  configure_file("${PROJECT_SOURCE_DIR}/packaging/io.github.quillmere.Quillmere.metainfo.xml"
                 "${PROJECT_BINARY_DIR}/packaging/io.github.quillmere.Quillmere.metainfo.xml" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/packaging/io.github.quillmere.Quillmere.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR "Quillmere developers")
set(CPACK_PACKAGE_CONTACT "Quillmere developers <quillmere@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool for translating the text of game ROM images")
# CPack puts the summary above it: the synopsis once.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Exports the text of a stretch of a ROM image through code tables,
checks a translation against the tables and the original byte counts,
and imports it back in place. A Qt window (quillmere) and a command
line (quillmere-cli). Text files are GBK (code page 936) or UTF-8.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Installed programs carry no symbols.
set(CPACK_STRIP_FILES ON)
# The library packages the programs link against, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
