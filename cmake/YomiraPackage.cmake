# The Debian package of an installed tree: cpack -G DEB in a Release build.
set(CPACK_PACKAGE_NAME "yomira")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Yomira developers")
set(CPACK_PACKAGE_CONTACT "Yomira developers <yomira@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vertical-writing reader for Japanese e-texts")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Yomira typesets Japanese e-texts in the notation of the public e-text library (ruby, annotations, "
    "page breaks, emphasis marks, kanbun reading marks) in vertical writing with kinsoku, and turns "
    "the pages right to left.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
# Dependencies come from the linked shared libraries; the fonts, Qt's Japanese texts and the
# page-turn sound's library (opened at run time) are recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipaexfont, qt6-translations-l10n, libsdl2-2.0-0")
include(CPack)
