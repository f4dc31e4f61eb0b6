# cmake -DOBJDUMP=... -DCONTROL=object -DOBJECTS=a.o|b.o|... -P this
# Disassembles each object: the kernels must hold no fused multiply-add
# (x86 FMA3 or AArch64), and the control object must hold one.
set(fused "[ \t](vfn?m(add|sub)[0-9a-z]*|fn?m(add|sub)|fml[as])[ \t.]")

function(count_fused object result)
  execute_process(COMMAND ${OBJDUMP} -d ${object} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -d ${object} failed")
  endif()
  string(REGEX MATCHALL "${fused}" found "${listing}")
  list(LENGTH found count)
  set(${result} ${count} PARENT_SCOPE)
endfunction()

count_fused(${CONTROL} control)
if(control EQUAL 0)
  message(FATAL_ERROR "the control object holds no fused multiply-add: these flags never fuse, so the check proves nothing")
endif()

string(REPLACE "|" ";" objects "${OBJECTS}")
set(failed)
foreach(object IN LISTS objects)
  count_fused(${object} count)
  get_filename_component(name ${object} NAME)
  message(STATUS "${name}: ${count} fused multiply-add instructions")
  if(NOT count EQUAL 0)
    list(APPEND failed ${name})
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "fused multiply-adds in: ${failed}")
endif()
