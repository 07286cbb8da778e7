# cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=name -P EmbedText.cmake
# Writes a C++ source defining `std::string_view FUNCTION()` that returns the bytes of INPUT.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Line breaks every 16 bytes keep the generated file readable in an editor.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${name}; edit that file instead.
#include <string_view>

namespace {
const unsigned char kBytes[] = {
    ${bytes}0x00};
}  // namespace

std::string_view ${FUNCTION}() { return {reinterpret_cast<const char*>(kBytes), ${size}}; }
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
