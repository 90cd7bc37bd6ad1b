# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack when it makes a package. The QML modules the scene imports are loaded at run
# time, so no linker and no dpkg-shlibdeps sees them: they are found in the scene's own import
# lines. Debian names them qml6-module-<import in lower case, dots as dashes>.
file(GLOB_RECURSE scene_files "${CPACK_MOUSECFG_SCENE_DIR}/*.qml")
set(qml_packages)
foreach(file IN LISTS scene_files)
  file(STRINGS "${file}" imports REGEX "^[ \t]*import[ \t]+Qt[A-Za-z0-9.]*")
  foreach(line IN LISTS imports)
    string(REGEX REPLACE "^[ \t]*import[ \t]+(Qt[A-Za-z0-9.]*).*" "\\1" module "${line}")
    string(TOLOWER "${module}" module)
    string(REPLACE "." "-" module "${module}")
    list(APPEND qml_packages "qml6-module-${module}")
  endforeach()
endforeach()
# The scene's font families: a CJK one for Chinese, a Latin and Cyrillic one for the other
# languages; the scene itself only names them.
list(APPEND qml_packages "fonts-noto-cjk" "fonts-noto-core")
# Qt loads its window-system plugins at run time too: the Wayland one lets the program run as a
# native client of a Wayland session (the X11 one comes with Qt's GUI library).
list(APPEND qml_packages "qt6-wayland")
list(REMOVE_DUPLICATES qml_packages)
list(SORT qml_packages)
list(JOIN qml_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
