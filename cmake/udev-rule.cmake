# Writes the udev rule that lets the user at the seat open the hidraw nodes of exactly the
# devices in the device table:  cmake -DTABLE=devConfig.ini -DOUT=70-mousecfg.rules -P udev-rule.cmake
# The table is read as the program reads it: rows "0" .. common/deviceCount - 1, ids in
# hexadecimal of at most 16 bits, anything else 0. A zero id would match every device, so such
# a row gets no rule.

cmake_minimum_required(VERSION 3.25)

file(READ "${TABLE}" text)
string(REPLACE ";" "," text "${text}")      # keep list splitting to line ends
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(section "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^\\[(.*)\\]$")
    set(section "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^([^=#,]+)=(.*)$")
    string(STRIP "${CMAKE_MATCH_1}" key)
    string(STRIP "${CMAKE_MATCH_2}" value)
    string(REGEX REPLACE "^\"(.*)\"$" "\\1" value "${value}")
    set("ini.${section}/${key}" "${value}")
  endif()
endforeach()

# Four lower-case hex digits as sysfs writes ids, or empty for text that is no 16-bit id.
function(sysfs_id text out)
  string(TOLOWER "${text}" id)
  string(REGEX REPLACE "^0x" "" id "${id}")
  string(REGEX REPLACE "^0+" "" id "${id}")
  string(LENGTH "${id}" digits)
  if(NOT id MATCHES "^[0-9a-f]+$" OR digits GREATER 4)
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  math(EXPR missing "4 - ${digits}")
  string(REPEAT "0" ${missing} pad)
  set(${out} "${pad}${id}" PARENT_SCOPE)
endfunction()

set(count "${ini.common/deviceCount}")
if(NOT count MATCHES "^[0-9]+$")
  set(count 0)
endif()
if(count GREATER 256)
  set(count 256)
endif()

set(rules "")
set(seen "")
set(n 0)
while(n LESS count)
  sysfs_id("${ini.${n}/vid}" vid)
  sysfs_id("${ini.${n}/pid}" pid)
  if(vid AND pid AND NOT vid STREQUAL "0000" AND NOT pid STREQUAL "0000" AND NOT "${vid}:${pid}" IN_LIST seen)
    list(APPEND seen "${vid}:${pid}")
    string(APPEND rules "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"${vid}\", ATTRS{idProduct}==\"${pid}\", TAG+=\"uaccess\"\n")
  endif()
  math(EXPR n "${n} + 1")
endwhile()

file(WRITE "${OUT}.tmp"
  "# mousecfg: the user at the seat may open the hidraw nodes of the devices mousecfg configures.\n"
  "# Generated from its device table (modules/devConfig.ini); do not edit.\n"
  "${rules}")
file(RENAME "${OUT}.tmp" "${OUT}")
