# Checks a built DLL for aligned vector moves to or from memory in its wide (VEX-encoded) code: the
# Windows stack is aligned to 16 bytes or less, so a spill of a four-double vector with an aligned
# move would fault on every other call.
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${DLL} OUTPUT_VARIABLE dump
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
string(REGEX MATCHALL "[^\n]*vmov(ap[sd]|dqa|dqa32|dqa64|ntp[sd]|ntdq) [^\n]*\\([^\n]*" aligned
       "${dump}")
if(aligned)
    list(LENGTH aligned count)
    list(GET aligned 0 first)
    message(FATAL_ERROR "${count} aligned vector moves to or from memory, the first: ${first}")
endif()
string(REGEX MATCHALL "[^\n]*vmovup[sd][^\n]*ymm[^\n]*" wide "${dump}")
list(LENGTH wide count)
if(count EQUAL 0)
    message(FATAL_ERROR "no 256-bit moves at all: the wide DFT passes are missing")
endif()
message(STATUS "${count} unaligned 256-bit moves, no aligned ones to or from memory")
