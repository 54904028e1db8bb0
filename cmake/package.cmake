# The Debian package: `make deb` (cpack -G DEB in the build folder) writes
# tervelle_<version>_<arch>.deb holding the install tree under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tervelle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Orbeck)
set(CPACK_PACKAGE_CONTACT "Orbeck <tervelle@orbeck.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "map pack editor for Worms 4 Mayhem")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orbeck.example/")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tervelle collects the maps, height maps, level icons, texture lists, Lua
scripts and information pages of a map pack into a tree of six groups, edits
each map's properties and the pack header, and keeps the work in a project
file (*.mpr). Save map pack runs the Inno Setup compiler under Wine and yields
one self-installing Windows package for players.
.
The package holds the editor, the command-line tool tervelle-pack for scripted
checks and builds, and the Inno Setup compiler it runs; each user builds in a
copy of the compiler folder made on first use.")
# The libraries come from the binaries; the compiler is a Windows program run by Wine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "wine")
# Qt's own buttons and dialogs in the translated languages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine32, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tervelle)

include(CPack)
