# The release archive for Windows users (cpack, ZIP): Tavrin64.exe,
# TV_Hook64.dll and tavrin-check.exe from this build, TV_Hook.dll from the
# 32-bit build tree when it has been built, the settings file to start from,
# and a short text.
set(TAVRIN_HOOK32_DLL ${PROJECT_SOURCE_DIR}/build/win32/bin/TV_Hook.dll
    CACHE FILEPATH "The 32-bit hook library to put into the release archive")

install(TARGETS tavrin64 tv_hook tavrin_check RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/host/Tavrin64.ini DESTINATION .)
install(FILES ${TAVRIN_HOOK32_DLL} DESTINATION . OPTIONAL)
install(FILES ${PROJECT_SOURCE_DIR}/docs/windows-readme.txt DESTINATION .
        RENAME README.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tavrin64)
set(CPACK_PACKAGE_FILE_NAME Tavrin64-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
