# Cross build for 64-bit ARM Linux with Debian's cross compiler
# (g++-aarch64-linux-gnu), running what it builds under qemu-aarch64
# (qemu-user) with the cross toolchain's libraries as its root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(aarch64_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${aarch64_triple}-gcc)
set(CMAKE_CXX_COMPILER ${aarch64_triple}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${aarch64_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU_AARCH64 qemu-aarch64)
if(QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${QEMU_AARCH64}" -L /usr/${aarch64_triple})
endif()
