# Script tests run by the command-line interpreter (label "script"):
#   conformance/*.lua  compared with lua5.1 (the language subset both understand), and
#                      each also dumped to a precompiled chunk, loaded back and rerun;
#   bitwise/*.lua      compared with lua5.2 after translating the bitwise operators to
#                      bit32 calls (translate_bit32.lua);
#   scripts/*.lua      (run against their .expected files elsewhere) each dumped,
#                      loaded back and rerun.
# The reference interpreters are test tools only (tools/install-deps installs them).

set(script_test_dir ${CMAKE_CURRENT_LIST_DIR})
set(script_interpreter_target luarun)

find_program(VELMORA_LUA51 lua5.1)
find_program(VELMORA_LUA52 lua5.2)

function(velmora_script_test name mode script reference)
    if(NOT TARGET ${script_interpreter_target})
        return()
    endif()
    if(NOT reference)
        add_test(NAME script.${name} COMMAND ${CMAKE_COMMAND} -E echo
                 "reference interpreter missing: run tools/install-deps")
        set_tests_properties(script.${name} PROPERTIES LABELS script WILL_FAIL TRUE)
        return()
    endif()
    add_test(NAME script.${name}
             COMMAND ${CMAKE_COMMAND}
                 -DMODE=${mode}
                 -DINTERPRETER=$<TARGET_FILE:${script_interpreter_target}>
                 -DREFERENCE=${reference}
                 -DTRANSLATOR=${script_test_dir}/translate_bit32.lua
                 -DSCRIPT=${script}
                 -DWORK_DIR=${CMAKE_BINARY_DIR}/script-tests/${name}
                 -P ${script_test_dir}/RunScriptTest.cmake)
    set_tests_properties(script.${name} PROPERTIES LABELS script)
endfunction()

file(GLOB conformance_scripts CONFIGURE_DEPENDS ${script_test_dir}/conformance/*.lua)
foreach(script IN LISTS conformance_scripts)
    get_filename_component(stem ${script} NAME_WE)
    velmora_script_test(conformance.${stem} reference ${script} "${VELMORA_LUA51}")
    velmora_script_test(roundtrip.${stem} roundtrip ${script} "${CMAKE_COMMAND}")
endforeach()

file(GLOB bitwise_scripts CONFIGURE_DEPENDS ${script_test_dir}/bitwise/*.lua)
foreach(script IN LISTS bitwise_scripts)
    get_filename_component(stem ${script} NAME_WE)
    velmora_script_test(bitwise.${stem} bit32 ${script} "${VELMORA_LUA52}")
    velmora_script_test(roundtrip.bitwise.${stem} roundtrip ${script} "${CMAKE_COMMAND}")
endforeach()

file(GLOB language_scripts CONFIGURE_DEPENDS ${script_test_dir}/scripts/*.lua)
foreach(script IN LISTS language_scripts)
    get_filename_component(stem ${script} NAME_WE)
    velmora_script_test(roundtrip.scripts.${stem} roundtrip ${script} "${CMAKE_COMMAND}")
endforeach()
