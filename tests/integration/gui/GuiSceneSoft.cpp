// Draws the comparison scene on the software canvas and writes it as a PPM file.

#include "GuiScene.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.ppm>\n", argv[0]);
        return 2;
    }
    tanuvo::gui::COffscreenContext context(nullptr, scene::kWidth, scene::kHeight,
                                           scene::kBackground);
    scene::draw(&context);
    if (!scene::writePpm(argv[1], scene::capture(context))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
