#pragma once

namespace tanuvo::sound::vst {

// One program of the bank: the eight parameter values and the program's name.
struct ProgramRecord {
    static constexpr int kNameSize = 24;

    float volume = 1.0f;
    float waveIndex = 0.0f;  // the generator index, held as a float
    bool powerOn = true;
    float mix = 1.0f;
    float depth = 1.0f;
    float dutyRatio = 0.25f;  // the limited value
    float tone = 1.0f;
    float steps = 0.5f;
    char name[kNameSize] = "Init";
};

}  // namespace tanuvo::sound::vst
