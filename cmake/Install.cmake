# Install rules and the Debian package. The build tree keeps everything together in bin/;
# installed, the program goes to bin/, its listing runner and help page to folders of their
# own, where the program looks for them when they are not beside it.
install(TARGETS Vorlan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# "vorlan" starts it too, as commands are spelt on Linux; the executable keeps its name,
# which the window caption shows.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK Vorlan ${CMAKE_BINARY_DIR}/install/vorlan SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/vorlan DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS listing RUNTIME DESTINATION ${VORLAN_RUNNER_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/HelpVorlan.htm
  DESTINATION ${VORLAN_DATA_INSTALL_DIR})
# The desktop entry and the AppStream metainfo are named by the application's id.
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/org.example.vorlan.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/org.example.vorlan.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${VORLAN_ICON_FOLDER}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# cpack -G DEB: the package's dependencies are those of the shared libraries it links
# (dpkg-shlibdeps), plus the desktop opener.
set(CPACK_PACKAGE_NAME vorlan)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "lists Internet Shortcut files, checks their links and exports them as a page")
set(CPACK_PACKAGE_CONTACT "Vorlan team <team@vorlan.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vorlan.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-ipafont-gothic")
set(CPACK_GENERATOR DEB)
include(CPack)
