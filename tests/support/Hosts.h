#pragma once
// The host's side of a plug-in for tests and benchmarks: a host that answers only its version, one
// that records what the plug-in reports, and the set-up hosts do before playing.

#include "plugin/VstAbi.h"

#include <functional>
#include <mutex>
#include <vector>

namespace tanuvo::sound::vst::testing {

// A VST 2.4 host that offers nothing beyond its version.
inline intptr_t VST_CALL quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// An automation or gesture call the plug-in made; value is the automated value, else 0.
struct HostCall {
    int32_t opcode;
    int32_t index;
    float value;
    bool operator==(const HostCall& o) const {
        return opcode == o.opcode && index == o.index && value == o.value;
    }
};

// What the recording host heard. The plug-in may call from any thread, so it is kept locked.
struct HostCalls {
    std::mutex lock;
    std::vector<HostCall> calls;
    // Runs after each call is recorded: what a host does there (its message loop may run).
    std::function<void(AEffect*, int32_t opcode)> after;

    static HostCalls& heard() {
        static HostCalls calls;
        return calls;
    }
    std::vector<HostCall> copy() {
        std::lock_guard<std::mutex> hold(lock);
        return calls;
    }
    void clear() {
        std::lock_guard<std::mutex> hold(lock);
        calls.clear();
    }
    // The values the plug-in automated parameter index with, in order.
    std::vector<float> automated(int32_t index) {
        std::vector<float> out;
        for (const HostCall& call : copy())
            if (call.opcode == audioMasterAutomate && call.index == index)
                out.push_back(call.value);
        return out;
    }
};

// A host that records automation and gestures in HostCalls::heard().
inline intptr_t VST_CALL recordingHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t,
                                       void*, float opt) {
    if (opcode == audioMasterVersion)
        return 2400;
    HostCalls& heard = HostCalls::heard();
    if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit ||
        opcode == audioMasterEndEdit) {
        std::lock_guard<std::mutex> hold(heard.lock);
        heard.calls.push_back({opcode, index, opcode == audioMasterAutomate ? opt : 0.0f});
    }
    if (heard.after)
        heard.after(effect, opcode);
    return 0;
}

// A plug-in set up as hosts do: rate and block size change only while it is suspended.
inline void setUpAsHost(AEffect* effect, float rate, int blockSize) {
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate);
    effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

}  // namespace tanuvo::sound::vst::testing
