// Drives the real plug-in object through its effect record as a careless host might: random
// dispatcher calls with real buffers (or none), parameters of any value, blocks of any length
// with any audio, sample-rate and block-size changes while suspended. The sanitizers catch
// memory and undefined-behaviour faults; the checks below catch wrong answers.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "editor/BleepifierEditor.h"
#include "plugin/Bleepifier.h"
#include "tests/support/Hosts.h"

using tanuvo::sound::vst::Bleepifier;
using tanuvo::sound::vst::BleepifierEditor;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kDenormal = std::numeric_limits<float>::denorm_min();
constexpr int kMaxOperations = 48;
constexpr long kMaxFramesPerInput = 60000;
// Each hop of a short host block analyses a whole window; bounding the windows keeps one input
// fast without bounding what a call may look like.
constexpr long kMaxWindowsPerInput = 400;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "plug-in fuzzer: %s\n", what);
    std::abort();
}

using tanuvo::sound::vst::testing::quietHost;

float oddFloat(FuzzedDataProvider& data) {
    static const float kOdd[] = {0.0f,     -0.0f,     1.0f, -1.0f, 0.5f,  1.0e30f,
                                 -1.0e30f, kDenormal, kNaN, kInf,  -kInf, 1.0f / 6.0f};
    switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return data.PickValueInArray(kOdd);
        case 1:
            return data.ConsumeFloatingPointInRange(-0.5f, 1.5f);
        default: {
            float value;
            uint32_t bits = data.ConsumeIntegral<uint32_t>();
            std::memcpy(&value, &bits, sizeof(value));
            return value;
        }
    }
}

float sampleRate(FuzzedDataProvider& data) {
    static const float kRates[] = {44100.0f,  48000.0f, 22050.0f,  96000.0f,  8000.0f, 192000.0f,
                                   1000.0f,   999.0f,   768000.0f, 768001.0f, 1.0f,    0.0f,
                                   -44100.0f, 1.0e9f,   kDenormal, kNaN,      kInf};
    return data.ConsumeBool() ? data.PickValueInArray(kRates) : oddFloat(data);
}

intptr_t blockSize(FuzzedDataProvider& data) {
    static const intptr_t kSizes[] = {512,
                                      1024,
                                      64,
                                      256,
                                      2048,
                                      1,
                                      2,
                                      3,
                                      100,
                                      1023,
                                      1025,
                                      4096,
                                      16384,
                                      16385,
                                      0,
                                      -1,
                                      1 << 20,
                                      INT32_MAX,
                                      static_cast<intptr_t>(INT32_MIN)};
    return data.ConsumeBool() ? data.PickValueInArray(kSizes) : data.ConsumeIntegral<int32_t>();
}

// A block of audio of one of several kinds; voiced kinds make the generators run.
void fillAudio(FuzzedDataProvider& data, std::vector<float>& block) {
    const int kind = data.ConsumeIntegralInRange(0, 5);
    const double rate = 44100.0;
    const double pitch = data.ConsumeFloatingPointInRange(40.0, 2500.0);
    const float amplitude = data.PickValueInArray({0.5f, 1.0f, 1.0e-3f, 1.0e30f, 1.0e-38f});
    const uint32_t phase = data.ConsumeIntegral<uint16_t>();
    for (size_t i = 0; i < block.size(); ++i) {
        double t = (phase + i) / rate;
        double voice = std::sin(6.283185307179586 * pitch * t) +
                       0.5 * std::sin(2 * 6.283185307179586 * pitch * t + 0.3) +
                       0.25 * std::sin(3 * 6.283185307179586 * pitch * t + 1.1);
        switch (kind) {
            case 0:
                block[i] = 0.0f;
                break;
            case 1:
                block[i] = kDenormal * static_cast<float>(i % 7);
                break;
            case 2: {
                uint32_t bits = data.ConsumeIntegral<uint32_t>();
                std::memcpy(&block[i], &bits, sizeof(float));
                break;
            }
            default:
                block[i] = amplitude * static_cast<float>(voice);
                break;
        }
    }
    // A few non-finite or extreme samples dropped into a voice.
    if (kind == 5 && !block.empty()) {
        const int count = data.ConsumeIntegralInRange(1, 4);
        for (int k = 0; k < count; ++k) {
            size_t at = data.ConsumeIntegralInRange<size_t>(0, block.size() - 1);
            block[at] = data.PickValueInArray({kNaN, kInf, -kInf, kDenormal, 3.0e38f});
        }
    }
}

