# The Debian package, built by `cmake --build build --target package` as
# stormtap_<version>_amd64.deb. It holds everything the project installs, the
# later programs included; their library needs are computed by dpkg-shlibdeps,
# and what they load at run time without linking it is listed below.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stormtap)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Stormtap maintainers")
set(CPACK_PACKAGE_CONTACT "Stormtap maintainers <maintainers@users.noreply.c-seed-877fe71c.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps a local collection of current weather-radar images")
set(CPACK_PACKAGE_DESCRIPTION
    "At a set interval Stormtap asks a web server for the radar images of the
NEXRAD sites and products you chose and stores every new picture in an image
directory. Between rounds it can wait in the system tray.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Install with DESTDIR, so that CMAKE_INSTALL_PREFIX is /usr while the package
# is laid out: the desktop entry's Exec line is made from it.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plug-ins or by name, so dpkg-shlibdeps cannot see them: the SVG
# support for the pictures and the fonts that stand in for the window's fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-liberation, fonts-comic-neue, fonts-dejavu-core")
# Without it Qt draws through XWayland on a Wayland desktop; with it, natively,
# at the price of eleven more packages.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
