# Checks the object file of the AVX2 kernels (TSpanKernelsAvx2.cpp) for instructions that
# need AVX (VEX-encoded ones, all named v...) outside the functions of its avx2
# namespace (mangled names _ZN4avx2..., _ZNK4avx2..., and _ZZN4avx2... for what is local
# to them; the compiler's own functions may merely quote such a name):
#   cmake -DOBJECTS=<the graphics library's objects, |-separated> -DOBJDUMP=<objdump>
#         -P Avx2KernelsObjectTest.cmake
# Those functions run only after the processor was found to have AVX2; anything else in
# the object, start-up code that sanitizers or coverage add included, runs on every
# x86-64 processor. The kernels themselves must hold AVX instructions, or the check would
# prove nothing.
string(REPLACE "|" ";" OBJECTS "${OBJECTS}")
set(object "")
foreach(candidate IN LISTS OBJECTS)
    if(candidate MATCHES "TSpanKernelsAvx2")
        set(object ${candidate})
    endif()
endforeach()
if(object STREQUAL "")
    message(FATAL_ERROR "no object of TSpanKernelsAvx2.cpp among: ${OBJECTS}")
endif()

execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${object}: ${status}")
endif()

string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(function "")
set(inside 0)
set(outside "")
foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]+ <(.*)>:$")
        set(function ${CMAKE_MATCH_1})
    elseif(line MATCHES "^ +[0-9a-f]+:\t(v[a-z0-9]*)")
        set(mnemonic ${CMAKE_MATCH_1})
        if(function MATCHES "^_ZZ?NK?4avx2")
            math(EXPR inside "${inside} + 1")
        else()
            list(APPEND outside "${function}: ${mnemonic}")
        endif()
    endif()
endforeach()

if(outside)
    list(REMOVE_DUPLICATES outside)
    string(REPLACE ";" "\n  " outside "${outside}")
    message(FATAL_ERROR "AVX instructions outside the avx2 kernels of ${object}:\n  ${outside}")
endif()
if(inside EQUAL 0)
    message(FATAL_ERROR "no AVX instruction in the avx2 kernels of ${object}")
endif()
message(STATUS "${inside} AVX instructions, all inside the avx2 kernels")
