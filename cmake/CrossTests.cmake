# What the tests of a cross build need: GoogleTest built from Debian's sources
# (libgtest-dev holds binaries for the build machine only), an emulator to
# run them (Wine for Windows, qemu-aarch64 for AArch64), and for Wine a
# prefix made before any test binary starts (making one takes several
# seconds, more than test discovery allows).

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(GREEDYSWEEP_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
if(NOT EXISTS "${GREEDYSWEEP_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${GREEDYSWEEP_GOOGLETEST_SOURCE} (Debian package googletest)")
endif()
add_subdirectory("${GREEDYSWEEP_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "The cross-built tests run under an emulator: install wine64 or qemu-user (scripts/setup-debian)")
endif()

if(WIN32)
  set(wine_prefix_stamp "${GREEDYSWEEP_WINEPREFIX}/system.reg")
  add_custom_command(
    OUTPUT "${wine_prefix_stamp}"
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
    COMMENT "Creating the Wine prefix ${GREEDYSWEEP_WINEPREFIX}"
    VERBATIM)
  add_custom_target(wine_prefix ALL DEPENDS "${wine_prefix_stamp}")
endif()

# Starting a program under Wine or qemu is slow next to a native one.
set(GREEDYSWEEP_DISCOVERY_TIMEOUT 60)
