# cmake -DINPUT=<file> -DOUTPUT=<cpp> -DFUNCTION=<name> -P EmbedFile.cmake
# Writes a C++ source whose function returns the file's bytes; no tool beyond CMake needed.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n"
"#include \"gui/platform/soft/EmbeddedFonts.h\"\n"
"namespace tanuvo::gui {\nnamespace platform {\nnamespace {\n"
"const unsigned char kData[${size}] = {\n${bytes}\n};\n}  // namespace\n"
"EmbeddedFont ${FUNCTION}() { return {kData, sizeof kData}; }\n"
"}  // namespace platform\n}  // namespace tanuvo::gui\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
