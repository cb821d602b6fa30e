# Warnings for every target of the project; VELTRIX_WERROR turns them into errors.
option(VELTRIX_WERROR "Treat compiler warnings as errors" ON)

function(veltrix_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Wnon-virtual-dtor)
    # GCC 12 at -O3 reports "accessing 9223372036854775810 or more bytes" for ordinary
    # string concatenation (GCC bug 105329) and "may be used uninitialized" for vectors in
    # designated-initialiser tables; the optimised build would not compile. Unoptimised
    # builds keep both warnings.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE
            $<$<CONFIG:Release,RelWithDebInfo>:-Wno-restrict -Wno-maybe-uninitialized>)
    endif()
    if(VELTRIX_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
