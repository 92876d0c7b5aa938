// bleepify: runs audio files through the Bleepifier plug-in binary, the way a host does.

#include <cstdio>
#include <exception>
#include <new>

#include "tools/bleepify/AudioFile.h"
#include "tools/bleepify/CommandLine.h"
#include "tools/bleepify/Demo.h"
#include "tools/bleepify/ParameterSettings.h"
#include "tools/bleepify/PitchTrack.h"
#include "tools/bleepify/PluginHost.h"
#include "tools/bleepify/Renderer.h"
#include "tools/bleepify/ToolError.h"

using namespace tanuvo::bleepify;

namespace {

std::string choosePlugin(const CommandLine& line) {
    if (!line.pluginPath.empty()) {
        return line.pluginPath;
    }
    const std::string path = defaultPluginPath();
    if (path.empty()) {
        throw ToolError("no Bleepifier.so found next to bleepify; build it or give --plugin PATH");
    }
    return path;
}

int findEffectParameter(PluginInstance& plugin) {
    return resolveParameters(plugin, {{"effect", "0"}}).front().index;
}

void printParameters(PluginInstance& plugin) {
    std::printf("index,name,value,display\n");
    for (int i = 0; i < plugin.numParams(); ++i) {
        std::printf("%d,%s,%.8g,%s\n", i, plugin.parameterName(i).c_str(), plugin.parameter(i),
                    plugin.parameterDisplay(i).c_str());
    }
}

int run(int argc, const char* const* argv) {
    const CommandLine line = parseCommandLine(argc, argv);
    if (line.command == CommandLine::Command::Help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (line.command == CommandLine::Command::Pitch) {
        printPitchTrack(line.files[0], line.blockSize, stdout);
        return 0;
    }
    if (line.command == CommandLine::Command::Render) {
        // Report bad files before loading the plug-in.
        AudioWriter::formatFor(line.files[1]);
        AudioReader probe(line.files[0]);
        requireRateThePluginAccepts(line.files[0], probe.sampleRate());
    }

    PluginLibrary library(choosePlugin(line));
    RenderSettings settings;
    settings.program = line.program;
    settings.blockSize = line.blockSize;
    int effect = -1;
    {
        // Names and values are checked on an instance of their own, so that every render
        // starts from a fresh one.
        PluginInstance probe(library);
        settings.parameters = resolveParameters(probe, line.parameters);
        applySettings(probe, settings.program, settings.parameters);
        if (line.command == CommandLine::Command::Params) {
            printParameters(probe);
            return 0;
        }
        if (line.command == CommandLine::Command::Demo) {
            effect = findEffectParameter(probe);
        }
    }
    if (line.command == CommandLine::Command::Demo) {
        for (size_t i = 0; i < settings.parameters.size(); ++i) {
            if (settings.parameters[i].index == effect) {
                throw UsageError("--demo renders every waveform; leave out --" +
                                 line.parameters[i].option);
            }
        }
        const int files = runDemo(library, settings, effect, line.demoDirectory);
        std::printf("wrote %d files to %s\n", files, line.demoDirectory.c_str());
        return 0;
    }
    renderFile(library, settings, line.files[0], line.files[1]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "bleepify: %s\n", error.what());
        return 2;
    } catch (const ToolError& error) {
        std::fprintf(stderr, "bleepify: %s\n", error.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "bleepify: out of memory\n");
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bleepify: %s\n", error.what());
        return 1;
    }
}