bool allFinite(const float* samples, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(samples[i])) {
            return false;
        }
    }
    return true;
}

class FuzzHost {
  public:
    explicit FuzzHost(FuzzedDataProvider& data) : data(data) {
        // The usual start: open, settings while suspended, then resume.
        plugin = new Bleepifier(quietHost);
        new BleepifierEditor(plugin);  // owned by the plug-in, as in the VST entry
        effect = plugin->getAeffect();
        dispatch(effOpen, 0, 0, nullptr, 0.0f);
        dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate(data));
        dispatch(effSetBlockSize, 0, blockSize(data), nullptr, 0.0f);
        resume(true);
    }

    ~FuzzHost() {
        if (effect) {
            resume(false);
            dispatch(effClose, 0, 0, nullptr, 0.0f);  // deletes the plug-in
        }
    }

    void run() {
        for (int step = 0; step < kMaxOperations && effect && data.remaining_bytes() > 0; ++step) {
            switch (data.ConsumeIntegralInRange(0, 9)) {
                case 0:
                case 1:
                    randomDispatch();
                    break;
                case 2:
                    changeSettings();
                    break;
                case 3:
                    effect->setParameter(effect, parameterIndex(), oddFloat(data));
                    break;
                case 4:
                    (void)effect->getParameter(effect, parameterIndex());
                    break;
                default:
                    process();
                    break;
            }
        }
    }

  private:
    intptr_t dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    void resume(bool on) {
        dispatch(effMainsChanged, 0, on ? 1 : 0, nullptr, 0.0f);
        suspended = !on;
    }

    int32_t parameterIndex() {
        return data.ConsumeBool() ? data.ConsumeIntegralInRange(-1, 9)
                                  : data.ConsumeIntegral<int32_t>();
    }

    // Sample rate and block size change only while suspended, as hosts do.
    void changeSettings() {
        if (!suspended) {
            resume(false);
        }
        if (data.ConsumeBool()) {
            dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate(data));
        } else {
            dispatch(effSetBlockSize, 0, blockSize(data), nullptr, 0.0f);
        }
        if (data.ConsumeBool()) {
            resume(true);
        }
    }

    void randomDispatch() {
        static const int32_t kOpcodes[] = {effGetProgram,
                                           effSetProgram,
                                           effSetProgramName,
                                           effGetProgramName,
                                           effGetParamLabel,
                                           effGetParamDisplay,
                                           effGetParamName,
                                           effMainsChanged,
                                           effEditGetRect,
                                           effEditClose,
                                           effEditIdle,
                                           effIdentify,
                                           effGetChunk,
                                           effSetChunk,
                                           effProcessEvents,
                                           effCanBeAutomated,
                                           effString2Parameter,
                                           effGetProgramNameIndexed,
                                           effGetInputProperties,
                                           effGetOutputProperties,
                                           effGetPlugCategory,
                                           effSetSpeakerArrangement,
                                           effSetBypass,
                                           effGetEffectName,
                                           effGetVendorString,
                                           effGetProductString,
                                           effGetVendorVersion,
                                           effVendorSpecific,
                                           effCanDo,
                                           effGetTailSize,
                                           effGetParameterProperties,
                                           effGetVstVersion,
                                           effEditKeyDown,
                                           effEditKeyUp,
                                           effSetEditKnobMode,
                                           effGetCurrentMidiProgram,
                                           effGetSpeakerArrangement,
                                           effSetTotalSampleToProcess};
        int32_t opcode = data.ConsumeBool() ? data.PickValueInArray(kOpcodes)
                                            : data.ConsumeIntegralInRange(0, 80);
        // Closing, opening an editor window and the settings are driven elsewhere.
        if (opcode == effClose || opcode == effOpen || opcode == effEditOpen ||
            opcode == effSetSampleRate || opcode == effSetBlockSize) {
            return;
        }
        const int32_t index = data.ConsumeBool() ? data.ConsumeIntegralInRange(-2, 20)
                                                 : data.ConsumeIntegral<int32_t>();
        intptr_t value = data.ConsumeBool() ? data.ConsumeIntegralInRange(-2, 20)
                                            : data.ConsumeIntegral<intptr_t>();
        const float opt = oddFloat(data);

        // Host memory the call may use: text buffers of the sizes hosts give, records, or none.
        std::vector<char> buffer;
        void* ptr = nullptr;
        if (data.ConsumeIntegralInRange(0, 4) != 0) {
            buffer.resize(bufferSize(opcode));
            std::string text = data.ConsumeRandomLengthString(buffer.size() - 1);
            std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
            ptr = buffer.data();
        }
        // The speaker-arrangement calls take a second pointer in value.
        std::vector<char> second;
        if (opcode == effGetSpeakerArrangement || opcode == effSetSpeakerArrangement) {
            if (data.ConsumeBool()) {
                second.resize(256);
                value = reinterpret_cast<intptr_t>(second.data());
            } else {
                value = 0;
            }
        }
        dispatch(opcode, index, value, ptr, opt);
        if (opcode == effMainsChanged) {
            suspended = value == 0;
        }
    }

    // The smallest buffer a host gives for the call (terminator included).
    static size_t bufferSize(int32_t opcode) {
        switch (opcode) {
            case effGetParamLabel:
            case effGetParamDisplay:
                return kVstMaxParamStrLen + 1;
            case effGetParamName:
                return kVstMaxParamStrLen + 2;  // hosts give 9; the longest name needs 10
            case effSetProgramName:
            case effGetProgramName:
            case effGetProgramNameIndexed:
                return kVstMaxProgNameLen;
            case effGetEffectName:
                return 32;
            case effEditGetRect:
                return sizeof(ERect*);
            case effEditKeyDown:
            case effEditKeyUp:
                return sizeof(VstKeyCode);
            default:
                return 256;
        }
    }

    void process() {
        int32_t frames = data.ConsumeBool() ? data.ConsumeIntegralInRange(0, 1100)
                                            : data.ConsumeIntegralInRange(0, 20000);
        const long hop = std::clamp(plugin->getBlockSize(), 1, 1024);
        const long windows = (frames + hop - 1) / hop;
        if (framesUsed + frames > kMaxFramesPerInput ||
            windowsUsed + windows > kMaxWindowsPerInput) {
            frames = 0;
        }
        framesUsed += frames;
        windowsUsed += frames > 0 ? windows : 0;
        std::vector<float> in(frames), left(frames), right(frames);
        fillAudio(data, in);
        const bool finiteInput = allFinite(in.data(), in.size());
        const bool inPlace = data.ConsumeIntegralInRange(0, 3) == 0;
        float* inputs[] = {in.data()};
        float* outputs[] = {inPlace ? in.data() : left.data(), right.data()};
        if (data.ConsumeIntegralInRange(0, 7) == 0) {
            // Null channel arrays are answered with nothing written.
            effect->processReplacing(effect, nullptr, data.ConsumeBool() ? outputs : nullptr,
                                     frames);
            return;
        }
        effect->processReplacing(effect, inputs, outputs, frames);
        if (finiteInput && !(allFinite(outputs[0], frames) && allFinite(outputs[1], frames))) {
            fail("finite input gave a non-finite output");
        }
        if (frames > 0 && std::memcmp(outputs[0], outputs[1], sizeof(float) * frames) != 0) {
            fail("the two outputs differ");
        }
    }

    FuzzedDataProvider& data;
    Bleepifier* plugin = nullptr;
    AEffect* effect = nullptr;
    bool suspended = true;
    long framesUsed = 0;
    long windowsUsed = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    FuzzHost host(data);
    host.run();
    return 0;
}
