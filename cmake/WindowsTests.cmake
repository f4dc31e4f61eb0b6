# What the tests of the Windows cross build need: GoogleTest built from
# Debian's sources (libgtest-dev holds Linux binaries only) and a Wine prefix
# made before any test binary starts (making one takes several seconds, more
# than test discovery allows).

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(GREEDYSWEEP_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
if(NOT EXISTS "${GREEDYSWEEP_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${GREEDYSWEEP_GOOGLETEST_SOURCE} (Debian package googletest)")
endif()
add_subdirectory("${GREEDYSWEEP_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "The Windows tests run under Wine: install wine64 (scripts/setup-debian)")
endif()
set(wine_prefix_stamp "${GREEDYSWEEP_WINEPREFIX}/system.reg")
add_custom_command(
  OUTPUT "${wine_prefix_stamp}"
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
  COMMENT "Creating the Wine prefix ${GREEDYSWEEP_WINEPREFIX}"
  VERBATIM)
add_custom_target(wine_prefix ALL DEPENDS "${wine_prefix_stamp}")

# Starting a Windows process under Wine is slow next to a native one.
set(GREEDYSWEEP_DISCOVERY_TIMEOUT 60)
