# The Debian package, built by CPack from the install rules (scripts/package.sh runs it):
# zantrel_<version>_<arch>.deb in <build>/package.
set(ZANTREL_PACKAGE_CONTACT "Zantrel developers <zantrel@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zantrel)
set(CPACK_PACKAGE_CONTACT ${ZANTREL_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chart the readings of temperature and humidity data loggers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zantrel uploads the readings of ZL temperature and humidity data loggers over a
serial port or USB serial adapter, checks every block and charts temperature and
relative humidity with their alarm and test marks. Charts are saved as
comma-delimited files with a scrambled, tamper-evident duplicate, loaded back and
printed. zantrel-cli does the same jobs without a window; zantrel-sim plays a
logger on a pseudo-terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Run-time dependencies come from the shared libraries the programs link (dpkg-shlibdeps).
# Added by hand are the plugins Qt loads at run time, which no library check can see: the
# window's platform plugins and the archive's SQLite and PostgreSQL drivers.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, libqt6sql6-psql")
include(CPack)
