# Import libraries for the host's libmx.dll and libmex.dll, made with dlltool
# from module-definition files, so the Windows plug-ins link against the
# host's own DLL names without any of the host's files being present.
#
# host_import_library(<target> <def file>) makes an imported target <target>.

if(CMAKE_DLLTOOL)
  set(GREEDYSWEEP_DLLTOOL ${CMAKE_DLLTOOL})
else()
  find_program(GREEDYSWEEP_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
endif()

function(host_import_library target definition)
  get_filename_component(name ${definition} NAME_WE)
  set(library ${CMAKE_BINARY_DIR}/host-import/${name}.a)
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-import
    COMMAND ${GREEDYSWEEP_DLLTOOL} --input-def ${definition} --dllname ${name}.dll
            --output-lib ${library}
    DEPENDS ${definition}
    COMMENT "Generating the import library for ${name}.dll"
    VERBATIM)
  add_custom_target(${target}_generate DEPENDS ${library})
  add_library(${target} UNKNOWN IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${library})
  add_dependencies(${target} ${target}_generate)
endfunction()
