# Warnings are errors on our own code (not on GoogleTest's).
function(tavrin_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Werror)
endfunction()
