# Flags every target of the project takes through greedysweep_flags.
#
# Results must be bit-identical to the documented scalar operation order, so
# the compiler may never fuse a multiply and an add (GCC does so by default
# whenever an FMA target is enabled) nor reassociate.
add_library(greedysweep_flags INTERFACE)

if(MSVC)
  target_compile_options(greedysweep_flags INTERFACE /W4 /fp:precise)
  if(GREEDYSWEEP_WERROR)
    target_compile_options(greedysweep_flags INTERFACE /WX)
  endif()
else()
  target_compile_options(greedysweep_flags INTERFACE -ffp-contract=off -fno-fast-math -Wall -Wextra)
  if(GREEDYSWEEP_WERROR)
    target_compile_options(greedysweep_flags INTERFACE -Werror)
  endif()
endif()

if(GREEDYSWEEP_SANITIZE)
  set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(greedysweep_flags INTERFACE ${sanitizers})
  target_link_options(greedysweep_flags INTERFACE ${sanitizers})
endif()
