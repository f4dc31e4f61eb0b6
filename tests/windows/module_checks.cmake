# The checks of a Windows build's plug-ins on the build machine: their
# export and import tables, and their code. Included with plugin_dir set.

# Each plug-in's tables, read on the build machine: the entry point is its
# only export, and it needs nothing on the user's machine but the host's
# libmx.dll and libmex.dll and Windows' own DLLs.
set(check_tables ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
    -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_module_tables.cmake)
set(windows_dlls kernel32.dll,msvcrt.dll,ucrtbase.dll,api-ms-win-crt-*.dll,ntdll.dll)
foreach(plugin IN LISTS GREEDYSWEEP_PLUGINS)
  add_test(NAME module_tables.${plugin}
    COMMAND ${CMAKE_COMMAND} -DMODULE=${plugin_dir}/${plugin}${GREEDYSWEEP_PLUGIN_SUFFIX} -DEXPORTS=mexFunction
            -DIMPORT_DLLS=libmx.dll,libmex.dll,${windows_dlls}
            -DREQUIRED_IMPORTS=libmx.dll:mxCreateDoubleMatrix_700 ${check_tables})
endforeach()
# The check itself must catch a stray export and a foreign DLL: our own
# libmex.dll has both.
add_test(NAME module_tables.catches_stray_exports_and_imports
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:testhost_mex> -DEXPORTS=mexFunction
          -DIMPORT_DLLS=${windows_dlls} ${check_tables})
set_tests_properties(module_tables.catches_stray_exports_and_imports PROPERTIES
  PASS_REGULAR_EXPRESSION "mexPrintf[^\n]*expected exactly .mexFunction.\n +imports from libmx\\.dll")

# Each plug-in's code, for aligned AVX moves to or from the stack (see the
# script), and the check itself against a module that has one.
set(check_stack_moves -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_stack_vector_moves.cmake)
foreach(plugin IN LISTS GREEDYSWEEP_PLUGINS)
  add_test(NAME stack_vector_moves.${plugin}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
            -DMODULE=${plugin_dir}/${plugin}${GREEDYSWEEP_PLUGIN_SUFFIX} ${check_stack_moves})
endforeach()
add_library(stack_vector_move_control OBJECT windows/stack_vector_move_control.cpp)
add_test(NAME stack_vector_moves.catches_an_aligned_spill
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
          "-DMODULE=$<TARGET_OBJECTS:stack_vector_move_control>" ${check_stack_moves})
set_tests_properties(stack_vector_moves.catches_an_aligned_spill PROPERTIES
  PASS_REGULAR_EXPRESSION "1 aligned vector moves to or from the stack:[ \n]+vmovapd %ymm0,0x20\\(%rsp\\)")
