# Installation (GNUInstallDirs) and the Debian package that `make package` builds with CPack.
# The programs find book.dat beside themselves first, then in the installed data folder.

install(TARGETS norvane norvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/book.dat DESTINATION ${CMAKE_INSTALL_DATADIR}/norvane)
install(FILES packaging/norvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.norvane.Norvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/norvane.6 packaging/norvane-cli.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES packaging/icons/norvane-${size}.png RENAME norvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norvane)
set(CPACK_PACKAGE_VENDOR "The Norvane developers")
set(CPACK_PACKAGE_CONTACT "The Norvane developers <norvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess against an engine, and a PGN collection viewer")
set(CPACK_PACKAGE_DESCRIPTION
    "Norvane is a desktop chess program for one person, with a Japanese user interface: an "
    "engine that plays against you, joined to a fast viewer and searcher of PGN game "
    "collections. norvane-cli, its command-line companion, serves scripts and other chess "
    "programs (perft, the engine's move, UCI, indexing and searching PGN files).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries' packages come from the programs' own links (dpkg-shlibdeps). What they load
# at run time without a link is recommended: Qt's platform plugins, the Japanese font, Qt's
# own Japanese texts, the tools that register the .pgn association, and Stockfish for analysis.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-qpa-plugins, fonts-ipafont-gothic, qt6-translations-l10n, xdg-utils, desktop-file-utils, stockfish")
include(CPack)

# The package test: builds the package, unpacks it into a scratch folder and runs the
# programs installed there. Only in the normal build: the sanitizer build is not shipped.
if(NOT NORVANE_SANITIZE)
    add_test(NAME package COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/package/check-package.sh
             ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR}/package-test)
    set_tests_properties(package PROPERTIES LABELS package TIMEOUT 600)
endif()
