# SPDX-License-Identifier: GPL-3.0-or-later
# Installed layout and the Debian package (`make install`, `make package`):
#   bin/mousecfg                                  the program
#   share/mousecfg/modules/                       its data, found as ../share/mousecfg from bin/
#   share/applications/mousecfg.desktop           menu entry
#   share/icons/hicolor/{scalable,NxN}/apps/      icon, SVG and PNG sizes
#   lib/udev/rules.d/70-mousecfg.rules            hidraw access for the seat's user
#   /etc/xdg/autostart/mousecfg.desktop           optional: starts hidden in the tray at login
#   share/doc/mousecfg/{copyright,changelog.gz}, share/man/man1/mousecfg.1.gz
#   share/bash-completion/completions/mousecfg   completion of the command line
include(GNUInstallDirs)

option(MOUSECFG_INSTALL_AUTOSTART "Install an autostart entry that starts mousecfg in the tray at login" ON)
set(MOUSECFG_MAINTAINER "mousecfg developers <mousecfg@example.com>" CACHE STRING "Maintainer of the Debian package")
set(MOUSECFG_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where the udev rule is installed")
# Sessions read autostart entries only from /etc/xdg/autostart, so system prefixes put it there;
# other prefixes keep it inside the tree.
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
  set(autostart_default "/etc/xdg/autostart")
else()
  set(autostart_default "${CMAKE_INSTALL_SYSCONFDIR}/xdg/autostart")
endif()
set(MOUSECFG_AUTOSTART_DIR "${autostart_default}" CACHE STRING "Where the autostart entry is installed")
# Only cmake --install's own files: `make install` builds the program first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)

# The udev rule follows the shipped device table, read as the program reads it.
set(udev_rule ${generated}/70-mousecfg.rules)
add_custom_command(OUTPUT ${udev_rule}
  COMMAND mousecfg_udevrule ${PROJECT_SOURCE_DIR}/modules/devConfig.ini ${udev_rule}
  DEPENDS ${PROJECT_SOURCE_DIR}/modules/devConfig.ini mousecfg_udevrule
  COMMENT "Generating the udev rule from the device table")

# Icon sizes rendered from the SVG.
set(icon_sizes 16 24 32 48 64 128 256)
set(icon_pngs)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  foreach(size IN LISTS icon_sizes)
    set(png ${generated}/icons/${size}x${size}/mousecfg.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${packaging}/mousecfg.svg
      DEPENDS ${packaging}/mousecfg.svg)
    list(APPEND icon_pngs ${png})
  endforeach()
else()
  message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): only the SVG icon is installed")
endif()

# Debian wants the changelog of a native package and manual pages compressed at the highest
# level, without a time stamp. The date comes from SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP MOUSECFG_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(doc changelog mousecfg.1)
  set(in ${packaging}/${doc})
  if(EXISTS ${in}.in)
    set(in ${in}.in)
  endif()
  configure_file(${in} ${generated}/${doc} @ONLY)
  add_custom_command(OUTPUT ${generated}/${doc}.gz
    COMMAND ${GZIP} -9nf ${generated}/${doc} -c > ${generated}/${doc}.gz
    DEPENDS ${generated}/${doc})
  list(APPEND compressed ${generated}/${doc}.gz)
endforeach()

add_custom_target(mousecfg_packaging ALL DEPENDS ${udev_rule} ${icon_pngs} ${compressed})

install(TARGETS mousecfg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The built data folder (with what the build renders into it); nothing that only keeps empty
# folders in git or that a run leaves behind.
install(DIRECTORY ${PROJECT_BINARY_DIR}/modules DESTINATION ${CMAKE_INSTALL_DATADIR}/mousecfg
  PATTERN ".gitkeep" EXCLUDE
  PATTERN "*.lock" EXCLUDE
  PATTERN ".copy-*" EXCLUDE)
install(FILES ${packaging}/mousecfg.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/mousecfg.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(png IN LISTS icon_pngs)
  get_filename_component(size_dir ${png} DIRECTORY)
  get_filename_component(size ${size_dir} NAME)
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES ${udev_rule} DESTINATION ${MOUSECFG_UDEV_RULES_DIR})
if(MOUSECFG_INSTALL_AUTOSTART)
  install(FILES ${packaging}/mousecfg-autostart.desktop DESTINATION ${MOUSECFG_AUTOSTART_DIR}
    RENAME mousecfg.desktop)
endif()
install(FILES ${packaging}/copyright ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${generated}/mousecfg.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/mousecfg.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME mousecfg)

# ---- Debian package ------------------------------------------------------------------------
# Shared-library dependencies come from dpkg-shlibdeps; cmake/cpack-project.cmake adds the QML
# modules the scene imports, read when the package is made.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack-project.cmake)
set(CPACK_MOUSECFG_SCENE_DIR ${PROJECT_SOURCE_DIR}/modules/qml)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mousecfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for USB gaming mice")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "mousecfg lives in the tray and configures USB gaming mice that speak its
vendor HID protocol: DPI stages, report rate, lift-off distance, button
assignment, macros, lighting, recoil presets and profiles. Every change is
sent to the mouse at once.

A udev rule lets the user at the seat open the mouse without root.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MOUSECFG_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(control_extra ${packaging}/postinst ${packaging}/postrm)
if(MOUSECFG_INSTALL_AUTOSTART AND MOUSECFG_AUTOSTART_DIR MATCHES "^/etc/")
  file(WRITE ${generated}/conffiles "${MOUSECFG_AUTOSTART_DIR}/mousecfg.desktop\n")
  list(APPEND control_extra ${generated}/conffiles)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${control_extra}")
include(CPack)
