# Warnings for every target of the project; VELTRIX_WERROR turns them into errors.
option(VELTRIX_WERROR "Treat compiler warnings as errors" ON)

function(veltrix_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Wnon-virtual-dtor)
    if(VELTRIX_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
