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

# The manual page and the package's changelog, compressed as Debian wants them: gzip -9n
# stores no name and no time, so that every build gives the same bytes.
function(vorlan_gzip source name)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/install/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/${source} ${name}
    COMMAND gzip -9nf ${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/install
    DEPENDS ${CMAKE_SOURCE_DIR}/${source} VERBATIM)
endfunction()
vorlan_gzip(src/resources/vorlan.1 vorlan.1)
vorlan_gzip(cmake/debian/changelog changelog)
add_custom_target(vorlan_gzipped ALL
  DEPENDS ${CMAKE_BINARY_DIR}/install/vorlan.1.gz ${CMAKE_BINARY_DIR}/install/changelog.gz)
# Built with the program, with the icons, so that an install after ./run.sh finds them.
add_dependencies(Vorlan vorlan_gzipped vorlan_icons)
# The page answers "man vorlan" and "man Vorlan", as both names start the program.
file(CREATE_LINK vorlan.1.gz ${CMAKE_BINARY_DIR}/install/Vorlan.1.gz SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/vorlan.1.gz ${CMAKE_BINARY_DIR}/install/Vorlan.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Bash completes both names too: it loads a completion by the command's name.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install/completion)
file(CREATE_LINK vorlan ${CMAKE_BINARY_DIR}/install/completion/Vorlan SYMBOLIC)
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/vorlan.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vorlan)
install(FILES ${CMAKE_BINARY_DIR}/install/completion/Vorlan
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
# The copyright and the changelog, where Debian looks for them.
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright ${CMAKE_BINARY_DIR}/install/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorlan)

# cpack -G DEB: the package's dependencies are those of the shared libraries it links
# (dpkg-shlibdeps), plus the desktop opener.
set(CPACK_PACKAGE_NAME vorlan)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "lists Internet Shortcut files, checks their links and exports them as a page")
set(CPACK_PACKAGE_CONTACT "Vorlan team <team@vorlan.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
Vorlan is a small desktop utility for people who keep web addresses as Internet
Shortcut files (*.url). It lists every shortcut below a folder, shows the
address inside the selected one, checks every address on the web and reports
which links work, can save every fetched page, exports a response header to a
text file, writes an HTML page linking to all addresses, and opens items with
the desktop.

Every check is recorded in a history, from which Vorlan proposes how to tidy a
collection: new addresses for links that moved, broken and duplicate shortcuts
set aside, all of it undoable. The command vorlan --check runs the link check
without a window and reports as TSV, CSV or JSON, for scripts and servers.]])
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vorlan.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-ipafont-gothic")
set(CPACK_GENERATOR DEB)
include(CPack)
