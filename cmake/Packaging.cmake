# The Debian package: what `cmake --install` puts under /usr, built with `cpack` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Sorvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sorvane金融终端: desktop client of the stock-market information service")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Sorvane developers <dev@sorvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The Qt 6 runtime packages come from the programs' own library needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The keyring library finds the Secret Service through libsecret, which it loads at run time, so
# no library need of the programs names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6keychain1, libsecret-1-0")
include(CPack)
