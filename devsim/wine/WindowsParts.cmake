# korvel.sys and winekorvel.dll, cross-built with mingw-w64 for x86_64: Wine's device host
# (winedevice) is a 64-bit process in a 64-bit prefix, whatever the updater's own machine type.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  message(FATAL_ERROR "korvel.sys and winekorvel.dll are built for x86_64 only")
endif()

find_path(KORVEL_DDK_INCLUDE ntddk.h
  PATHS /usr/share/mingw-w64/include/ddk /usr/x86_64-w64-mingw32/include/ddk
  NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(KORVEL_NTOSKRNL_LIB ntoskrnl REQUIRED)
find_program(KORVEL_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)

# The user-mode half: Win32 and Winsock on the driver's behalf. The C++ runtime is linked in,
# so it needs nothing but system DLLs.
add_library(winekorvel SHARED
  ${CMAKE_CURRENT_LIST_DIR}/winekorvel/EventLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winekorvel/Exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winekorvel/RelayLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winekorvel/RelayStream.cpp
  ${CMAKE_SOURCE_DIR}/platform/devices/DeviceWire.cpp)
set_target_properties(winekorvel PROPERTIES PREFIX "")
target_compile_definitions(winekorvel PRIVATE WINEKORVEL_BUILD WIN32_LEAN_AND_MEAN)
target_include_directories(winekorvel PRIVATE ${CMAKE_CURRENT_LIST_DIR}
  ${CMAKE_CURRENT_LIST_DIR}/driver ${CMAKE_SOURCE_DIR}/platform/private)
nerith_strict(winekorvel)
target_link_libraries(winekorvel PRIVATE ws2_32)

# Wine runs a .sys whose first import is not ntoskrnl.exe as a DLL, never calling DriverEntry.
# ld orders the imports by the path of the import library they come from, so both are linked
# from one folder under names that sort ntoskrnl first; a check after the link holds it to that.
set(imports ${CMAKE_CURRENT_BINARY_DIR}/korvel-imports)
add_custom_command(OUTPUT ${imports}/1-ntoskrnl.a ${imports}/2-winekorvel.a
  COMMAND ${CMAKE_COMMAND} -E make_directory ${imports}
  COMMAND ${CMAKE_COMMAND} -E copy ${KORVEL_NTOSKRNL_LIB} ${imports}/1-ntoskrnl.a
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_LINKER_FILE:winekorvel> ${imports}/2-winekorvel.a
  DEPENDS winekorvel ${KORVEL_NTOSKRNL_LIB}
  VERBATIM)
add_custom_target(korvel_imports DEPENDS ${imports}/1-ntoskrnl.a ${imports}/2-winekorvel.a)

add_library(korvel SHARED ${CMAKE_CURRENT_LIST_DIR}/driver/korvel.c)
add_dependencies(korvel korvel_imports)
set_target_properties(korvel PROPERTIES PREFIX "" SUFFIX ".sys" C_STANDARD 11
                                        C_STANDARD_REQUIRED ON LINK_DEPENDS
                                        "${imports}/1-ntoskrnl.a;${imports}/2-winekorvel.a")
target_include_directories(korvel PRIVATE ${KORVEL_DDK_INCLUDE} ${CMAKE_CURRENT_LIST_DIR}/driver)
nerith_strict(korvel)
target_link_options(korvel PRIVATE -nostdlib -Wl,--subsystem,native -Wl,--entry,DriverEntry)
target_link_libraries(korvel PRIVATE ${imports}/2-winekorvel.a ${imports}/1-ntoskrnl.a)
set(CMAKE_C_STANDARD_LIBRARIES "")
add_custom_command(TARGET korvel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${KORVEL_OBJDUMP} -DIMAGE=$<TARGET_FILE:korvel>
          -P ${CMAKE_CURRENT_LIST_DIR}/CheckFirstImport.cmake
  VERBATIM)
