# Warnings are errors on every compiler the project is built with.
function(tala_strict_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
        -Wconversion -Wsign-conversion -Wimplicit-fallthrough -Werror)
endfunction()
