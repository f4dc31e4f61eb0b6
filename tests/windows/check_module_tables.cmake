# Reads a Windows DLL's export and import tables with objdump and fails unless
# it exports exactly EXPORTS, imports from no DLL outside IMPORT_DLLS, and
# imports every REQUIRED_IMPORTS entry (DLL:function). DLL names compare
# case-insensitively, as the Windows loader compares them.
#
#   cmake -DOBJDUMP=… -DMODULE=… -DEXPORTS=a,b -DIMPORT_DLLS=x.dll,y*.dll
#         -DREQUIRED_IMPORTS=x.dll:f -P check_module_tables.cmake
#
# Lists are comma-separated; a * in a DLL name matches any text.

cmake_minimum_required(VERSION 3.25)

foreach(required OBJDUMP MODULE EXPORTS IMPORT_DLLS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()
foreach(list EXPORTS IMPORT_DLLS REQUIRED_IMPORTS)
  string(REPLACE "," ";" ${list} "${${list}}")
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
                OUTPUT_VARIABLE dump ERROR_VARIABLE dump_error RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed: ${dump_error}")
endif()
# Brackets and semicolons would bend CMake's list splitting.
string(REPLACE ";" "," dump "${dump}")
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")

set(exports)
set(imports)          # DLL:function, DLL lower-cased
set(import_dlls)      # lower-cased
set(section none)
foreach(line IN LISTS lines)
  if(line MATCHES "^<Ordinal/Name Pointer> Table")
    set(section exports)
  elseif(line MATCHES "^\tDLL Name: (.+)$")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
    list(APPEND import_dlls ${dll})
    set(section imports)
  elseif(line STREQUAL "" OR line MATCHES "^[^\t ]")
    set(section none)
  elseif(section STREQUAL "exports" AND line MATCHES "^\t< *[0-9]+> (.+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  elseif(section STREQUAL "imports" AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)$")
    list(APPEND imports "${dll}:${CMAKE_MATCH_1}")
  endif()
endforeach()

set(problems)
list(SORT exports)
set(expected_exports ${EXPORTS})
list(SORT expected_exports)
if(NOT exports STREQUAL expected_exports)
  string(REPLACE ";" " " got "${exports}")
  list(APPEND problems "exports [${got}], expected exactly [${EXPORTS}]")
endif()

string(TOLOWER "${IMPORT_DLLS}" allowed)
foreach(dll IN LISTS import_dlls)
  set(permitted FALSE)
  foreach(pattern IN LISTS allowed)
    string(REPLACE "." "\\." pattern "${pattern}")
    string(REPLACE "*" ".*" pattern "${pattern}")
    if(dll MATCHES "^${pattern}$")
      set(permitted TRUE)
    endif()
  endforeach()
  if(NOT permitted)
    list(APPEND problems "imports from ${dll}")
  endif()
endforeach()

foreach(entry IN LISTS REQUIRED_IMPORTS)
  string(TOLOWER "${entry}" wanted)
  string(REGEX REPLACE ":.*" "" wanted_dll "${wanted}")
  string(REGEX REPLACE "^[^:]*:" "" wanted_function "${entry}")
  if(NOT "${wanted_dll}:${wanted_function}" IN_LIST imports)
    list(APPEND problems "does not import ${wanted_function} from ${wanted_dll}")
  endif()
endforeach()

if(problems)
  string(REPLACE ";" "\n  " problems "${problems}")
  message(FATAL_ERROR "${MODULE}:\n  ${problems}")
endif()
list(LENGTH imports count)
message(STATUS "${MODULE}: exports ${exports}; ${count} imports from ${import_dlls}")
