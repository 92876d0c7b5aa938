#include "tools/bleepify/ParameterSettings.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "plugin/ParameterTable.h"
#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

using sound::vst::kParameters;
using sound::vst::kWaveformCount;
using sound::vst::kWaveforms;
using sound::vst::ParameterUnit;
using sound::vst::waveformValue;

namespace {

// Lower-case letters and digits only, so "Noise(L)", "noise-l" and "NoiseL" compare equal.
std::string slug(const std::string& text) {
    std::string result;
    for (unsigned char c : text) {
        if (std::isalnum(c)) {
            result.push_back(static_cast<char>(std::tolower(c)));
        }
    }
    return result;
}

bool parseUnit(const std::string& text, float& value) {
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(parsed)) {
        return false;
    }
    value = static_cast<float>(parsed);
    return true;
}

float checkedUnit(const ParameterSetting& setting) {
    float value = 0.0f;
    if (!parseUnit(setting.value, value)) {
        throw UsageError("--" + setting.option + " needs a number from 0 to 1, not '" +
                         setting.value + "'");
    }
    if (!(value >= 0.0f && value <= 1.0f)) {
        throw UsageError("--" + setting.option + " " + setting.value +
                         " is out of range: values run from 0 to 1");
    }
    return value;
}

float toggleValue(const ParameterSetting& setting) {
    const std::string word = slug(setting.value);
    if (word == "on" || word == "true" || word == "yes") {
        return 1.0f;
    }
    if (word == "off" || word == "false" || word == "no") {
        return 0.0f;
    }
    return checkedUnit(setting);
}

float choiceValue(PluginInstance& plugin, int index, const ParameterSetting& setting) {
    // Every form of the names a user meets ("noise-long", "Noise(Long)", "Noise(L)"), compared
    // as slugs.
    const std::string wanted = slug(setting.value);
    for (int i = 0; i < kWaveformCount; ++i) {
        for (const char* name : {kWaveforms[i].word, kWaveforms[i].menu, kWaveforms[i].display}) {
            if (wanted == slug(name)) {
                return waveformValue(i);
            }
        }
    }
    float number = 0.0f;
    if (parseUnit(setting.value, number)) {
        return checkedUnit(setting);
    }
    // The plug-in's own display names, asked for with the parameter restored afterwards.
    const float previous = plugin.parameter(index);
    float found = -1.0f;
    for (int i = 0; i < kWaveformCount && found < 0.0f; ++i) {
        plugin.setParameter(index, waveformValue(i));
        if (slug(plugin.parameterDisplay(index)) == wanted) {
            found = waveformValue(i);
        }
    }
    plugin.setParameter(index, previous);
    if (found < 0.0f) {
        std::string words;
        for (int i = 0; i < kWaveformCount; ++i) {
            words += (i == 0 ? "" : i + 1 < kWaveformCount ? ", " : " or ");
            words += kWaveforms[i].word;
        }
        throw UsageError("--" + setting.option + " '" + setting.value +
                         "' is not a waveform: use " + words);
    }
    return found;
}

int findParameter(PluginInstance& plugin, const std::string& option) {
    const std::string wanted = slug(option);
    std::vector<int> prefixMatches;
    std::string candidates;
    for (int i = 0; i < plugin.numParams(); ++i) {
        const std::string name = slug(plugin.parameterName(i));
        if (name.empty()) {
            continue;
        }
        if (name == wanted) {
            return i;
        }
        if (!wanted.empty() && name.compare(0, wanted.size(), wanted) == 0) {
            prefixMatches.push_back(i);
            candidates += (candidates.empty() ? "--" : ", --") + name;
        }
    }
    if (prefixMatches.size() == 1) {
        return prefixMatches[0];
    }
    if (prefixMatches.empty()) {
        throw UsageError("unknown option --" + option);
    }
    throw UsageError("option --" + option + " is ambiguous: " + candidates);
}

}  // namespace

std::vector<ResolvedParameter> resolveParameters(PluginInstance& plugin,
                                                 const std::vector<ParameterSetting>& settings) {
    std::vector<ResolvedParameter> resolved;
    for (const ParameterSetting& setting : settings) {
        const int index = findParameter(plugin, setting.option);
        const ParameterUnit unit =
            index < sound::vst::kNumParams ? kParameters[index].unit : ParameterUnit::Fraction;
        float value = 0.0f;
        if (unit == ParameterUnit::Toggle) {
            value = toggleValue(setting);
        } else if (unit == ParameterUnit::Choice) {
            value = choiceValue(plugin, index, setting);
        } else {
            value = checkedUnit(setting);
        }
        resolved.push_back({index, value});
    }
    return resolved;
}

void applySettings(PluginInstance& plugin, int program,
                   const std::vector<ResolvedParameter>& parameters) {
    if (program >= 0) {
        if (program >= plugin.numPrograms()) {
            throw UsageError("--program " + std::to_string(program) +
                             " is out of range: the plug-in has " +
                             std::to_string(plugin.numPrograms()) + " programs");
        }
        plugin.setProgram(program);
    }
    for (const ResolvedParameter& parameter : parameters) {
        plugin.setParameter(parameter.index, parameter.value);
    }
}

}  // namespace tanuvo::bleepify
