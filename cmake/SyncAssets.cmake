# Brings the build's copy of the content up to date with the source folder:
#   cmake -DSOURCE=<folder> -DDEST=<folder> -DMANIFEST=<file> -P SyncAssets.cmake
# Copies every file of SOURCE to the same place below DEST (only when it differs) and
# removes from DEST each file an earlier run copied that SOURCE no longer has, so a file
# deleted from the content never lingers in the build to be read instead of nothing.
# Files below DEST that this script never copied (generated content) are left alone.
# MANIFEST lists the files copied, one relative path a line.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SOURCE} ${SOURCE}/*)
list(SORT files)

if(EXISTS ${MANIFEST})
    file(STRINGS ${MANIFEST} previous)
    foreach(file IN LISTS previous)
        if(NOT file IN_LIST files)
            file(REMOVE ${DEST}/${file})
        endif()
    endforeach()
endif()

foreach(file IN LISTS files)
    get_filename_component(folder ${DEST}/${file} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${SOURCE}/${file} ${DEST}/${file} ONLY_IF_DIFFERENT)
endforeach()

list(JOIN files "\n" lines)
file(WRITE ${MANIFEST} "${lines}\n")
