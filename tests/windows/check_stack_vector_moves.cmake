# cmake -DOBJDUMP=... -DMODULE=file -P this
# MinGW-w64's GCC keeps the stack aligned to 16 bytes only (GCC bug 54412),
# so an AVX or AVX-512 register spilled with an aligned move faults when its
# slot is not 32- or 64-byte aligned. Fails on any aligned move of a ymm or
# zmm register to or from a %rsp or %rbp address in MODULE. (xmm moves need
# only the 16 bytes the Windows ABI guarantees.)
cmake_minimum_required(VERSION 3.25)

foreach(required OBJDUMP MODULE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${MODULE}
                OUTPUT_VARIABLE listing ERROR_VARIABLE dump_error RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -d ${MODULE} failed: ${dump_error}")
endif()
string(REPLACE ";" "," listing "${listing}")
string(REGEX MATCHALL
  "\tvmov(apd|aps|dqa|dqa32|dqa64|ntpd|ntps|ntdq)[ \t]+[^\n]*%[yz]mm[^\n]*\\(%r[sb]p[,)][^\n]*|\tvmov(apd|aps|dqa|dqa32|dqa64)[ \t]+[^\n]*\\(%r[sb]p[,)][^\n]*%[yz]mm[^\n]*"
  found "${listing}")
list(TRANSFORM found STRIP)
list(LENGTH found count)
if(count GREATER 0)
  list(SUBLIST found 0 10 shown)
  string(REPLACE ";" "\n  " shown "${shown}")
  message(FATAL_ERROR "${MODULE}: ${count} aligned vector moves to or from the stack:\n  ${shown}")
endif()
message(STATUS "${MODULE}: no aligned ymm or zmm move to or from the stack")
