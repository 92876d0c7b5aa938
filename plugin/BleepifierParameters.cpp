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

void Bleepifier::setParameter(int32_t index, float value) {
    if (index < 0 || index >= kNumParams || std::isnan(value)) {
        return;
    }
    // Hosts and LV2 port values are not bound to the range; out of it, gains would reach the
    // speakers unbounded.
    value = withinRange(kParameters[index], value);
    parameterCallsInFlight.fetch_add(1);
    store(index, heldValue(kParameters[index], value));
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

void Bleepifier::store(int32_t index, float held) {
    live[index].store(held, std::memory_order_relaxed);
    programs[curProgram].values[index] = held;
    if (index == kDepth) {
        depthGain.store(static_cast<float>(evaluateCurve(kDepthToWetGain, held)),
                        std::memory_order_relaxed);
    }
}

void Bleepifier::push(SignalChain& target, int32_t index) {
    const float value = live[index].load(std::memory_order_relaxed);
    switch (index) {
        case kDepth: {
            const double width = evaluateCurve(kDepthToBandWidth, value);
            target.setSineWidthRatio(width);
            target.setSineEnabled(width != kFilterOffWidth);
            break;
        }
        case kDutyRatio:
            target.setSquareDutyRatio(value);
            break;
        case kTone: {
            const float gain = static_cast<float>(evaluateCurve(kToneToClipGain, value));
            target.setSquareTone(value == 1.0f ? 0.0 : gain);
            break;
        }
        case kSteps: {
            const double n = evaluateCurve(kStepsToTriangleSteps, value);
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
    if (index < 0 || index >= kNumParams) {
        return 0.0f;
    }
    return live[index].load(std::memory_order_relaxed);
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
    if (index < 0 || index >= kNumParams) {
        return;
    }
    const float value = live[index].load(std::memory_order_relaxed);
    // Fractions as numbers with two decimals, as LV2 hosts show the same ports. Hosts may store
    // any value; keep the text within eight characters whatever it is.
    auto showFraction = [text](float v) {
        float shown = std::isnan(v) ? 0.0f : std::clamp(v, -99.0f, 999.0f);
        std::snprintf(text, kShortTextSize, "%.2f", shown);
    };
    switch (kParameters[index].unit) {
        case ParameterUnit::Toggle:
            copyText(text, value != 0.0f ? "On" : "Off", kShortTextSize);
            break;
        case ParameterUnit::Choice:
            copyText(text, kWaveforms[waveformIndex(value)].display, kShortTextSize);
            break;
        case ParameterUnit::Percent:
            std::snprintf(text, kShortTextSize, "%4.1f%%", double(value) * 100.0);
            break;
        case ParameterUnit::Fraction:
            showFraction(value);
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
    for (int32_t index = 0; index < kNumParams; ++index) {
        setParameter(index, record.values[index]);
    }
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
