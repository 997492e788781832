# The Windows build, cross-compiled with MinGW-w64 against the static Qt of
# scripts/windows/build-qt.sh (`bash scripts/dev.sh windows` does it all):
# one prixgeneral.exe that needs nothing beside it, the tests run under Wine,
# and a 64-bit NSIS installer.

enable_language(RC)

set(PRIXGENERAL_QT_SOURCE "qt6-base ${Qt6_VERSION}" CACHE STRING
    "The Debian source package and version the static Qt was built from (named in SOURCE.txt)")
# ImageMagick makes the program's icon (scripts/packages.sh installs it):
# `magick` since ImageMagick 7 (Debian 13), where `convert` only warns.
find_program(PRIXGENERAL_IMAGEMAGICK NAMES magick convert REQUIRED)

# ctest runs the test programs through this (Wine, on Linux).
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/windows/wine-run.sh)
endif()

# The rest needs the targets: it runs once the whole project is read.
cmake_language(DEFER CALL _prixgeneral_windows)

function(_prixgeneral_windows)
    # Windows asks for the icon at 16 to 256 pixels and scales a lone odd-sized
    # one badly: the one 200 x 256 picture of orvan.ico, centred on a square
    # and area-averaged (the box filter) to every size Windows asks for. 256
    # is stored as PNG, the others as 32-bit BMPs, which every Windows reads.
    set(PRIXGENERAL_WINDOWS_ICON ${PROJECT_BINARY_DIR}/prixgeneral.ico)
    add_custom_command(OUTPUT ${PRIXGENERAL_WINDOWS_ICON}
        COMMAND ${PRIXGENERAL_IMAGEMAGICK} ${PROJECT_SOURCE_DIR}/resources/orvan.ico
                -background none -gravity center -extent 256x256 -filter Box
                -define icon:auto-resize=16,20,24,32,40,48,64,96,128,256 ${PRIXGENERAL_WINDOWS_ICON}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/orvan.ico
        COMMENT "Making the Windows program icon"
        VERBATIM)
    set(rc ${PROJECT_BINARY_DIR}/prixgeneral.rc)
    configure_file(${PROJECT_SOURCE_DIR}/resources/prixgeneral.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${PRIXGENERAL_WINDOWS_ICON})
    target_sources(prixgeneral PRIVATE ${rc})

    # Qt's own texts in French (src/app/qtfrench.cpp), compiled in: the
    # translation of the very Qt release linked in, which Debian 13 ships
    # beside the source it is built from (scripts/packages.sh installs it).
    set(qt_french /usr/share/qt6/translations/qtbase_fr.qm)
    execute_process(COMMAND dpkg-query -W [=[-f=${Version}]=] qt6-translations-l10n
                    OUTPUT_VARIABLE french_version ERROR_QUIET)
    if(NOT EXISTS ${qt_french} OR NOT french_version MATCHES "^${Qt6_VERSION}[+~-]")
        message(FATAL_ERROR "${qt_french} of Qt ${Qt6_VERSION} is missing (Debian 13: qt6-translations-l10n, "
                            "installed: '${french_version}')")
    endif()
    configure_file(${qt_french} ${PROJECT_BINARY_DIR}/i18n/qtbase_fr.qm COPYONLY)
    qt_add_resources(prixgeneral_ui qtfrench PREFIX /i18n BASE ${PROJECT_BINARY_DIR}/i18n
                     FILES ${PROJECT_BINARY_DIR}/i18n/qtbase_fr.qm)

    # The tests run headless with the offscreen platform, which a static Qt
    # only has when it is linked in.
    get_property(tests DIRECTORY ${PROJECT_SOURCE_DIR}/tests PROPERTY BUILDSYSTEM_TARGETS)
    foreach(test IN LISTS tests)
        if(test MATCHES "^tst_")
            qt_import_plugins(${test} INCLUDE Qt6::QOffscreenIntegrationPlugin)
        endif()
    endforeach()
    # It drives an X11 program from outside; tst_endtoend_wine does the same
    # for the .exe under Wine. (Its test is left out by scripts/windows/build.sh:
    # tests of another directory cannot be changed from here.)
    if(TARGET tst_endtoend)
        set_target_properties(tst_endtoend PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
    if(BUILD_TESTING AND CMAKE_CROSSCOMPILING)
        add_test(NAME tst_endtoend_wine
                 COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/windows/endtoend.sh $<TARGET_FILE:prixgeneral>)
        set_tests_properties(tst_endtoend_wine PROPERTIES TIMEOUT 600 LABELS e2e)
    endif()

    install(TARGETS prixgeneral RUNTIME DESTINATION .)
    set(licences ${PROJECT_BINARY_DIR}/licences)
    file(MAKE_DIRECTORY ${licences})
    # Qt is linked in statically: its licence goes with the program.
    foreach(text LGPL-3 GPL-3)
        configure_file(/usr/share/common-licenses/${text} ${licences}/Qt-${text}.txt COPYONLY)
    endforeach()
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
        message(FATAL_ERROR "LICENSE is missing: the installer shows it and ships it")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${licences}/LICENSE.txt COPYONLY)
    string(REPLACE " " "/" qt_snapshot "${PRIXGENERAL_QT_SOURCE}")
    string(REPLACE "+" "%2B" qt_snapshot "https://snapshot.debian.org/package/${qt_snapshot}/")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/SOURCE.txt ${licences}/SOURCE.txt @ONLY)
    install(FILES ${licences}/LICENSE.txt ${licences}/Qt-LGPL-3.txt ${licences}/Qt-GPL-3.txt ${licences}/SOURCE.txt
            DESTINATION licences)
    # The guide F1 shows, for the web browser too: its Start-menu entry opens it.
    list(TRANSFORM PRIXGENERAL_GUIDE_FILES PREPEND ${PROJECT_SOURCE_DIR}/ OUTPUT_VARIABLE guide)
    install(FILES ${guide} DESTINATION guide)

    set(CPACK_GENERATOR NSIS64)
    set(CPACK_PACKAGE_NAME prixgeneral)
    set(CPACK_PACKAGE_VENDOR "Club de tir à l'arc")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calcul des prix d'un prix général de tir à l'arc")
    set(CPACK_PACKAGE_FILE_NAME prixgeneral-${PROJECT_VERSION}-windows-x64-setup)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY "Prix général")
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY prixgeneral)
    set(CPACK_RESOURCE_FILE_LICENSE ${licences}/LICENSE.txt)
    set(CPACK_STRIP_FILES ON)
    # 64-bit and Unicode: the 32-bit stub would need Wine's 32-bit half.
    # At the foot of every page, where NSIS names itself otherwise, the Qt
    # inside. (Not CPACK_NSIS_BRANDING_TEXT: CPack adds /TRIM to it, which
    # makensis refuses on Linux.)
    set(CPACK_NSIS_DEFINES "Target amd64-unicode\nBrandingText 'Prix général ${PROJECT_VERSION}, Qt ${Qt6_VERSION}'")
    # An upgrade proposes the installed version's folder, that of its
    # uninstaller, wherever the user put it.
    string(APPEND CPACK_NSIS_DEFINES [=[

InstallDirRegKey HKLM 'Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\prixgeneral' 'UninstallString'
]=])
    # The finish page starts the program through its Start-menu entry. The
    # installer runs elevated, and what it started itself would too (as the
    # administrator, where one typed a password for a standard user).
    # Explorer, started from here, hands the shortcut to the shell already
    # running, which starts the program as the user logged in, unelevated,
    # in the entry's working folder, as a click on the entry does.
    # (\" is how a double quote survives CPack.)
    string(APPEND CPACK_NSIS_DEFINES [=[
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT '&Lancer Prix général'
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
Function StartProgram
  SetShellVarContext current
  Exec '\"$WINDIR\\explorer.exe\" \"$SMPROGRAMS\\Prix général.lnk\"'
FunctionEnd
]=])
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_DISPLAY_NAME "Prix général ${PROJECT_VERSION}")
    set(CPACK_NSIS_PACKAGE_NAME "Prix général ${PROJECT_VERSION}")
    set(CPACK_NSIS_MUI_ICON ${PRIXGENERAL_WINDOWS_ICON})
    set(CPACK_NSIS_MUI_UNIICON ${PRIXGENERAL_WINDOWS_ICON})
    set(CPACK_NSIS_INSTALLED_ICON_NAME prixgeneral.exe)
    set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
    # An upgrade asks nothing: once the user has said "Installer", the old
    # version's own uninstaller removes its files (ones the new version no
    # longer has would stay forever), its entries and its registry key, and
    # the new version takes their place. It leaves the user's folder alone.
    # Versions up to 1.0.0 named the club "Compagnie d'arc", and their
    # uninstaller left that key behind, empty.
    set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [=[
  ReadRegStr $0 SHCTX 'Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\prixgeneral' 'UninstallString'
  StrCmp $0 '' no_old_version
  StrCpy $1 $0 1
  StrCmp $1 '\"' 0 +2
    StrCpy $0 $0 -1 1
  StrCpy $1 $0 -14 ; less \\Uninstall.exe
  ExecWait '\"$0\" /S _?=$1'
no_old_version:
  DeleteRegKey /ifempty SHCTX `Software\\Compagnie d'arc`
]=])
    # The program writes save.ini and its sheets in the folder it starts in,
    # and Program Files is not writable: the user's Start-menu entry starts
    # it in a folder of the user's Documents. The uninstaller leaves that
    # folder and what is in it.
    # (CPack mangles double quotes here: NSIS takes single ones as well.)
    set(user_context [=[
  UserInfo::GetAccountType
  Pop $1
  StrCmp $1 'Admin' 0 +2
    SetShellVarContext all
  StrCmp $1 'Power' 0 +2
    SetShellVarContext all
]=])
    # CPack reads these back as CMake strings: backslashes go in pairs.
    set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  SetShellVarContext current
  CreateDirectory '$DOCUMENTS\\Prix général'
  SetOutPath '$DOCUMENTS\\Prix général'
  CreateShortCut '$SMPROGRAMS\\Prix général.lnk' '$INSTDIR\\prixgeneral.exe'
  SetOutPath '$INSTDIR'
  CreateShortCut '$SMPROGRAMS\\Guide de Prix général.lnk' '$INSTDIR\\guide\\guide.html'
]=])
    string(APPEND CPACK_NSIS_EXTRA_INSTALL_COMMANDS "${user_context}")
    set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  SetShellVarContext current
  Delete '$SMPROGRAMS\\Prix général.lnk'
  Delete '$SMPROGRAMS\\Guide de Prix général.lnk'
]=])
    # CPack removes the program's key after these lines and leaves the
    # club's behind, empty: both go here (the club's if nothing else is in it).
    string(APPEND CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${user_context}" [=[
  DeleteRegKey SHCTX `Software\\@CPACK_PACKAGE_VENDOR@\\prixgeneral`
  DeleteRegKey /ifempty SHCTX `Software\\@CPACK_PACKAGE_VENDOR@`
]=])
    string(CONFIGURE "${CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS}" CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS @ONLY)
    # CPack's own installer script, less what it shows in English: the
    # details of the installation ("Set install registry entry: ...") and
    # the heading of a page of options it then skips. Less its Start-menu
    # folder too, named with the version and holding an English "Uninstall"
    # entry (Windows' list of programs uninstalls): the page asking for it,
    # the block making it, and the uninstaller's removal of it, which goes
    # on to remove the empty folders above it, up to the Start menu's
    # Programs (from Programs itself, were the folder's name empty).
    # A cut runs from the line of its first text to the end of the line of
    # its last, which must be there once (the cut would reach the last one).
    set(template ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in)
    file(READ ${template} nsis)
    foreach(cut [[DetailPrint "Set install registry entry]] [[!insertmacro MUI_HEADER_TEXT "Install Options"]]
                [[;Start Menu Folder Page Configuration.*MUI_PAGE_STARTMENU Application \$STARTMENU_FOLDER]]
                [[!insertmacro MUI_STARTMENU_WRITE_BEGIN Application.*MUI_STARTMENU_WRITE_END]]
                [[!insertmacro MUI_STARTMENU_GETFOLDER Application \$MUI_TEMP.*secondStartMenuDeleteLoopDone:]])
        string(REGEX REPLACE "\n *${cut}[^\n]*" "" french "${nsis}")
        string(REGEX MATCH "[^*]+$" last "${cut}")
        string(REGEX MATCHALL "${last}" found "${nsis}")
        list(LENGTH found times)
        if(french STREQUAL nsis OR NOT times EQUAL 1)
            message(FATAL_ERROR "${template} no longer has ${cut} once: look at it again")
        endif()
        set(nsis "${french}")
    endforeach()
    file(WRITE ${PROJECT_BINARY_DIR}/nsis/NSIS.template.in "${nsis}")
    set(CPACK_MODULE_PATH ${PROJECT_BINARY_DIR}/nsis)
    include(CPack)
endfunction()
