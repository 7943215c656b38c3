# Windows builds: where binaries land, how they link, and how the
# end-to-end tests run them under Wine.

# Programs land beside the DLLs they load, in one directory.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
# Self-contained, stripped programs: no C++ runtime DLLs to ship; the C
# runtime is the system's msvcrt.dll.
add_link_options(-static -static-libgcc -static-libstdc++ -s)

# One Wine prefix for every Windows build tree (64- and 32-bit alike).
set(TAVRIN_WINE_PREFIX ${PROJECT_SOURCE_DIR}/build/wine CACHE PATH
    "Wine prefix that the end-to-end tests create once and reuse")

# tavrin_add_wine_test(NAME TARGET [ARGS ...]): runs TARGET's program under
# Wine through the harness, on the null display driver, labelled e2e.
function(tavrin_add_wine_test name target)
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/run_wine.sh
            $<TARGET_FILE:${target}> ${ARGN})
  # 77: a 32-bit program on a machine that runs none (run_wine.sh). Only
  # the runner's last line makes a pass: a run that something ends early
  # (Wine ends every program of a desktop whose window is closed, with exit
  # code 0) fails.
  set_tests_properties(${name} PROPERTIES LABELS e2e TIMEOUT 300
    SKIP_RETURN_CODE 77 PASS_REGULAR_EXPRESSION "e2e: [0-9]+ passed, 0 failed"
    ENVIRONMENT "TAVRIN_WINE_PREFIX=${TAVRIN_WINE_PREFIX}")
endfunction()

# tavrin_manifest(NAME ARCH FILE): the one application manifest of every
# program, made for this one into FILE in the current build directory.
function(tavrin_manifest name arch file)
  set(TAVRIN_MANIFEST_NAME ${name})
  set(TAVRIN_MANIFEST_ARCH ${arch})
  configure_file(${PROJECT_SOURCE_DIR}/common/app.manifest.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${file} @ONLY)
endfunction()
