# Skin images. Each picture is drawn once as an SVG under modules/img/skin1/ and rendered to PNG
# at build time, at twice its design size (the SVG's width and height), so that it stays crisp
# on the scaled window of a 2560 or 3840 pixel screen. Convention for the scene:
#  - QML names a picture as the design files have it: "qrc:/<group>/modules/img/skin1/<group>/
#    <name>.png" for modules/img/skin1/<group>/<name>.svg, "file:modules/img/skin1/<name>.png"
#    for the four pictures read from disk (modules/img/skin1/<name>.svg).
#  - The PNG is stored as "<name>@2x.png"; the view maps the scene's URL to it (src/view/
#    skinurls.h), and Qt Quick takes "@2x" as device pixel ratio 2: a plain Image reports the
#    design size as implicitWidth/implicitHeight. sourceSize stays in pixels (twice as large).

# Renders every skin SVG: the groups into resources of `target`, the pictures read from disk
# into the build's data folder (target mousecfg_skin_files).
function(mousecfg_add_skin target)
  set(skin_src ${PROJECT_SOURCE_DIR}/modules/img/skin1)
  set(render $<TARGET_FILE:mousecfg_svg2png>)

  file(GLOB group_svgs CONFIGURE_DEPENDS ${skin_src}/*/*.svg)
  set(resource_pngs)
  foreach(svg IN LISTS group_svgs)
    file(RELATIVE_PATH rel ${skin_src} ${svg})
    get_filename_component(group ${rel} DIRECTORY)
    get_filename_component(name ${rel} NAME_WE)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/skin/${group}/${name}@2x.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${render} 2 ${svg} ${png}
      DEPENDS ${svg} mousecfg_svg2png
      COMMENT "Rendering skin ${group}/${name}"
      VERBATIM)
    set_source_files_properties(${png} PROPERTIES
      QT_RESOURCE_ALIAS ${group}/modules/img/skin1/${group}/${name}@2x.png)
    list(APPEND resource_pngs ${png})
  endforeach()
  qt_add_resources(${target} mousecfg_skin_resources PREFIX "/" FILES ${resource_pngs})

  file(GLOB disk_svgs CONFIGURE_DEPENDS ${skin_src}/*.svg)
  set(disk_pngs)
  foreach(svg IN LISTS disk_svgs)
    get_filename_component(name ${svg} NAME_WE)
    set(png ${PROJECT_BINARY_DIR}/modules/img/skin1/${name}@2x.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${render} 2 ${svg} ${png}
      DEPENDS ${svg} mousecfg_svg2png
      COMMENT "Rendering skin ${name}"
      VERBATIM)
    list(APPEND disk_pngs ${png})
  endforeach()
  add_custom_target(mousecfg_skin_files ALL DEPENDS ${disk_pngs})
endfunction()
