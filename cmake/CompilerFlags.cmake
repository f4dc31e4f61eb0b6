# Flags every target of the project takes through greedysweep_flags.
#
# Results must be bit-identical to the scalar operation order of
# docs/operation-order.md, so the compiler may never fuse a multiply and an
# add nor reassociate. The flags that say so come from
# plugins/build_settings.txt, which every build path reads (see
# BuildSettings.cmake); the kernel sources also turn contraction off
# themselves (kernels/no_fp_contract.h), for builds that do not pass them.
add_library(greedysweep_flags INTERFACE)

if(MSVC)
  target_compile_options(greedysweep_flags INTERFACE /W4 ${GREEDYSWEEP_MSVC_FLAGS})
  if(GREEDYSWEEP_WERROR)
    target_compile_options(greedysweep_flags INTERFACE /WX)
  endif()
else()
  target_compile_options(greedysweep_flags INTERFACE ${GREEDYSWEEP_GCC_FLAGS} -Wall -Wextra)
  if(GREEDYSWEEP_WERROR)
    target_compile_options(greedysweep_flags INTERFACE -Werror)
  endif()
endif()

if(GREEDYSWEEP_SANITIZE)
  set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(greedysweep_flags INTERFACE ${sanitizers})
  target_link_options(greedysweep_flags INTERFACE ${sanitizers})
endif()

# ThreadSanitizer, for the solver's team of threads (the tsan preset).
if(GREEDYSWEEP_TSAN)
  set(thread_sanitizer -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(greedysweep_flags INTERFACE ${thread_sanitizer})
  target_link_options(greedysweep_flags INTERFACE ${thread_sanitizer})
endif()

# Fuzzing: coverage for libFuzzer plus both sanitizers on every target, so the
# test host, the plug-in modules and the kernels are all instrumented. Only
# the fuzz executables link libFuzzer itself.
if(GREEDYSWEEP_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "GREEDYSWEEP_FUZZ needs clang: configure with CMAKE_CXX_COMPILER=clang++")
  endif()
  set(fuzz_sanitizers -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  target_compile_options(greedysweep_flags INTERFACE ${fuzz_sanitizers})
  target_link_options(greedysweep_flags INTERFACE ${fuzz_sanitizers})
endif()
