// Paints the editor's fourteen skin bitmaps. The pictures of the controls are cut from the
// background at the places where the editor puts them, so their corners blend in seamlessly.
#pragma once

#include <vector>

#include "tools/skingen/Canvas.h"

namespace skingen {

struct SkinBitmap {
    int id;
    Canvas image;
};

// Every bitmap in id order; the same bytes on every run.
std::vector<SkinBitmap> paintSkin();

}  // namespace skingen
