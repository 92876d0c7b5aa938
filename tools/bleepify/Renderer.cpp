#include "tools/bleepify/Renderer.h"

#include <algorithm>

#include "plugin/ParameterTable.h"
#include "tools/bleepify/AudioFile.h"
#include "tools/bleepify/ProgressBar.h"
#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

namespace {

// The usual host order: rate and block size while suspended, resume, then the settings.
void prepareInstance(PluginInstance& plugin, const RenderSettings& settings, int sampleRate) {
    plugin.prepare(sampleRate, settings.blockSize);
    plugin.resume();
    applySettings(plugin, settings.program, settings.parameters);
}

// Processes one block of `frames` (at most the block size) valid samples held in a buffer of
// the full block size, zero beyond `frames`.
void processBlock(PluginInstance& plugin, std::vector<float>& block, int frames) {
    std::fill(block.begin() + frames, block.end(), 0.0f);
    plugin.process(block.data(), static_cast<int>(block.size()));
}

constexpr int kLowestPluginRate = static_cast<int>(sound::vst::kMinSampleRate);
constexpr int kHighestPluginRate = static_cast<int>(sound::vst::kMaxSampleRate);

}  // namespace

void requireRateThePluginAccepts(const std::string& inputPath, int sampleRate) {
    if (!sound::vst::isSupportedSampleRate(sampleRate)) {
        throw ToolError(inputPath + " has a sample rate of " + std::to_string(sampleRate) +
                        " Hz; the plug-in works from " + std::to_string(kLowestPluginRate) +
                        " to " + std::to_string(kHighestPluginRate) + " Hz");
    }
}

void renderFile(const PluginLibrary& library, const RenderSettings& settings,
                const std::string& inputPath, const std::string& outputPath) {
    AudioReader reader(inputPath);
    requireRateThePluginAccepts(inputPath, reader.sampleRate());
    PluginInstance plugin(library);
    prepareInstance(plugin, settings, reader.sampleRate());
    AudioWriter writer(outputPath, reader.sampleRate(), 2);
    ProgressBar progress("rendering", reader.frames());

    std::vector<float> block(static_cast<size_t>(settings.blockSize));
    int64_t done = 0;
    for (;;) {
        const int frames = reader.readMono(block.data(), settings.blockSize);
        if (frames <= 0) {
            break;
        }
        processBlock(plugin, block, frames);
        const float* outputs[2] = {plugin.output(0), plugin.output(1)};
        writer.write(outputs, frames);
        done += frames;
        progress.update(done);
    }
    writer.commit();
}

std::vector<std::vector<float>> renderSignal(const PluginLibrary& library,
                                             const RenderSettings& settings,
                                             const std::vector<float>& input, int sampleRate) {
    PluginInstance plugin(library);
    prepareInstance(plugin, settings, sampleRate);
    std::vector<std::vector<float>> outputs(2, std::vector<float>(input.size()));
    std::vector<float> block(static_cast<size_t>(settings.blockSize));
    for (size_t start = 0; start < input.size(); start += block.size()) {
        const int frames = static_cast<int>(std::min(block.size(), input.size() - start));
        std::copy(input.begin() + start, input.begin() + start + frames, block.begin());
        processBlock(plugin, block, frames);
        for (int c = 0; c < 2; ++c) {
            std::copy(plugin.output(c), plugin.output(c) + frames, outputs[c].begin() + start);
        }
    }
    return outputs;
}

}  // namespace tanuvo::bleepify
