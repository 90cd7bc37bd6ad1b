# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows code is never built here: MinGW-w64's cross compiler checks it in syntax-only mode
# against Qt's headers (the same on every platform) and the Windows SDK headers that come with
# it, so that a typo or a wrong Win32 signature fails the suite. One test per source: the files
# under win/ or named *_win, and the shared files with branches for one system or another.
if(WIN32)
  return()
endif()

file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
set(windows_sources)
foreach(src IN LISTS all_sources)
  if(src MATCHES "/win/|_win\\.cpp$")
    list(APPEND windows_sources ${src})
  else()
    file(STRINGS ${src} windows_branch REGEX "Q_OS_|_WIN32|__linux__")
    if(windows_branch)
      list(APPEND windows_sources ${src})
    endif()
  endif()
endforeach()

find_program(MINGW_CXX x86_64-w64-mingw32-g++)
if(NOT MINGW_CXX)
  add_test(NAME windows_syntax COMMAND ${CMAKE_COMMAND} -E echo
           "x86_64-w64-mingw32-g++ is missing (package g++-mingw-w64-x86-64): run make deps")
  set_tests_properties(windows_syntax PROPERTIES WILL_FAIL TRUE)
  return()
endif()

# hidapi's one header is the same on Windows; only it is put where the sources look for it, so
# that no Linux system header can stand in for a Windows one.
set(windows_include ${CMAKE_CURRENT_BINARY_DIR}/windows-include)
find_file(HIDAPI_HEADER hidapi.h PATHS ${HIDAPI_INCLUDE_DIRS} NO_DEFAULT_PATH)
configure_file(${HIDAPI_HEADER} ${windows_include}/hidapi/hidapi.h COPYONLY)

set(qt_headers ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS})
set(windows_flags -std=c++17 -fsyntax-only -Wall -Wextra -Werror -DUNICODE -D_UNICODE
    -I${PROJECT_SOURCE_DIR}/src -isystem ${windows_include} -isystem ${qt_headers})
foreach(module Core Gui Widgets Qml Quick QuickWidgets Network Concurrent)
  list(APPEND windows_flags -isystem ${qt_headers}/Qt${module})
endforeach()

foreach(src IN LISTS windows_sources)
  file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR}/src ${src})
  add_test(NAME windows_syntax/${name} COMMAND ${MINGW_CXX} ${windows_flags} ${src})
endforeach()
