# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64),
# running what it builds under Wine (wine64).
#
# Every binary links the C++ runtime, libgcc and winpthread statically, so a
# plug-in needs nothing on the user's machine beyond the host and Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
# Debian's compilers of either thread model: posix by default (the tests
# use <thread>, which the win32 one lacks); the plug-ins need neither, as
# the solver starts Windows' own threads.
set(GREEDYSWEEP_MINGW_THREADS posix CACHE STRING "MinGW-w64 thread model: posix or win32")
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-${GREEDYSWEEP_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-${GREEDYSWEEP_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# Debian installs the 64-bit loader outside PATH unless the `wine` package is there too.
find_program(WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE64 NAMES wine64 wine)
if(WINE64)
  # A private, quiet prefix in the build tree; it is created on first use
  # (see the wine_prefix target) without any dialog.
  set(GREEDYSWEEP_WINEPREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_CURRENT_LIST_DIR}/wine-run" "${GREEDYSWEEP_WINEPREFIX}" "${WINE64}")
endif()
