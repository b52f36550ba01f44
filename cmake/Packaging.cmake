# The Debian package: what `cmake --install` puts under /usr, built with `cpack` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Sorvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sorvane金融终端: desktop client of the stock-market information service")
set(CPACK_PACKAGE_DESCRIPTION "The desktop client of the Sorvane stock-market information service\n\
shows the service's quote, news and analysis pages in one window, with\n\
pop-up windows, a tabbed page window and a video window. Its upgrader\n\
installs new signed releases of the client.")
# Release builds carry no debugging symbols into the package.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Sorvane developers <dev@sorvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The Qt 6 runtime packages come from the programs' own library needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load at run time, which no library need of theirs names: the Secret Service
# through libsecret (by the keyring library), Qt's platform plugins, the engine's helper process,
# Qt's own Chinese texts (message box buttons read "确定"/"取消") and a font with Chinese letters.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6keychain1, libsecret-1-0, qt6-qpa-plugins, libqt6webenginecore6-bin, qt6-translations-l10n, fonts-noto-cjk | fonts-wqy-microhei")
# Native Wayland, for sessions without Xwayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# The copyright file and the changelog every Debian package carries.
set(package_doc ${CMAKE_BINARY_DIR}/generated/doc)
file(MAKE_DIRECTORY ${package_doc})
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${package_doc}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${package_doc}/changelog)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${package_doc}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sorvane)
include(CPack)
