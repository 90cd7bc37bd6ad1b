# SPDX-License-Identifier: GPL-3.0-or-later
# The scene compiled at build time: qmlcachegen turns every QML and JavaScript file of the
# resources into a compilation unit linked into the program, which the engine takes in place of
# compiling the file on the first start and loading its cached copy on every later one. The
# resource paths are those of qt_add_resources (BASE `base`), so the files stay where they are.
# `qrc` is that resource file: it lets qmlcachegen resolve the scene's imports among the files.
function(mousecfg_compile_qml target base files qrc)
  get_target_property(cachegen Qt6::qmlcachegen IMPORTED_LOCATION)
  if(NOT cachegen)
    get_target_property(cachegen Qt6::qmlcachegen LOCATION)
  endif()
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/qmlcache)
  set(units)
  set(paths)
  foreach(file IN LISTS files)
    if(NOT file MATCHES "\\.(qml|js)$")
      continue()
    endif()
    file(RELATIVE_PATH rel ${base} ${file})
    string(MAKE_C_IDENTIFIER ${rel} name)
    add_custom_command(OUTPUT ${out_dir}/${name}.cpp
      COMMAND ${cachegen} --resource-path /${rel} --resource ${qrc} -o ${out_dir}/${name}.cpp ${file}
      DEPENDS ${file} ${cachegen} ${qrc}
      COMMENT "Compiling QML ${rel}"
      VERBATIM)
    list(APPEND units ${out_dir}/${name}.cpp)
    string(APPEND paths "/${rel}\n")
  endforeach()
  # The loader registers the units by resource path; its name must end so for qmlcachegen.
  set(list_file ${out_dir}/${target}_units.rsp)
  file(GENERATE OUTPUT ${list_file} CONTENT "${paths}")
  set(loader ${out_dir}/${target}_qmlcache_loader.cpp)
  add_custom_command(OUTPUT ${loader}
    COMMAND ${cachegen} --resource-name qmlcache_${target} -o ${loader} @${list_file}
    DEPENDS ${list_file} ${cachegen}
    VERBATIM)
  # An object library: a static library's members that nothing names would be left out of the
  # link, and the loader registers itself from a static constructor.
  add_library(${target}_cache OBJECT ${units} ${loader})
  target_link_libraries(${target}_cache PRIVATE Qt6::Qml)
  set_target_properties(${target}_cache PROPERTIES AUTOMOC OFF)
  target_compile_options(${target}_cache PRIVATE $<$<CXX_COMPILER_ID:GNU,Clang>:-w>)
  target_sources(${target} INTERFACE $<TARGET_OBJECTS:${target}_cache>)
  target_link_libraries(${target} PUBLIC Qt6::Qml)
endfunction()
