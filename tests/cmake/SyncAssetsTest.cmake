# Runs cmake/SyncAssets.cmake twice over a scratch folder:
#   cmake -DSCRIPT=<SyncAssets.cmake> -DWORK=<scratch folder> -P SyncAssetsTest.cmake
# A file removed from the source between the runs must be gone from the copy, a changed
# one must be updated, and a file the script never copied (generated) must stay.
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/src/strings.xml "one")
file(WRITE ${WORK}/src/scripts/old.lua "old")
file(WRITE ${WORK}/dest/generated.png "made by the build")

function(sync)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${WORK}/src -DDEST=${WORK}/dest
                            -DMANIFEST=${WORK}/manifest.txt -P ${SCRIPT}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "SyncAssets.cmake failed: ${status}")
    endif()
endfunction()

sync()
if(NOT EXISTS ${WORK}/dest/scripts/old.lua)
    message(FATAL_ERROR "the first run did not copy scripts/old.lua")
endif()

file(REMOVE ${WORK}/src/scripts/old.lua)
file(WRITE ${WORK}/src/strings.xml "two")
sync()
if(EXISTS ${WORK}/dest/scripts/old.lua)
    message(FATAL_ERROR "scripts/old.lua was removed from the source but stays in the copy")
endif()
file(READ ${WORK}/dest/strings.xml text)
if(NOT text STREQUAL "two")
    message(FATAL_ERROR "strings.xml was not updated: ${text}")
endif()
if(NOT EXISTS ${WORK}/dest/generated.png)
    message(FATAL_ERROR "a file the script never copied was removed")
endif()
file(REMOVE_RECURSE ${WORK})
