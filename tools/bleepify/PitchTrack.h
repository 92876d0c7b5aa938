#pragma once

#include <cstdio>
#include <string>

namespace tanuvo::bleepify {

// Prints "time_s,hz" and one row per block of the file at inputPath: the block's start time and
// the pitch the plug-in's detector finds in the window that ends with that block (the last
// max(1024, blockSize) samples, silence before the start), or "none".
void printPitchTrack(const std::string& inputPath, int blockSize, std::FILE* out);

}  // namespace tanuvo::bleepify
