# cmake -DNM=... -DOBJDUMP=... -DCONTROL=object -DOBJECTS=a.o|b.o -P this
# A weak (COMDAT) function is one copy among many: the linker keeps any one
# of them for the whole program. Compiled inside a path's target region it
# would hold AVX code, and every caller on any CPU could be sent to it. The
# path objects, built at -O0 so that nothing is inlined away, must define no
# weak function holding a VEX or EVEX instruction; the control object, with
# an inline function inside a target region, must.
cmake_minimum_required(VERSION 3.25)

foreach(required NM OBJDUMP CONTROL OBJECTS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

function(weak_target_code object result)
  execute_process(COMMAND ${NM} --defined-only ${object}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} ${object} failed")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ W [^\n]+" weak "${symbols}")
  list(TRANSFORM weak REPLACE "^[0-9a-f]+ W " "")

  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -d ${object} failed")
  endif()
  # One list entry per function: its name, then its instructions. Brackets
  # and semicolons would bend CMake's list splitting.
  string(REPLACE ";" "," listing "${listing}")
  string(REPLACE "[" "<" listing "${listing}")
  string(REPLACE "]" ">" listing "${listing}")
  string(REGEX REPLACE "\n[0-9a-f]+ <([^>\n]+)>:\n" ";\\1\n" functions "${listing}")
  set(found)
  foreach(function IN LISTS functions)
    string(REGEX MATCH "^[^\n]+" name "${function}")
    if(name IN_LIST weak AND function MATCHES "\n +[0-9a-f]+:\t(v|k)[a-z]")
      list(APPEND found ${name})
    endif()
  endforeach()
  set(${result} ${found} PARENT_SCOPE)
endfunction()

weak_target_code(${CONTROL} control)
if(NOT control)
  message(FATAL_ERROR "no weak function with vector code found in the control object: the check proves nothing")
endif()

string(REPLACE "|" ";" objects "${OBJECTS}")
set(failed)
foreach(object IN LISTS objects)
  weak_target_code(${object} found)
  get_filename_component(name ${object} NAME)
  if(found)
    list(APPEND failed "${name}: ${found}")
  else()
    message(STATUS "${name}: no weak function holds vector code")
  endif()
endforeach()
if(failed)
  string(REPLACE ";" "\n  " failed "${failed}")
  message(FATAL_ERROR "weak functions compiled for a path's instruction set (standard headers "
                      "or inline code inside a target region?):\n  ${failed}")
endif()
