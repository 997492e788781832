# Installation and the Debian package. The version comes from project() alone:
# the program's --version, the package, the changelog and the man page all
# take it from there.

set(PRIXGENERAL_MAINTAINER "Prix général developers <prixgeneral@localhost>" CACHE STRING
    "Name and e-mail address of the package's maintainer, as in the Debian control file")

# The release's date, as Debian's changelog writes it; the AppStream release
# takes its day from here too.
set(PRIXGENERAL_RELEASE_DATE "Tue, 08 Dec 2026 12:00:00 +0000")
string(REGEX MATCH "^[A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) "
       _date "${PRIXGENERAL_RELEASE_DATE}")
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND _months "${CMAKE_MATCH_2}" _month)
if(NOT _date OR _month LESS 0)
    message(FATAL_ERROR "PRIXGENERAL_RELEASE_DATE is not a changelog date: ${PRIXGENERAL_RELEASE_DATE}")
endif()
math(EXPR _month "${_month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH "${_month}" _digits)
if(_digits EQUAL 1)
    set(_month "0${_month}")
endif()
set(PRIXGENERAL_RELEASE_DAY "${CMAKE_MATCH_3}-${_month}-${CMAKE_MATCH_1}")

# Software centres know the program by this name for good: it is the club's
# domain, reversed. The desktop entry keeps the file name users already have.
set(PRIXGENERAL_APPSTREAM_ID fr.castelbrune.prixgeneral)

include(GNUInstallDirs)
install(TARGETS prixgeneral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/prixgeneral.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/prixgeneral.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

if(NOT WIN32)
    # Debian wants the man page and the changelog gzipped at the highest level
    # and without a time stamp, so that rebuilds give the same bytes.
    find_program(PRIXGENERAL_GZIP gzip REQUIRED)
    set(_docs ${CMAKE_CURRENT_BINARY_DIR}/packaging)
    configure_file(packaging/prixgeneral.1.in ${_docs}/prixgeneral.1 @ONLY)
    configure_file(packaging/prixgeneral.fr.1.in ${_docs}/prixgeneral.fr.1 @ONLY)
    configure_file(packaging/changelog.in ${_docs}/changelog @ONLY)
    configure_file(packaging/prixgeneral.metainfo.xml.in
                   ${_docs}/${PRIXGENERAL_APPSTREAM_ID}.metainfo.xml @ONLY)
    set(_gzipped)
    foreach(_name prixgeneral.1 prixgeneral.fr.1 changelog)
        add_custom_command(OUTPUT ${_docs}/gz/${_name}.gz
            COMMAND ${CMAKE_COMMAND} -E copy ${_docs}/${_name} ${_docs}/gz/${_name}
            COMMAND ${PRIXGENERAL_GZIP} -9nf ${_docs}/gz/${_name}
            DEPENDS ${_docs}/${_name}
            VERBATIM)
        list(APPEND _gzipped ${_docs}/gz/${_name}.gz)
    endforeach()
    add_custom_target(prixgeneral_docs ALL DEPENDS ${_gzipped})

    install(FILES ${_docs}/gz/prixgeneral.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${_docs}/gz/prixgeneral.fr.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/fr/man1 RENAME prixgeneral.1.gz)
    install(FILES packaging/copyright ${_docs}/gz/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${PRIXGENERAL_GUIDE_FILES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide)
    # Lists the guide in Debian's documentation index; its paths are the package's.
    install(FILES packaging/prixgeneral.doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base RENAME prixgeneral)
    install(FILES ${_docs}/${PRIXGENERAL_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME prixgeneral)
set(CPACK_PACKAGE_VENDOR "Club de tir à l'arc")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prize calculator for an archery club's general-prize shoot")
# CPack puts the summary first and indents the rest as Debian's control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Archers buy bets, every black hit is paid back at a fixed price, and the club
keeps a share of the receipts for its costs. Prix général shows the totals as
the day's counts are typed, shares out what is left as up to five main prizes
plus a minimum gain for as many further places as the pool allows, and prints
the prize list with the club's crest as a PDF sheet. Each sheet is recorded in
a journal a spreadsheet opens; the \"Journée\" tab accounts for the day from it
to the cent, helps count the cash box and prints the day's and the season's
statements.")
set(CPACK_PACKAGE_CONTACT "${PRIXGENERAL_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in French (context menus, the file dialog); shlibdeps adds the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
# xdg-open opens the printed sheet in the desktop's PDF viewer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
