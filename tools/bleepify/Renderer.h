#pragma once

#include <string>
#include <vector>

#include "tools/bleepify/ParameterSettings.h"
#include "tools/bleepify/PluginHost.h"

namespace tanuvo::bleepify {

struct RenderSettings {
    int program = -1;
    int blockSize = 1024;
    std::vector<ResolvedParameter> parameters;
};

// Throws ToolError for an input whose sample rate the plug-in refuses (it would go on at its
// previous rate and render near silence).
void requireRateThePluginAccepts(const std::string& inputPath, int sampleRate);

// Runs the file at inputPath through a fresh instance of the plug-in into a stereo file at
// outputPath, block by block like a host. The last block is padded with silence so that every
// call has the announced block size; the padding's output is dropped.
void renderFile(const PluginLibrary& library, const RenderSettings& settings,
                const std::string& inputPath, const std::string& outputPath);

// The same for a mono signal held in memory; returns the two output channels.
std::vector<std::vector<float>> renderSignal(const PluginLibrary& library,
                                             const RenderSettings& settings,
                                             const std::vector<float>& input, int sampleRate);

}  // namespace tanuvo::bleepify
