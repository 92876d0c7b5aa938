#pragma once

#include <memory>
#include <vector>

#include "plugin/ParameterTable.h"
#include "sound/FIRFilterExecutorOFFT.h"
#include "sound/NSDFCalculatorOFFT.h"
#include "sound/NoiseWavenizer.h"
#include "sound/PitchDetectorNSDF.h"
#include "sound/SawWavenizer.h"
#include "sound/SineWavenizer.h"
#include "sound/SquareWavenizer.h"
#include "sound/TriangleWavenizer.h"

namespace tanuvo::sound::vst {

// The detector and the six generators built for one sample rate and block size.
struct SignalChain {
    static constexpr int kGeneratorCount = kWaveformCount;

    SignalChain(double sampleRate, int windowLength, int blockSize);
    ~SignalChain();

    SignalChain(const SignalChain&) = delete;
    SignalChain& operator=(const SignalChain&) = delete;

    // Settings the parameters push into the generators; each is safe while audio runs.
    // A changed sine band width also drops the taps designed for the old one, on the audio thread.
    void setSineWidthRatio(double ratio);
    void setSineEnabled(bool enabled) { sine->enabled.store(enabled); }
    void setSquareDutyRatio(double ratio) { square->dutyRatio.store(ratio); }
    void setSquareTone(double tone) { square->tone.store(tone); }
    void setTriangleStepCount(int count) { triangle->stepCount.store(count); }

    // The generator at a selection index; null outside 0 .. kGeneratorCount - 1.
    IWavenizer* generator(int index) const {
        return index >= 0 && index < kGeneratorCount ? generators[index] : nullptr;
    }

    // In construction order; destroyed in the tear-down order below.
    std::unique_ptr<NSDFCalculatorOFFT> nsdfCalculator;
    std::unique_ptr<PitchDetectorNSDF> detector;
    std::unique_ptr<FIRFilterExecutorOFFT> firExecutor;
    std::unique_ptr<SineWavenizer> sine;
    std::unique_ptr<SquareWavenizer> square;
    std::unique_ptr<TriangleWavenizer> triangle;
    std::unique_ptr<SawWavenizer> saw;
    std::unique_ptr<NoiseSource> noiseSource;
    std::unique_ptr<NoiseWavenizer> longNoise;
    std::unique_ptr<NoiseWavenizer> shortNoise;
    // The generators in selection order.
    IWavenizer* generators[kGeneratorCount];
};

}  // namespace tanuvo::sound::vst
