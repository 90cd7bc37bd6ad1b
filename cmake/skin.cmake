# SPDX-License-Identifier: GPL-3.0-or-later
# Skin images: drawn as SVG under modules/img/skin1/, rendered to PNG at build time at their
# design size (the SVG's width and height) as "<name>.png" and at twice that as "<name>@2x.png".
# The scene names them "qrc:/<group>/modules/img/skin1/<group>/<name>.png" (resources, from
# <group>/<name>.svg) or "file:modules/img/skin1/<name>.png" (read from disk), through Skin.image
# and Skin.diskImage; while the window is scaled up those add "?hi", which the view maps to the
# "@2x" file (src/view/skinurls.h). Either way an Image reports the design size as
# implicitWidth/Height. sourceSize is in pixels: do not size pictures by it.

# Renders one SVG at its design size to <base>.png and at twice it to <base>@2x.png; appends both
# to the list variable `out`. An optional fifth argument "X,Y,W,H" renders only that piece.
function(mousecfg_render_svg svg base label out)
  set(input ${svg})
  if(ARGC GREATER 4)
    set(input "${svg}#${ARGV4}")
  endif()
  set(pngs ${${out}})
  foreach(suffix IN ITEMS "" "@2x")
    set(scale 1)
    if(suffix)
      set(scale 2)
    endif()
    add_custom_command(OUTPUT ${base}${suffix}.png
      COMMAND $<TARGET_FILE:mousecfg_svg2png> ${scale} ${input} ${base}${suffix}.png
      DEPENDS ${svg} mousecfg_svg2png
      COMMENT "Rendering skin ${label}${suffix}"
      VERBATIM)
    list(APPEND pngs ${base}${suffix}.png)
  endforeach()
  set(${out} ${pngs} PARENT_SCOPE)
endfunction()

# Renders every skin SVG: the groups into resources of `target`, the pictures read from disk
# into the build's data folder (target mousecfg_skin_files).
function(mousecfg_add_skin target)
  set(skin_src ${PROJECT_SOURCE_DIR}/modules/img/skin1)

  file(GLOB group_svgs CONFIGURE_DEPENDS ${skin_src}/*/*.svg)
  set(resource_pngs)
  foreach(svg IN LISTS group_svgs)
    file(RELATIVE_PATH rel ${skin_src} ${svg})
    get_filename_component(group ${rel} DIRECTORY)
    get_filename_component(name ${rel} NAME_WE)
    mousecfg_render_svg(${svg} ${CMAKE_CURRENT_BINARY_DIR}/skin/${group}/${name} ${group}/${name} resource_pngs)
  endforeach()
  foreach(png IN LISTS resource_pngs)
    file(RELATIVE_PATH rel ${CMAKE_CURRENT_BINARY_DIR}/skin ${png})
    get_filename_component(group ${rel} DIRECTORY)
    get_filename_component(file ${rel} NAME)
    set_source_files_properties(${png} PROPERTIES QT_RESOURCE_ALIAS ${group}/modules/img/skin1/${group}/${file})
  endforeach()
  qt_add_resources(${target} mousecfg_skin_resources PREFIX "/" FILES ${resource_pngs})

  file(GLOB disk_svgs CONFIGURE_DEPENDS ${skin_src}/*.svg)
  list(REMOVE_ITEM disk_svgs ${skin_src}/background.svg)
  set(disk_pngs)
  foreach(svg IN LISTS disk_svgs)
    get_filename_component(name ${svg} NAME_WE)
    mousecfg_render_svg(${svg} ${PROJECT_BINARY_DIR}/modules/img/skin1/${name} ${name} disk_pngs)
  endforeach()
  # The window's background is one column repeated but for its rounded ends and the stage behind
  # the mouse; drawn from these pieces (MainLayout.qml) it holds 1.1 MB of pixels instead of 2.6.
  foreach(piece IN ITEMS "Left=0,0,12,640" "Middle=12,0,1,640" "Right=1012,0,12,640" "Stage=262,54,500,548")
    string(REPLACE "=" ";" piece ${piece})
    list(GET piece 0 name)
    list(GET piece 1 rect)
    mousecfg_render_svg(${skin_src}/background.svg ${PROJECT_BINARY_DIR}/modules/img/skin1/background${name}
                        background${name} disk_pngs ${rect})
  endforeach()
  add_custom_target(mousecfg_skin_files ALL DEPENDS ${disk_pngs})
endfunction()
