# `cpack -G DEB` (make package): a Debian package of the installed tree, for Debian 12. The
# runtime packages are named here rather than found by dpkg-shlibdeps, so that the fonts, Qt's
# plugins and translations (which no linker sees) are declared too. The menu, icon and MIME
# caches are refreshed by the dpkg triggers of those packages; no maintainer scripts are needed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaglyphworks)
set(CPACK_PACKAGE_VENDOR Tessaglyphworks)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tessaglyphworks developers <developers@tessaglyphworks.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dot-matrix glyphs for small displays: editor and command-line tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaglyphworks turns characters (TrueType faces and six built-in dot fonts),
strings and pictures into glyph matrices for small displays, lets the user edit
them dot by dot, writes them as C or assembler source or as a binary file,
builds font libraries and sends the data over a serial port, TCP or UDP.

The package holds the desktop program and the command-line tool tgw.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_STRIP_FILES ON)
set(TGW_DEB_DEPENDS
    "libc6 (>= 2.36)"
    "libstdc++6 (>= 12)"
    "libfreetype6"
    "libharfbuzz0b"
    "libfontconfig1"
    "libpugixml1v5"
    "libserialport0"
    "libjpeg62-turbo"
    "libpng16-16"
    "libgif7"
    "fonts-dejavu-core"
    "fonts-wqy-microhei")
if(TGW_GUI)
    list(APPEND TGW_DEB_DEPENDS
        "libqt6core6 (>= 6.4)"
        "libqt6gui6 (>= 6.4)"
        "libqt6widgets6 (>= 6.4)"
        "libqt6svg6 (>= 6.4)"
        "qt6-translations-l10n")
endif()
list(JOIN TGW_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, man-db")
include(CPack)
