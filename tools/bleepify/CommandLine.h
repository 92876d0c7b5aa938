#pragma once

#include <string>
#include <vector>

namespace tanuvo::bleepify {

// A --name value pair naming a plug-in parameter; resolved once the plug-in is loaded.
struct ParameterSetting {
    std::string option;  // as typed, without the leading dashes
    std::string value;
};

struct CommandLine {
    enum class Command { Render, Pitch, Demo, Params, Help };

    Command command = Command::Help;
    std::vector<std::string> files;  // IN OUT for Render, IN for Pitch
    std::string demoDirectory;
    std::string pluginPath;  // empty: the default plug-in
    int program = -1;        // -1: leave the plug-in's current program
    int blockSize = 1024;
    std::vector<ParameterSetting> parameters;
};

// Throws UsageError for unknown commands, missing files and malformed built-in options.
// Parameter options are only collected here; their names and values are checked against the
// plug-in later.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Parses a whole decimal integer or throws UsageError naming the option.
int parseInteger(const std::string& option, const std::string& text, int low, int high);

// The help text.
std::string usage();

}  // namespace tanuvo::bleepify
