# The Debian package (cpack -G DEB, see scripts/package). Its version is the
# project's version with the Debian revision of cmake/Install.cmake; its
# dependencies on shared libraries come from dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME relan)
set(CPACK_PACKAGE_VENDOR "relan maintainers")
set(CPACK_PACKAGE_CONTACT "relan maintainers <relan@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# First line the synopsis, then the extended description in English and Russian.
file(READ ${PROJECT_SOURCE_DIR}/packaging/description.txt _relan_description)
string(REGEX REPLACE "\n$" "" _relan_description "${_relan_description}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${_relan_description}")

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${RELAN_DEB_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET relan)
  # Loaded at run time, so dpkg-shlibdeps cannot see them: the platform plugins
  # (xcb for the window, offscreen for --report) come with libqt6gui6, which the
  # window program links; Qt's own texts in Russian and a font with Cyrillic
  # letters are recommended.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
endif()

include(CPack)
