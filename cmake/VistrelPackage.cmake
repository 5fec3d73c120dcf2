# SPDX-License-Identifier: MIT
# `cpack -G DEB` in the build folder: vistrel_<version>_<arch>.deb with what the default install
# lays out under /usr (never the sample listing site). Its dependencies are read off the
# binaries by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_PACKAGE_NAME vistrel)
set(CPACK_PACKAGE_VENDOR "The Vistrel developers")
set(CPACK_PACKAGE_CONTACT "The Vistrel developers <vistrel@vistrel.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "search Japanese TV listings for your keywords")
# Debian wants the long description in lines under 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vistrel checks Japanese television listings for the keywords kept in a\n"
    "keyword file. A pool of download threads fetches one search-result page\n"
    "per keyword from a listing site, each keyword is marked OK or NG, and a\n"
    "listing-site plug-in gathers the listings into one HTML result page that\n"
    "opens in the web browser. A batch mode runs the same search from a\n"
    "terminal or a scheduler.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only what the default install holds: the sample listing site stays out.
set(CPACK_COMPONENTS_ALL program)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/" "/\\\\.git/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vistrel.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Result pages open with the desktop's handler through xdg-open; Qt's own buttons and dialogs
# speak the desktop's language with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")

include(CPack)
