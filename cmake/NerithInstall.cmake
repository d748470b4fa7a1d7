# Installation layout and the Debian package (cpack -G DEB in the build folder).
#
#   bin/nerith-update                      launcher: execs the updater in its own folder
#   bin/nerith-devsim                      the simulated device
#   lib/nerith-update/nerith-update        the updater, with RPATH $ORIGIN
#   lib/nerith-update/libISPdll.so         beside it, as the updater expects
#   lib/nerith-update/skins/ridozuveza.dll "skins" under the executable's folder
#   share/nerith-update/firmware.s19       the carried image, for nerith-devsim --flash
#   share/applications/nerith-update.desktop
#   share/icons/hicolor/<N>x<N>/apps/nerith-update.png   from icon 128
#   share/man/man1/nerith-update.1.gz, nerith-devsim.1.gz
set(nerith_private lib/nerith-update)
set(nerith_packaging ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS nerith-update RUNTIME DESTINATION ${nerith_private})
install(TARGETS ISPdll LIBRARY DESTINATION ${nerith_private})
install(FILES ${NERITH_SKIN_DLL} DESTINATION ${nerith_private}/skins)
install(PROGRAMS ${nerith_packaging}/nerith-update.sh DESTINATION bin RENAME nerith-update)
install(TARGETS nerith-devsim RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/res/firmware.s19 DESTINATION share/nerith-update)
install(FILES ${nerith_packaging}/nerith-update.desktop DESTINATION share/applications)

# The icon as the updater's resources hold it, drawn into the build by res/.
set(nerith_icon_ico ${CMAKE_BINARY_DIR}/res/nerith.ico)
set(nerith_icons ${CMAKE_BINARY_DIR}/icons)
add_custom_command(
  OUTPUT ${nerith_icons}/48x48/apps/nerith-update.png
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${nerith_icons}
  COMMAND nerith-icon-png ${nerith_icon_ico} ${nerith_icons} nerith-update
  DEPENDS nerith-icon-png ${nerith_icon_ico}
  COMMENT "icon 128 as PNG files"
  VERBATIM)

# Debian keeps manual pages compressed; -n leaves no time stamp in them.
set(nerith_man_pages)
foreach(page nerith-update.1 nerith-devsim.1)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${nerith_packaging}/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${nerith_packaging}/${page}
    COMMENT "compressing ${page}")
  list(APPEND nerith_man_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()

add_custom_target(nerith_install_files ALL
  DEPENDS ${nerith_icons}/48x48/apps/nerith-update.png ${nerith_man_pages})
add_dependencies(nerith_install_files nerith_updater_res)
install(DIRECTORY ${nerith_icons}/ DESTINATION share/icons/hicolor)
install(FILES ${nerith_man_pages} DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nerith-update)
set(CPACK_PACKAGE_VENDOR "Nerith")
set(CPACK_PACKAGE_CONTACT "Nerith updater maintainers <nerith-update@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for the Nerith pointing device")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A skinned desktop program that compares the firmware of a Nerith with the image it
carries and reprograms the device's flash through its driver. Comes with nerith-devsim,
a simulated Nerith to try it against.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds libX11, libXext, libjpeg, FreeType, fontconfig and libstdc++ from the
# binaries (libISPdll.so through their $ORIGIN RPATH); the fonts are read, not linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
