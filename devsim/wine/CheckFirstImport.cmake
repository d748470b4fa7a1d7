# cmake -DOBJDUMP=... -DIMAGE=korvel.sys -P CheckFirstImport.cmake
# Fails unless the image's first import descriptor is ntoskrnl.exe (see WindowsParts.cmake).
execute_process(COMMAND ${OBJDUMP} -p ${IMAGE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
string(REGEX MATCH "DLL Name: [^\n]*" first "${dump}")
if(NOT result EQUAL 0 OR NOT first STREQUAL "DLL Name: ntoskrnl.exe")
  file(REMOVE ${IMAGE})
  message(FATAL_ERROR "${IMAGE}: the first import must be ntoskrnl.exe, not '${first}'")
endif()
