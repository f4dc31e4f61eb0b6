# cmake -DCOMPILER=... -DFLAGS=a|b -DINCLUDES=dir|dir -DSOURCES=a.cpp|b.cpp -P this
# Compiles each kernel source with FLAGS (fast math): every one must stop
# with the kernels' own refusal, not compile, and not fail for another reason.
foreach(required COMPILER FLAGS INCLUDES SOURCES)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
  string(REPLACE "|" ";" ${required} "${${required}}")
endforeach()
list(TRANSFORM INCLUDES PREPEND -I)

set(failed)
foreach(source IN LISTS SOURCES)
  get_filename_component(name ${source} NAME)
  execute_process(COMMAND ${COMPILER} ${FLAGS} ${INCLUDES} -fsyntax-only ${source}
                  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
  if(status EQUAL 0)
    list(APPEND failed "${name} compiled")
  elseif(NOT output MATCHES "need IEEE arithmetic in the documented order")
    list(APPEND failed "${name} failed without the refusal:\n${output}")
  else()
    message(STATUS "${name}: refused")
  endif()
endforeach()
if(failed)
  string(REPLACE ";" "\n" failed "${failed}")
  message(FATAL_ERROR "with ${FLAGS}:\n${failed}")
endif()
