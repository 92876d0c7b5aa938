#pragma once
// A plug-in set up as hosts do: rate and block size change only while it is suspended.

#include "plugin/VstAbi.h"

namespace tanuvo::sound::vst::testing {

inline void setUpAsHost(AEffect* effect, float rate, int blockSize) {
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate);
    effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

}  // namespace tanuvo::sound::vst::testing
