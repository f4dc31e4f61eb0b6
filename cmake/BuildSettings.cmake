# Reads plugins/build_settings.txt, the one list of the plug-ins and of the
# flags every build path uses, into GREEDYSWEEP_PLUGINS,
# GREEDYSWEEP_CXX_STANDARD, GREEDYSWEEP_GCC_FLAGS, GREEDYSWEEP_MSVC_FLAGS and
# GREEDYSWEEP_THREAD_FLAGS (lists).
set(settings_file ${CMAKE_CURRENT_LIST_DIR}/../plugins/build_settings.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${settings_file})
file(STRINGS ${settings_file} settings_lines REGEX "^[a-z_]+ *=")
foreach(line IN LISTS settings_lines)
  string(REGEX MATCH "^([a-z_]+) *= *(.*)$" _ "${line}")
  string(TOUPPER "${CMAKE_MATCH_1}" key)
  separate_arguments(value UNIX_COMMAND "${CMAKE_MATCH_2}")
  set(GREEDYSWEEP_${key} ${value})
endforeach()
foreach(key PLUGINS CXX_STANDARD GCC_FLAGS MSVC_FLAGS THREAD_FLAGS)
  if(NOT DEFINED GREEDYSWEEP_${key})
    message(FATAL_ERROR "${settings_file} does not set ${key}")
  endif()
endforeach()
