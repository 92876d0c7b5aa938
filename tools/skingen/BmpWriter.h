// Encodes a canvas as an uncompressed 24-bit Windows bitmap file (bottom-up rows).
#pragma once

#include <string>
#include <vector>

#include "tools/skingen/Canvas.h"

namespace skingen {

std::vector<unsigned char> encodeBmp(const Canvas& canvas);
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace skingen
