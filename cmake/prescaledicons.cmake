# Copies of the button images shrunk at build time to the sizes the form shows
# them at, so that start-up need not decode the full-size originals (the
# 600 x 650 gear alone takes longer than the rest of the window). The program
# reads them through prescaledIcon() (src/form/prescaledicon.h), which falls
# back to the original for any other size, so the copies change no pixel.

# The originals, as the form names them (":/roue.png" is resources/roue.png).
set(PRIXGENERAL_PRESCALED_IMAGES roue.png printer.png disquette.png)
# Requests in device pixels: the buttons' 50 x 50 icon size at screen scales
# 1 and 2. At other scales the icons come from the originals.
set(PRIXGENERAL_PRESCALED_SIZES 50x50 100x100)

set(PRIXGENERAL_PRESCALE_TOOL "" CACHE FILEPATH
    "prescale_icons built for the build machine; needed when cross-compiling")

if(PRIXGENERAL_PRESCALE_TOOL)
    set(_prescale_tool "${PRIXGENERAL_PRESCALE_TOOL}")
    set(_prescale_tool_dependency "${PRIXGENERAL_PRESCALE_TOOL}")
elseif(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR
        "Cross-compiling: the button icons are shrunk at build time by prescale_icons, which has to run "
        "on this machine. Build it natively first (target prescale_icons of a native build of this "
        "project) and pass its path: -DPRIXGENERAL_PRESCALE_TOOL=/path/to/prescale_icons")
else()
    qt_add_executable(prescale_icons tools/prescale_icons.cpp)
    target_link_libraries(prescale_icons PRIVATE Qt6::Gui)
    prixgeneral_set_up(prescale_icons)
    set(_prescale_tool "$<TARGET_FILE:prescale_icons>")
    set(_prescale_tool_dependency prescale_icons)
endif()

# The copies, in the build folder as prescaledIcon() looks for them:
# roue.png shrunk for a request of 50x50 is ":/prescaled/roue/50x50.png"
# (46 x 50 pixels, as Qt would shrink it).
set(_prescaled_dir "${PROJECT_BINARY_DIR}/prescaled")
set(_prescale_args "")
set(_prescaled_files "")
set(_prescaled_sources "")
set(_prescaled_dirs "")
foreach(image IN LISTS PRIXGENERAL_PRESCALED_IMAGES)
    get_filename_component(name "${image}" NAME_WE)
    set(source "${PROJECT_SOURCE_DIR}/resources/${image}")
    list(APPEND _prescaled_sources "${source}")
    list(APPEND _prescaled_dirs "${_prescaled_dir}/${name}")
    foreach(size IN LISTS PRIXGENERAL_PRESCALED_SIZES)
        set(output "${_prescaled_dir}/${name}/${size}.png")
        list(APPEND _prescale_args "${source}" "${size}" "${output}")
        list(APPEND _prescaled_files "${output}")
    endforeach()
endforeach()
unset(name)
unset(source)
unset(output)

# The target prixgeneral_prescaled_icons makes them, alone
# (cmake/madefiles.cmake): called in resources/CMakeLists.txt.
function(prixgeneral_make_prescaled_icons)
    add_custom_command(OUTPUT ${_prescaled_files}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_prescaled_dirs}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "${_prescale_tool}" ${_prescale_args}
        DEPENDS ${_prescaled_sources} ${_prescale_tool_dependency}
        COMMENT "Shrinking the button icons to the sizes the form shows"
        VERBATIM)
    add_custom_target(prixgeneral_prescaled_icons DEPENDS ${_prescaled_files})
endfunction()

# Adds the copies to `target`'s resources.
function(prixgeneral_add_prescaled_icons target)
    # Already compressed: zlib would only cost start-up time.
    prixgeneral_add_made_resources(${target} prescaled_icons prixgeneral_prescaled_icons
                                   PREFIX /prescaled BASE "${_prescaled_dir}" FILES ${_prescaled_files}
                                   OPTIONS --no-compress)
endfunction()
