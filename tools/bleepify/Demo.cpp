#include "tools/bleepify/Demo.h"

#include <filesystem>
#include <system_error>

#include "plugin/ParameterTable.h"
#include "tools/bleepify/AudioFile.h"
#include "tools/bleepify/DemoPhrase.h"
#include "tools/bleepify/DemoPicture.h"
#include "tools/bleepify/ParameterSettings.h"
#include "tools/bleepify/ProgressBar.h"
#include "tools/bleepify/ToolError.h"
#include "tools/editorshot/EditorPicture.h"

namespace tanuvo::bleepify {

namespace {
constexpr int kDemoSampleRate = 44100;
}

int runDemo(const PluginLibrary& library, RenderSettings settings, int effectIndex,
            const std::string& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
        throw ToolError("cannot create directory " + directory + ": " +
                        (error ? error.message() : std::string("a file is in the way")));
    }
    const std::string prefix = directory + (directory.back() == '/' ? "" : "/");

    const std::vector<float> phrase = makeDemoPhrase(kDemoSampleRate);
    writeMonoFile(prefix + "input.wav", phrase, kDemoSampleRate);
    int written = 1;

    const int count = sound::vst::kWaveformCount;
    ProgressBar progress("rendering the demo", count);
    settings.parameters.push_back({effectIndex, 0.0f});
    for (int i = 0; i < count; ++i) {
        settings.parameters.back().value = sound::vst::waveformValue(i);
        const std::vector<std::vector<float>> output =
            renderSignal(library, settings, phrase, kDemoSampleRate);
        const std::string name =
            prefix + std::to_string(i + 1) + "-" + sound::vst::kWaveforms[i].word;

        AudioWriter writer(name + ".wav", kDemoSampleRate, 2);
        const float* channels[2] = {output[0].data(), output[1].data()};
        writer.write(channels, static_cast<int>(phrase.size()));
        writer.commit();

        drawComparison(phrase, output[0], kDemoSampleRate, sound::vst::kWaveforms[i].word)
            .writePng(name + ".png");
        written += 2;
        progress.update(i + 1);
    }

    // The editor with the square wave chosen, which shows every kind of control.
    const std::string editorPicture = prefix + "editor.png";
    if (!editorshot::writePng(editorPicture, editorshot::renderEditor(1))) {
        throw ToolError("cannot write " + editorPicture);
    }
    return written + 1;
}

}  // namespace tanuvo::bleepify
