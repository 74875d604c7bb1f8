# The Debian package: cpack -G DEB in the build folder makes varnolux_VERSION_ARCH.deb
# from the install rules, with the shared libraries it needs found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnolux)
# The package carries the program's own four-part version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnolux developers")
set(CPACK_PACKAGE_CONTACT "Varnolux developers <varnolux@varnolux.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure coloured areas in photographs and scans")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://varnolux.invalid/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the SVG icon engine, which draws the action icons, as a plugin: no link
# tells dpkg-shlibdeps about it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# DICOM files are read through DCMTK's tools, Qt's own dialogs speak the language
# file's language with Qt's translations, and Help -> Manual opens the PDF through
# xdg-open; the program works without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dcmtk, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
# The summary above is the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Varnolux marks the pixels of an image whose hue, saturation and brightness lie
in a chosen range, cuts them into connected regions, drops regions under a
minimum size and reports object area, analysis area, percentage, count and
mean size, in pixels and in calibrated square units. Results go to a
tab-separated result file with SHA-256 fingerprints of image, options and
results.
.
The package holds the desktop program varnolux, the batch command
varnolux-batch, the user manual and the English and German language files.")

include(CPack)
