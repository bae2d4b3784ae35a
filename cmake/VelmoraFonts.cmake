# Vector fonts converted from DejaVu (Debian's fonts-dejavu-core) by tools/mkmvec while
# the project builds; nothing of them is committed.

find_file(VELMORA_DEJAVU_DIR DejaVuSans.ttf PATHS /usr/share/fonts/truetype/dejavu
          NO_DEFAULT_PATH REQUIRED)
get_filename_component(VELMORA_DEJAVU_DIR ${VELMORA_DEJAVU_DIR} DIRECTORY)

# The code points of the font built into the program.
set(VELMORA_BUILTIN_CODES
    "0x20-0x7e,0xa1-0xff,0x2c6,0x2dc,0x200e-0x2027,0x202a-0x206f,0x20a0-0x20cf,0x2100-0x2183")

# velmora_mvec(OUTPUT TTF [CODES list]): OUTPUT made from DejaVu's TTF by mkmvec.
function(velmora_mvec output ttf)
    cmake_parse_arguments(F "" "CODES" "" ${ARGN})
    set(codes)
    if(F_CODES)
        set(codes --codes ${F_CODES})
    endif()
    get_filename_component(dir ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND $<TARGET_FILE:mkmvec> ${codes} ${VELMORA_DEJAVU_DIR}/${ttf} ${output}
        DEPENDS mkmvec ${VELMORA_DEJAVU_DIR}/${ttf}
        COMMENT "Converting ${ttf} into ${output}"
        VERBATIM)
endfunction()

# The built-in font, as an array compiled into TARGET.
function(velmora_builtin_font target)
    set(mvec ${CMAKE_BINARY_DIR}/generated/fonts/builtin.mvec)
    set(source ${CMAKE_BINARY_DIR}/generated/fonts/BuiltInFont.cpp)
    velmora_mvec(${mvec} DejaVuSans.ttf CODES ${VELMORA_BUILTIN_CODES})
    add_custom_command(OUTPUT ${source}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${mvec} -DOUTPUT=${source} -DSYMBOL=kBuiltInFont
                -DHEADER=engine/graphics/text/BuiltInFont.h
                -P ${CMAKE_SOURCE_DIR}/cmake/EmbedBinary.cmake
        DEPENDS ${mvec} ${CMAKE_SOURCE_DIR}/cmake/EmbedBinary.cmake
        VERBATIM)
    target_sources(${target} PRIVATE ${source})
endfunction()

# The game's fonts under assets/fonts/ of the build tree: default.mvec is DejaVu Sans,
# arial.mvec DejaVu Sans Condensed, arial_rounded.mvec DejaVu Sans Bold.
function(velmora_game_fonts target)
    set(dir ${CMAKE_BINARY_DIR}/assets/fonts)
    set(outputs)
    foreach(pair default:DejaVuSans arial:DejaVuSansCondensed arial_rounded:DejaVuSans-Bold)
        string(REPLACE ":" ";" parts ${pair})
        list(GET parts 0 name)
        list(GET parts 1 ttf)
        velmora_mvec(${dir}/${name}.mvec ${ttf}.ttf)
        list(APPEND outputs ${dir}/${name}.mvec)
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
