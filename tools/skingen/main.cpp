// Writes the editor's skin bitmaps as bmp<id>.bmp into the folder given as the only argument.
#include <cstdio>
#include <string>

#include "tools/skingen/BmpWriter.h"
#include "tools/skingen/SkinPainter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const skingen::SkinBitmap& bitmap : skingen::paintSkin()) {
        const std::string path = folder + "/bmp" + std::to_string(bitmap.id) + ".bmp";
        if (!skingen::writeFile(path, skingen::encodeBmp(bitmap.image))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
