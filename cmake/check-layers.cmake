# Checks that includes point only downward through the layers of src/ and that <windows.h>
# is included only by the Win32 layer (and by the end-to-end test driver, itself a Win32
# program). Run by the build before any layer is compiled, and as the `layer_check` test.
# usage: cmake -DROOT=<source dir> "-DRULES=<folder>=<allowed>,<allowed>... ..." -P check-layers.cmake
cmake_minimum_required(VERSION 3.20)

string(REPLACE " " ";" rules "${RULES}")
set(rule_folders)
foreach(rule IN LISTS rules)
  string(FIND "${rule}" "=" at)
  string(SUBSTRING "${rule}" 0 ${at} folder)
  math(EXPR after "${at} + 1")
  string(SUBSTRING "${rule}" ${after} -1 allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  list(APPEND rule_folders ${folder})
  set(allowed_${folder} ${allowed})
endforeach()

# Includes that name one of these folders are the project's own.
file(GLOB src_entries LIST_DIRECTORIES true RELATIVE ${ROOT}/src ${ROOT}/src/*)
set(src_folders)
foreach(entry IN LISTS src_entries)
  if(IS_DIRECTORY ${ROOT}/src/${entry})
    list(APPEND src_folders ${entry})
  endif()
endforeach()

file(GLOB_RECURSE files RELATIVE ${ROOT}
     ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h
     ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h)

set(faults)
foreach(file IN LISTS files)
  # The layer the file belongs to: the longest rule folder it lies in.
  set(layer "")
  foreach(folder IN LISTS rule_folders)
    string(LENGTH "${folder}" folder_length)
    string(LENGTH "${layer}" layer_length)
    if(file MATCHES "^src/${folder}/" AND folder_length GREATER layer_length)
      set(layer ${folder})
    endif()
  endforeach()
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(NOT line MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(header ${CMAKE_MATCH_1})
    string(TOLOWER "${header}" lower)
    if(lower STREQUAL "windows.h" AND NOT file MATCHES "^(src/platform/win32|tests/e2e)/")
      list(APPEND faults "${file}: <windows.h> belongs to src/platform/win32 only")
    endif()
    if(file MATCHES "^src/" AND header MATCHES "(^|/)\\.\\./")
      list(APPEND faults "${file}: includes \"${header}\"; name headers from src/ instead")
    endif()
    if(layer AND header MATCHES "^([^/]+)/")
      set(first ${CMAKE_MATCH_1})
      if(first IN_LIST src_folders AND NOT first IN_LIST allowed_${layer})
        list(APPEND faults "${file}: the ${layer} layer may not include \"${header}\"")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
