# cmake -DFOLDER=<folder with bmp<id>.bmp files> -DOUTPUT=<cpp> -P EmbedBitmaps.cmake
# Writes the C++ source of the embedded bitmap lookup: every bmp<id>.bmp of the folder as a byte
# array, found by its id. Needs nothing beyond CMake, so it also runs in cross builds.
# CMake's regular expressions have no counted repetition: spell out 16 bytes for one line.
string(REPEAT "0x..," 16 line_of_bytes)
file(GLOB files RELATIVE "${FOLDER}" "${FOLDER}/bmp*.bmp")
list(SORT files)
set(arrays "")
set(entries "")
foreach(name IN LISTS files)
    string(REGEX MATCH "^bmp([0-9]+)\\.bmp$" matched "${name}")
    if(NOT matched)
        continue()
    endif()
    set(id ${CMAKE_MATCH_1})
    file(READ "${FOLDER}/${name}" hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(${line_of_bytes})" "\\1\n" bytes "${bytes}")
    string(APPEND arrays "const unsigned char kBitmap${id}[] = {\n${bytes}\n};\n")
    string(APPEND entries "    {${id}, kBitmap${id}, sizeof kBitmap${id}},\n")
endforeach()
if(entries STREQUAL "")
    message(FATAL_ERROR "no bmp<id>.bmp files in ${FOLDER}")
endif()

file(WRITE "${OUTPUT}.tmp"
"// Generated from the skin bitmaps in resources/; do not edit.\n"
"#include \"gui/platform/ResourceLookup.h\"\n\n"
"namespace {\n\n${arrays}\n"
"struct Entry {\n    int id;\n    const unsigned char* bytes;\n    std::size_t size;\n};\n\n"
"const Entry kEntries[] = {\n${entries}};\n\n}  // namespace\n\n"
"namespace tanuvo::gui {\nnamespace platform {\n\n"
"const unsigned char* findEmbeddedBitmap(int id, std::size_t* size) {\n"
"    for (const Entry& entry : kEntries) {\n"
"        if (entry.id == id) {\n"
"            if (size) {\n                *size = entry.size;\n            }\n"
"            return entry.bytes;\n        }\n    }\n"
"    if (size) {\n        *size = 0;\n    }\n"
"    return nullptr;\n}\n\n"
"}  // namespace platform\n}  // namespace tanuvo::gui\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
