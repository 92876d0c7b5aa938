// Draws the comparison scene with GDI, writes it, and compares it with the software canvas's
// rendering: exact outside the alpha and text regions, within 1 per channel in the alpha
// region, and the text's ink boxes within 2 pixels (Wine draws its bold face a little wider).

#include "GuiScene.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <gdi-output.ppm> [soft-reference.ppm]\n", argv[0]);
        return 2;
    }
    tanuvo::gui::COffscreenContext context(nullptr, scene::kWidth, scene::kHeight,
                                           scene::kBackground);
    scene::draw(&context);
    const scene::Image gdi = scene::capture(context);
    if (!scene::writePpm(argv[1], gdi)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc < 3)
        return 0;
    scene::Image soft;
    if (!scene::readPpm(argv[2], &soft) || soft.width != scene::kWidth ||
        soft.height != scene::kHeight) {
        std::fprintf(stderr, "cannot read the software rendering %s\n", argv[2]);
        return 1;
    }
    const scene::Comparison c = scene::compare(gdi, soft);
    std::printf("%s\n", c.report().c_str());
    const bool ok = c.exactDifferences == 0 && c.alphaOverTolerance == 0 && c.textBoxMaxShift <= 2;
    std::printf(ok ? "GDI and the software canvas agree\n"
                   : "GDI and the software canvas DIFFER\n");
    return ok ? 0 : 1;
}
