#pragma once

#include <string>
#include <vector>

#include "tools/bleepify/CommandLine.h"
#include "tools/bleepify/PluginHost.h"

namespace tanuvo::bleepify {

// A parameter option checked against the plug-in: its index and normalised value.
struct ResolvedParameter {
    int index;
    float value;
};

// Matches every option to a parameter by the plug-in's own name (case and punctuation ignored,
// a unique prefix is enough) and turns the text into a value in 0..1. "Power" also takes
// on/off, "Effect" the waveform names. Throws UsageError naming the option that is wrong.
std::vector<ResolvedParameter> resolveParameters(PluginInstance& plugin,
                                                 const std::vector<ParameterSetting>& settings);

// Applies the program (when >= 0), then the parameters in command-line order.
void applySettings(PluginInstance& plugin, int program,
                   const std::vector<ResolvedParameter>& parameters);

}  // namespace tanuvo::bleepify
