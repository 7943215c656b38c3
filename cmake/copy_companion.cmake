# cmake -DFROM=DIR -DTO=DIR -P copy_companion.cmake: puts the 32-bit
# build's companion and hook library beside the 64-bit host, when built.
foreach(file Tavrin32.exe TV_Hook.dll)
  if(EXISTS ${FROM}/${file})
    file(COPY_FILE ${FROM}/${file} ${TO}/${file} ONLY_IF_DIFFERENT)
  endif()
endforeach()
