# Runs one language test script with the command-line interpreter and compares its
# standard output with the expected output beside it.
#   cmake -DRUNNER=luarun -DSCRIPT_DIR=dir -DNAME=name [-DOPTIONS=--gc-stress] -P RunScript.cmake
execute_process(
    COMMAND ${RUNNER} ${OPTIONS} ${NAME}.lua
    WORKING_DIRECTORY ${SCRIPT_DIR}
    OUTPUT_VARIABLE actual
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
file(READ ${SCRIPT_DIR}/${NAME}.expected expected)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NAME}.lua failed (${status}):\n${errors}")
endif()
if(NOT actual STREQUAL expected)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.actual "${actual}")
    message(FATAL_ERROR "${NAME}.lua: output differs from ${NAME}.expected; "
                        "see ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.actual\n${errors}")
endif()
