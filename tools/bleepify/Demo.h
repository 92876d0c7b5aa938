#pragma once

#include <string>

#include "tools/bleepify/PluginHost.h"
#include "tools/bleepify/Renderer.h"

namespace tanuvo::bleepify {

// Renders the built-in phrase through every waveform into `directory` (created if needed):
// input.wav, per waveform N-name.wav and N-name.png, and editor.png (the plug-in's editor).
// `effectIndex` is the plug-in's waveform parameter; `settings` must not set it. Answers the
// number of files written.
int runDemo(const PluginLibrary& library, RenderSettings settings, int effectIndex,
            const std::string& directory);

}  // namespace tanuvo::bleepify
