# The Debian package: `cpack -G DEB` in the build folder writes pellin-player_<version>_<arch>.deb
# from the install rules. Its dependencies come from the programs' libraries (dpkg-shlibdeps),
# plus the Qt platform plugins, which the programs load at run time rather than link. The desktop
# entry, the icons and the file type are picked up by the desktop's own triggers, so the package
# needs no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PELLIN_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vorlund)
set(CPACK_PACKAGE_CONTACT "Vorlund <support@vorlund.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.vorlund.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Player for training-video courses")
# The long description in lines a terminal shows whole.
set(CPACK_PACKAGE_DESCRIPTION "Plays a training-video course: the course's index becomes a
playlist, and its AVI, MPEG and ASF videos play in a window with a transport
toolbar, a position slider and a status bar, or in full screen. Students can
also open single videos and keep playlists of their own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# Documents, web pages and e-mail open through the desktop's opener; the course's documents are
# PDF files. The toolkit's own buttons and choosers speak the student's language with its
# translations. On a Wayland session without an X display the windows need Qt's Wayland
# platform plug-in; with one (Xwayland, as GNOME and Plasma start it) they run on X.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, evince | pdf-viewer, qt6-translations-l10n, qt6-wayland")
include(CPack)
