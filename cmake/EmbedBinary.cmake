# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -DHEADER=path -P EmbedBinary.cmake
# Writes a source file defining `const uint8_t SYMBOL[]` (the bytes of INPUT) and
# `const size_t SYMBOL##Size`, declared by HEADER.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
"// Generated from ${INPUT} by cmake/EmbedBinary.cmake; not to be edited.
#include \"${HEADER}\"

extern const uint8_t ${SYMBOL}[] = {
    ${bytes}
};
extern const size_t ${SYMBOL}Size = ${size};
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
