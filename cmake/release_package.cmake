# The release archive for Windows users (cpack, ZIP): Tavrin64.exe,
# TV_Hook64.dll and tavrin-check.exe from this build, the companion
# Tavrin32.exe and TV_Hook.dll from the 32-bit build tree, the settings file
# to start from, and a short text.
set(TAVRIN_WIN32_BIN ${PROJECT_SOURCE_DIR}/build/win32/bin CACHE PATH
    "The 32-bit build's programs: the companion and its hook library")

# Beside the host in this build too, for the end-to-end tests.
add_custom_target(companion_beside ALL
  COMMAND ${CMAKE_COMMAND} -DFROM=${TAVRIN_WIN32_BIN}
          -DTO=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
          -P ${PROJECT_SOURCE_DIR}/cmake/copy_companion.cmake
  COMMENT "Putting the 32-bit companion beside the host")

install(TARGETS tavrin64 tv_hook tavrin_check RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/host/Tavrin64.ini
        ${TAVRIN_WIN32_BIN}/Tavrin32.exe ${TAVRIN_WIN32_BIN}/TV_Hook.dll
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/windows-readme.txt DESTINATION .
        RENAME README.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tavrin64)
set(CPACK_PACKAGE_FILE_NAME Tavrin64-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
