# Warnings are errors on our own C++ code (not on GoogleTest's).
function(tavrin_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wconversion
                              -Wsign-conversion -Werror>)
endfunction()
