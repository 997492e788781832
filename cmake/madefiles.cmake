# Files the build makes and compiles into a program: each is made by one
# target alone, in a directory of its own (resources/CMakeLists.txt), and the
# targets that compile it in depend on that target. A rule of
# add_custom_command() in the directory of the targets that use its file is
# copied by the Makefile generators into each of them (a resource's rcc step
# and Qt's list of resource files for IDEs both name the file), so `make -j`
# ran it twice at once on one file; Ninja, which keeps one rule, never did.

# Qt's lrelease, found by its path rather than through Qt's own CMake
# functions (qt_add_lrelease, from Qt6LinguistTools): Debian ships those in
# qt6-tools-dev, which brings Qt Designer's and Qt Help's libraries along,
# and the static Qt of the Windows build is qt6-base alone, without them.
# qt6-l10n-tools has lrelease by itself; a cross build runs the build
# machine's.
find_program(PRIXGENERAL_LRELEASE lrelease HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" /usr/lib/qt6/bin
             NO_CMAKE_FIND_ROOT_PATH)
if(NOT PRIXGENERAL_LRELEASE)
    message(FATAL_ERROR "Qt's lrelease is missing (Debian: qt6-l10n-tools)")
endif()

# prixgeneral_lrelease(TARGET TS QM): the target TARGET compiles the
# translation source TS into QM, making QM's folder first.
function(prixgeneral_lrelease target ts qm)
    get_filename_component(ts "${ts}" ABSOLUTE)
    get_filename_component(folder "${qm}" DIRECTORY)
    get_filename_component(name "${ts}" NAME)
    add_custom_command(OUTPUT "${qm}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
        COMMAND "${PRIXGENERAL_LRELEASE}" -silent "${ts}" -qm "${qm}"
        DEPENDS "${ts}"
        COMMENT "Compiling ${name}"
        VERBATIM)
    add_custom_target(${target} DEPENDS "${qm}")
endfunction()

# prixgeneral_add_made_resources(TARGET NAME MAKER <qt_add_resources arguments>):
# qt_add_resources() of files that the target MAKER makes.
function(prixgeneral_add_made_resources target name maker)
    qt_add_resources(${target} ${name} ${ARGN} OUTPUT_TARGETS made)
    foreach(user IN LISTS target made)
        add_dependencies(${user} ${maker})
    endforeach()
endfunction()
