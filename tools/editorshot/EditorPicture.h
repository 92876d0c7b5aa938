#pragma once
// Pictures of the plug-in's open editor, drawn headlessly on the software platform.

#include <cstdint>
#include <string>
#include <vector>

namespace tanuvo::editorshot {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top first
};

// The editor as it shows with waveform `wave` (an index into the parameter table's kWaveforms)
// chosen and every other parameter at its start value.
Image renderEditor(int wave);

// Both answer false on any failure; a failed write leaves no file behind.
bool writePng(const std::string& path, const Image& image);
bool readPng(const std::string& path, Image* image);

}  // namespace tanuvo::editorshot
