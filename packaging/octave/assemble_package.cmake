# Lays out the Octave package tree in PACKAGE_ROOT; run with cmake -P.
# Expects SOURCE_DIR, PACKAGE_ROOT, PACKAGE_NAME, PROJECT_VERSION, PLUGINS,
# KERNEL_SOURCES (paths under kernels/, separated by spaces) and CXXFLAGS.
separate_arguments(plugin_names UNIX_COMMAND "${PLUGINS}")
file(REMOVE_RECURSE ${PACKAGE_ROOT})

string(TIMESTAMP PACKAGE_DATE "%Y-%m-%d" UTC)
set(templates ${CMAKE_CURRENT_LIST_DIR})
configure_file(${templates}/DESCRIPTION.in ${PACKAGE_ROOT}/DESCRIPTION @ONLY)
configure_file(${SOURCE_DIR}/LICENSE ${PACKAGE_ROOT}/COPYING COPYONLY)
configure_file(${SOURCE_DIR}/NEWS ${PACKAGE_ROOT}/NEWS COPYONLY)
configure_file(${templates}/Makefile.in ${PACKAGE_ROOT}/src/Makefile @ONLY)

# The functions and the example programs; the plug-ins and their help texts
# are installed from src/ when the package is built.
file(GLOB functions ${SOURCE_DIR}/functions/*.m ${SOURCE_DIR}/examples/*.m)
file(COPY ${functions} DESTINATION ${PACKAGE_ROOT}/inst)
file(COPY ${SOURCE_DIR}/functions/private DESTINATION ${PACKAGE_ROOT}/inst)

foreach(plugin IN LISTS plugin_names)
  file(COPY ${SOURCE_DIR}/plugins/${plugin}.m DESTINATION ${PACKAGE_ROOT}/src/plugins)
endforeach()
foreach(folder IN ITEMS kernels plugins)
  file(COPY ${SOURCE_DIR}/${folder} DESTINATION ${PACKAGE_ROOT}/src
       FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp")
endforeach()
