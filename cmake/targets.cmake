# prixgeneral_set_up(TARGET...): what every target of the project, program,
# libraries, tests and bench alike, is built with. Set on each target rather
# than on the directory, so a target added anywhere gets it by this call.
option(PRIXGENERAL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

function(prixgeneral_set_up)
    foreach(target IN LISTS ARGN)
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
        if(PRIXGENERAL_SANITIZE)
            set(sanitize -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
                         -fno-omit-frame-pointer)
            target_compile_options(${target} PRIVATE ${sanitize})
            target_link_options(${target} PRIVATE ${sanitize})
        endif()
        if(WIN32)
            # The C and C++ runtimes go into every program: Windows' own DLLs
            # are all they import.
            target_link_options(${target} PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
        endif()
    endforeach()
endfunction()
