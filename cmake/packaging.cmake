# The Debian package, made by scripts/package.sh with CPack from a Release
# tree: the installed tree under /usr, binaries stripped, the dependencies
# taken from the shared libraries the program links.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_CONTACT "Tarnwick <velmora@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paint symmetric, kaleidoscope-like pictures")
set(CPACK_PACKAGE_DESCRIPTION "Velmora repeats every brush or eraser stroke at once around one or two
centre points: rotations about a master centre, the same with mirror images,
rotations about every rotated copy of a second centre, or a single vertical
or horizontal mirror. It has a colour picker, a symmetric paint bucket, a
coloring mask, shape effects, whole-picture operations, undo and redo,
reads and writes PNG, GIF, BMP, JPEG and WebP files and prints its pictures.
Its user interface is available in English, French, German, Russian and
Spanish.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmora.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
