// Bleepifier's parameters and programs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plugin/AEffEditor.h"
#include "plugin/Bleepifier.h"
#include "plugin/SignalChain.h"
#include "plugin/TextCopy.h"

namespace tanuvo::sound::vst {

namespace {

// Names keep their texts ("DutyRatio" has nine letters; hosts pass name buffers larger than the
// nominal eight). Labels and displays stay within eight characters plus the terminator.
constexpr int kNameTextSize = 10;
constexpr int kShortTextSize = kVstMaxParamStrLen + 1;

}  // namespace

double Bleepifier::evaluate(const PointTable& table, float x) {
    // A lookup of its own per call: hosts may set parameters from two threads at once (automation
    // on the audio thread, the editor on the UI thread), and a shared one could pair one table's
    // points with another's.
    LinearInterpolator lookup;
    lookup.restartSearch = true;
    return evaluateMap(lookup, table, x);
}

void Bleepifier::setParameter(int32_t index, float value) {
    if (index < 0 || index >= kNumParams || std::isnan(value)) {
        return;
    }
    // Hosts and LV2 port values are not bound to the range; out of it, gains would reach the
    // speakers unbounded.
    value = std::clamp(value, 0.0f, 1.0f);
    if (index == kDutyRatio) {
        value = std::clamp(value, 0.01f, 0.99f);
    }
    parameterCallsInFlight.fetch_add(1);
    store(index, value);
    storedValueChanges.fetch_add(1);
    if (SignalChain* chain = getSignalChain()) {
        push(*chain, index);
    }
    parameterCallsInFlight.fetch_sub(1);
    notifyEditor(index, value);
}

void Bleepifier::notifyEditor(int32_t index, float value) {
    if (AEffEditor* editor = getEditor()) {
        editor->setParameter(index, value);
    }
}

void Bleepifier::store(int32_t index, float value) {
    ProgramRecord& program = programs[curProgram];
    switch (index) {
        case kVolume:
            volume.store(value, std::memory_order_relaxed);
            program.volume = value;
            break;
        case kPower:
            powerOn.store(value != 0.0f, std::memory_order_relaxed);
            program.powerOn = value != 0.0f;
            break;
        case kEffect: {
            const int32_t wave = waveformIndex(value);
            waveIndex.store(wave, std::memory_order_relaxed);
            program.waveIndex = static_cast<float>(wave);
            break;
        }
        case kMix:
            mix.store(value, std::memory_order_relaxed);
            program.mix = value;
            break;
        case kDepth:
            depth.store(value, std::memory_order_relaxed);
            program.depth = value;
            depthGain.store(static_cast<float>(evaluate(maps.depthToGain, value)),
                            std::memory_order_relaxed);
            break;
        case kDutyRatio:
            dutyRatio.store(value, std::memory_order_relaxed);
            program.dutyRatio = value;
            break;
        case kTone:
            tone.store(value, std::memory_order_relaxed);
            program.tone = value;
            break;
        case kSteps:
            steps.store(value, std::memory_order_relaxed);
            program.steps = value;
            break;
        default:
            break;
    }
}

void Bleepifier::push(SignalChain& target, int32_t index) {
    switch (index) {
        case kDepth: {
            const double width = evaluate(maps.depthToSine, depth.load(std::memory_order_relaxed));
            target.setSineWidthRatio(width);
            target.setSineEnabled(width != 10.0);
            break;
        }
        case kDutyRatio:
            target.setSquareDutyRatio(dutyRatio.load(std::memory_order_relaxed));
            break;
        case kTone: {
            const float value = tone.load(std::memory_order_relaxed);
            const float t = static_cast<float>(evaluate(maps.tone, value));
            target.setSquareTone(value == 1.0f ? 0.0 : t);
            break;
        }
        case kSteps: {
            const float value = steps.load(std::memory_order_relaxed);
            const double n = evaluate(maps.steps, value);
            target.setTriangleStepCount(value == 1.0f ? 0 : static_cast<int>(std::trunc(n)));
            break;
        }
        default:
            break;  // the others are read by each block
    }
}

void Bleepifier::pushGeneratorSettings(SignalChain& target) {
    for (int32_t index : {kDepth, kDutyRatio, kTone, kSteps}) {
        push(target, index);
    }
}

float Bleepifier::getParameter(int32_t index) {
    switch (index) {
        case kVolume:
            return volume.load(std::memory_order_relaxed);
        case kPower:
            return powerOn.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
        case kEffect:
            return waveformValue(waveIndex.load(std::memory_order_relaxed));
        case kMix:
            return mix.load(std::memory_order_relaxed);
        case kDepth:
            return depth.load(std::memory_order_relaxed);
        case kDutyRatio:
            return dutyRatio.load(std::memory_order_relaxed);
        case kTone:
            return tone.load(std::memory_order_relaxed);
        case kSteps:
            return steps.load(std::memory_order_relaxed);
        default:
            return 0.0f;
    }
}

void Bleepifier::getParameterName(int32_t index, char* text) {
    if (index >= 0 && index < kNumParams) {
        copyText(text, kParameters[index].name, kNameTextSize);
    }
}

void Bleepifier::getParameterLabel(int32_t /*index*/, char* label) {
    // No parameter has a unit; an empty text rather than the host's buffer as it came, which
    // hosts that do not clear it would show as garbage.
    label[0] = 0;
}

void Bleepifier::getParameterDisplay(int32_t index, char* text) {
    text[0] = 0;  // indices without a parameter answer an empty text
    // Fractions as numbers with two decimals, as LV2 hosts show the same ports. Hosts may store
    // any value; keep the text within eight characters whatever it is.
    auto showFraction = [text](const std::atomic<float>& stored) {
        float v = stored.load(std::memory_order_relaxed);
        float shown = std::isnan(v) ? 0.0f : std::clamp(v, -99.0f, 999.0f);
        std::snprintf(text, kShortTextSize, "%.2f", shown);
    };
    switch (index) {
        case kVolume:
            showFraction(volume);
            break;
        case kPower:
            copyText(text, powerOn.load(std::memory_order_relaxed) ? "On" : "Off", kShortTextSize);
            break;
        case kEffect: {
            int32_t wave = waveIndex.load(std::memory_order_relaxed);
            const char* name =
                wave < static_cast<int32_t>(waveNames.size()) ? waveNames[wave].c_str() : "";
            copyText(text, name, kShortTextSize);
            break;
        }
        case kMix:
            showFraction(mix);
            break;
        case kDepth:
            showFraction(depth);
            break;
        case kDutyRatio: {
            double ratio = dutyRatio.load(std::memory_order_relaxed);
            std::snprintf(text, kShortTextSize, "%4.1f%%", ratio * 100.0);
            break;
        }
        case kTone:
            showFraction(tone);
            break;
        case kSteps:
            showFraction(steps);
            break;
        default:
            break;
    }
}

// ---- Programs --------------------------------------------------------------------------------

void Bleepifier::setProgram(int32_t program) {
    if (program < 0 || program >= kNumPrograms) {
        return;
    }
    curProgram = program;
    // Copy first: each setParameter writes the record it is reading from.
    const ProgramRecord record = programs[program];
    int32_t wave = static_cast<int32_t>(std::trunc(record.waveIndex));
    setParameter(kVolume, record.volume);
    setParameter(kPower, record.powerOn ? 1.0f : 0.0f);
    setParameter(kEffect, waveformValue(wave));
    setParameter(kMix, record.mix);
    setParameter(kDepth, record.depth);
    setParameter(kDutyRatio, record.dutyRatio);
    setParameter(kTone, record.tone);
    setParameter(kSteps, record.steps);
}

void Bleepifier::setProgramName(const char* name) {
    copyText(programs[curProgram].name, name, ProgramRecord::kNameSize);
}

void Bleepifier::getProgramName(char* name) {
    const ProgramRecord& program = programs[curProgram];
    if (std::strcmp(program.name, "Init") == 0) {
        std::snprintf(name, ProgramRecord::kNameSize, "%s %d", program.name,
                      static_cast<int>(curProgram) + 1);
    } else {
        copyText(name, program.name, ProgramRecord::kNameSize);
    }
}

bool Bleepifier::getProgramNameIndexed(int32_t /*category*/, int32_t index, char* text) {
    if (index < 0 || index >= kNumPrograms) {
        return false;
    }
    copyText(text, programs[index].name, ProgramRecord::kNameSize);
    return true;
}

}  // namespace tanuvo::sound::vst
