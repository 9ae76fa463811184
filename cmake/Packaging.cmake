# The Debian package, built by `make package` (cpack -G DEB). The program's own
# libraries give its dependencies (dpkg-shlibdeps, from dpkg-dev); the Japanese
# fonts, Qt's translations and Qt's platform plugins it needs at run time are
# named here, as no library points at them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Hibisi developers")
set(CPACK_PACKAGE_CONTACT "Hibisi developers <hibi@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese desktop calendar for marking days with ○, × and △")
set(CPACK_PACKAGE_DESCRIPTION
    "ヒビシルシ (Hibisi) keeps named calendars in which any day is marked with ○, ×
or △ by mouse or keyboard. Sundays and Japanese public holidays are drawn in
holiday colours. It counts the marks of a whole calendar or of a range of days,
enters one date for all calendars at once, and stores its files in the same
format as the Windows version. The user interface and the built-in help are in
Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://hibi.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
