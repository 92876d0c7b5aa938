#include "tools/bleepify/CommandLine.h"

#include <cerrno>
#include <cstdlib>

#include "plugin/ParameterTable.h"
#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

namespace {

// The help text around the --effect option's words, which come from the parameter table.
const char* const kUsageHead =
    "usage:\n"
    "  bleepify [options] IN OUT   render IN through the plug-in into OUT (.wav .aiff .flac .ogg)\n"
    "  bleepify pitch [--block N] IN\n"
    "                              print the detected pitch per block as CSV time_s,hz\n"
    "  bleepify --demo DIR [options]\n"
    "                              render a built-in sung phrase through all six waveforms\n"
    "  bleepify params [options]   print the parameters as the plug-in reports them\n"
    "\n"
    "options:\n"
    "  --volume V  --power on|off  --effect ";
const char* const kUsageTail =
    "\n"
    "  --mix V  --depth V  --duty V  --tone V  --steps V\n"
    "              any parameter by its name (case-insensitive, unique prefixes accepted);\n"
    "              values are the plug-in's normalised 0..1 range\n"
    "  --program N the plug-in program 0-15, applied before the parameters\n"
    "  --block N   the host block size (default 1024)\n"
    "  --plugin P  the plug-in to load (default: the Bleepifier.so built or installed with\n"
    "              this tool, or $BLEEPIFY_PLUGIN)\n"
    "  --help      this text\n";

}  // namespace

std::string usage() {
    std::string text = kUsageHead;
    for (const sound::vst::WaveformNames& names : sound::vst::kWaveforms) {
        text += std::string(&names == sound::vst::kWaveforms ? "" : "|") + names.word;
    }
    return text + kUsageTail;
}

int parseInteger(const std::string& option, const std::string& text, int low, int high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0) {
        throw UsageError("--" + option + " needs a whole number, not '" + text + "'");
    }
    if (value < low || value > high) {
        throw UsageError("--" + option + " " + text + " is out of range: use " +
                         std::to_string(low) + " to " + std::to_string(high));
    }
    return static_cast<int>(value);
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    line.command = CommandLine::Command::Render;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    size_t next = 0;
    if (!arguments.empty() && (arguments[0] == "pitch" || arguments[0] == "params")) {
        line.command =
            arguments[0] == "pitch" ? CommandLine::Command::Pitch : CommandLine::Command::Params;
        next = 1;
    }
    bool optionsEnded = false;
    while (next < arguments.size()) {
        const std::string argument = arguments[next++];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            line.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument.substr(2);
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        if (name == "help") {
            line.command = CommandLine::Command::Help;
            return line;
        }
        if (!hasValue) {
            if (next >= arguments.size()) {
                throw UsageError("option --" + name + " needs a value");
            }
            value = arguments[next++];
        }
        if (name == "demo") {
            if (line.command != CommandLine::Command::Render) {
                throw UsageError("--demo cannot be combined with another command");
            }
            line.command = CommandLine::Command::Demo;
            line.demoDirectory = value;
        } else if (name == "plugin") {
            line.pluginPath = value;
        } else if (name == "program") {
            line.program = parseInteger(name, value, 0, 15);
        } else if (name == "block") {
            line.blockSize = parseInteger(name, value, 1, 65536);
        } else {
            line.parameters.push_back({name, value});
        }
    }

    switch (line.command) {
        case CommandLine::Command::Render:
            if (line.files.size() != 2) {
                throw UsageError(
                    line.files.empty()
                        ? "missing input and output files (bleepify --help shows usage)"
                    : line.files.size() == 1 ? "missing output file after " + line.files[0]
                                             : "too many files: " + line.files[2]);
            }
            break;
        case CommandLine::Command::Pitch:
            if (line.files.size() != 1) {
                throw UsageError(line.files.empty() ? "pitch needs an input file"
                                                    : "too many files: " + line.files[1]);
            }
            if (!line.parameters.empty()) {
                throw UsageError("unknown option --" + line.parameters[0].option + " for pitch");
            }
            if (!line.pluginPath.empty() || line.program >= 0) {
                throw UsageError("pitch reads the file directly and loads no plug-in");
            }
            break;
        case CommandLine::Command::Demo:
        case CommandLine::Command::Params:
            if (!line.files.empty()) {
                throw UsageError("unexpected argument " + line.files[0]);
            }
            if (line.command == CommandLine::Command::Demo && line.demoDirectory.empty()) {
                throw UsageError("--demo needs a directory");
            }
            break;
        case CommandLine::Command::Help:
            break;
    }
    return line;
}

}  // namespace tanuvo::bleepify
