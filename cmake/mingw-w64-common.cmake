# Shared part of the two mingw-w64 toolchain files; expects TAVRIN_MINGW_TRIPLET.
# The "-win32" compilers need no winpthread DLL, which keeps every program
# free of non-system imports.
set(CMAKE_C_COMPILER ${TAVRIN_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${TAVRIN_MINGW_TRIPLET}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
