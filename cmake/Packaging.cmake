# `make package`: a Debian package of both programs, the desktop entry and the
# icon, versioned by the project's version.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_CONTACT "Quillmere maintainers <quillmere@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tool for translating the text of game ROM images")
set(CPACK_PACKAGE_DESCRIPTION
    "Exports the text of a stretch of a ROM image through code tables, checks a translation against "
    "the tables and the original byte counts, and imports it back in place. A Qt window (quillmere) "
    "and a command line (quillmere-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The library packages the programs link against, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
