#include "plugin/SignalChain.h"

namespace tanuvo::sound::vst {

namespace {
constexpr int kNoiseRegisterSeed = 0x8000;
constexpr double kNoiseClockHz = 100.0;
}  // namespace

SignalChain::SignalChain(double sampleRate, int windowLength, int blockSize)
    : nsdfCalculator(std::make_unique<NSDFCalculatorOFFT>(sampleRate, windowLength)),
      detector(std::make_unique<PitchDetectorNSDF>(sampleRate, windowLength, nsdfCalculator.get())),
      // The longest filter call: a whole window preceded by a filter almost as long.
      firExecutor(std::make_unique<FIRFilterExecutorOFFT>(2 * windowLength)),
      sine(std::make_unique<SineWavenizer>(sampleRate, windowLength, firExecutor.get(), blockSize)),
      square(std::make_unique<SquareWavenizer>(sine.get())),
      // The settings the parameters control are pushed into the generators after every build.
      triangle(std::make_unique<TriangleWavenizer>(sine.get(), 0)),
      saw(std::make_unique<SawWavenizer>(sine.get())),
      noiseSource(
          std::make_unique<NoiseSource>(kNoiseRegisterSeed, 0, kNoiseClockHz / sampleRate, 0.0)),
      longNoise(std::make_unique<NoiseWavenizer>(sine.get(), noiseSource.get(), false)),
      shortNoise(std::make_unique<NoiseWavenizer>(sine.get(), noiseSource.get(), true)),
      generators{sine.get(), square.get(),    triangle.get(),
                 saw.get(),  longNoise.get(), shortNoise.get()} {}

SignalChain::~SignalChain() {
    // The analysis objects and the executor go first, then the noise source, then the
    // generators in selection order (the shaped ones before the sine they hold).
    detector.reset();
    nsdfCalculator.reset();
    firExecutor.reset();
    noiseSource.reset();
    square.reset();
    triangle.reset();
    saw.reset();
    longNoise.reset();
    shortNoise.reset();
    sine.reset();
}

void SignalChain::setSineWidthRatio(double ratio) {
    double previous = sine->widthRatio.exchange(ratio);
    if (ratio != previous) {
        sine->requestTapCacheClear();
    }
}

}  // namespace tanuvo::sound::vst
