# The Windows build: the updater's folders, unchanged, over platform/mfc compiled against the
# SDK's headers, with the system's DLLs in place of the rest of platform/. Produces
# bin/nerith-update.exe, bin/ISPdll.dll and bin/skins/ridozuveza.dll; for x64 also bin/korvel.sys
# and bin/winekorvel.dll, the device under Wine.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(NERITH_WINDOWS_MACHINE x86)
else()
  set(NERITH_WINDOWS_MACHINE x64)
endif()

# The icon and the skin's pictures are drawn by tools that run on the build machine: a Linux
# build of the same tree provides them.
set(NERITH_HOST_TOOLS "" CACHE PATH "The tools/ folder of a Linux build of this tree")
foreach(tool nerith-gen-icon nerith-gen-skin)
  if(NOT EXISTS ${NERITH_HOST_TOOLS}/${tool})
    message(FATAL_ERROR "${tool} not found in NERITH_HOST_TOOLS (${NERITH_HOST_TOOLS}): "
                        "build it first with cmake --build --preset default --target ${tool}")
  endif()
  add_executable(${tool} IMPORTED)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${NERITH_HOST_TOOLS}/${tool})
endforeach()

# nerith_import_lib(<target> <def>): an import library made from a .def; its NONAME entries
# bind by ordinal alone. The names it imports are undecorated, as the DLLs export them.
function(nerith_import_lib target def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a)
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${def} -l ${lib}
    DEPENDS ${def}
    COMMENT "dlltool ${target}"
    VERBATIM)
  add_custom_target(${target}_lib DEPENDS ${lib})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${lib})
  add_dependencies(${target} ${target}_lib)
endfunction()

# OleLoadPicture is olepro32's ordinal 251; this library comes before oleaut32, which also
# exports it by name.
nerith_import_lib(olepro32_ordinals
  ${CMAKE_SOURCE_DIR}/cmake/windows/olepro32-${NERITH_WINDOWS_MACHINE}.def)

# The substitute's header names, resolved to the SDK's headers; our MFC's own headers.
add_library(platform_headers INTERFACE)
target_include_directories(platform_headers INTERFACE ${CMAKE_SOURCE_DIR}/platform/windows/include
                                                      ${CMAKE_SOURCE_DIR}/platform/include)

add_library(platform_kernel INTERFACE)
target_link_libraries(platform_kernel INTERFACE platform_headers kernel32)
add_library(platform_gdi INTERFACE)
target_link_libraries(platform_gdi INTERFACE platform_kernel gdi32)
add_library(platform_ole INTERFACE)
target_link_libraries(platform_ole INTERFACE platform_kernel olepro32_ordinals ole32 oleaut32 uuid)

add_library(platform_user INTERFACE)
target_link_libraries(platform_user INTERFACE platform_gdi user32 comctl32)

file(GLOB mfc_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/mfc/*.cpp)
list(REMOVE_ITEM mfc_sources ${CMAKE_SOURCE_DIR}/platform/mfc/AppMain.cpp
                 ${CMAKE_SOURCE_DIR}/platform/mfc/WinMain.cpp)
add_library(platform_mfc STATIC ${mfc_sources})
target_link_libraries(platform_mfc PUBLIC platform_ole platform_gdi comctl32 user32)
nerith_strict(platform_mfc)

# The C runtime's start-up calls WinMain after every library has been searched, so it is an
# object of the executable itself.
add_library(platform_mfc_main OBJECT ${CMAKE_SOURCE_DIR}/platform/mfc/WinMain.cpp)
target_link_libraries(platform_mfc_main PUBLIC platform_mfc)
nerith_strict(platform_mfc_main)

# ISPdll.dll exports the six functions at their ordinals; the updater imports them by ordinal,
# so a library with the same ordinals and arguments can take this one's place.
set(ispdll_def ${CMAKE_SOURCE_DIR}/ispdll/ISPdll-${NERITH_WINDOWS_MACHINE}.def)
file(GLOB ispdll_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ispdll/*.cpp)
add_library(ISPdll_dll SHARED ${ispdll_sources} ${ispdll_def})
set_target_properties(ISPdll_dll PROPERTIES PREFIX "" OUTPUT_NAME ISPdll)
target_include_directories(ISPdll_dll PRIVATE ${CMAKE_SOURCE_DIR}/ispdll ${CMAKE_SOURCE_DIR}/isp)
target_link_libraries(ISPdll_dll PRIVATE platform_kernel)
target_link_options(ISPdll_dll PRIVATE -Wl,--kill-at)
nerith_strict(ISPdll_dll)

file(READ ${ispdll_def} def)
string(REGEX REPLACE "(@[0-9]+)\n" "\\1 NONAME\n" def "${def}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/ISPdll-ordinals.def "${def}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ispdll_def})
nerith_import_lib(ISPdll ${CMAKE_CURRENT_BINARY_DIR}/ISPdll-ordinals.def)
add_dependencies(ISPdll ISPdll_dll)

add_subdirectory(res)
add_subdirectory(skins)
add_subdirectory(isp)
add_subdirectory(skin)
add_subdirectory(screens)
add_subdirectory(app)
set_target_properties(nerith-update PROPERTIES WIN32_EXECUTABLE ON)

# The zip a user unpacks anywhere: the three files in their folders, under one folder named
# like the zip.
if(NERITH_WINDOWS_MACHINE STREQUAL "x64")
  set(NERITH_DIST_NAME nerith-update-${PROJECT_VERSION}-win64)
else()
  set(NERITH_DIST_NAME nerith-update-${PROJECT_VERSION}-win32)
endif()
set(NERITH_ZIP ${CMAKE_BINARY_DIR}/${NERITH_DIST_NAME}.zip)
set(stage ${CMAKE_BINARY_DIR}/dist)
add_custom_command(
  OUTPUT ${NERITH_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/${NERITH_DIST_NAME}/skins
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:nerith-update> $<TARGET_FILE:ISPdll_dll>
          ${stage}/${NERITH_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy ${NERITH_SKIN_DLL} ${stage}/${NERITH_DIST_NAME}/skins
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
          ${CMAKE_COMMAND} -E tar cf ${NERITH_ZIP} --format=zip ${NERITH_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  DEPENDS nerith-update ISPdll_dll nerith_skins ${NERITH_SKIN_DLL}
  COMMENT "zipping ${NERITH_DIST_NAME}.zip"
  VERBATIM)
add_custom_target(nerith_zip ALL DEPENDS ${NERITH_ZIP})

# korvel.sys for Wine's device host, which runs x64 drivers only: the Wine tests' device.
if(NERITH_WINDOWS_MACHINE STREQUAL "x64")
  add_subdirectory(devsim/wine)
endif()

enable_testing()
add_subdirectory(tests/windows)

# The public-API tests against real Win32, with GoogleTest built from Debian's sources for the
# target; x64 only, as that is the build Wine runs.
if(NERITH_WINDOWS_MACHINE STREQUAL "x64")
  set(NERITH_GTEST_SOURCES /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources")
  add_subdirectory(${NERITH_GTEST_SOURCES} googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/win32)
endif()
