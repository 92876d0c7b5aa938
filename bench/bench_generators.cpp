// Each generator on a 1024-sample window of a 220 Hz voice-like tone at 44100 Hz, with the
// taps already cached as for a steady pitch.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "sound/NoiseWavenizer.h"
#include "sound/SawWavenizer.h"
#include "sound/SineWavenizer.h"
#include "sound/SquareWavenizer.h"
#include "sound/TriangleWavenizer.h"

namespace {

using namespace tanuvo::sound;

constexpr double kRate = 44100.0;
constexpr double kPitch = 220.0;
constexpr int kWindow = 1024;
constexpr double kPi = 3.14159265358979323846;

std::vector<float> voiceWindow() {
    std::vector<float> samples(kWindow);
    double phase = 0.0;
    for (int i = 0; i < kWindow; ++i) {
        const double t = i / kRate;
        phase += 2.0 * kPi * kPitch * (1.0 + 0.01 * std::sin(2.0 * kPi * 5.0 * t)) / kRate;
        double value = 0.0;
        for (int h = 1; h <= 6; ++h) {
            value += std::sin(h * phase + 0.3 * h) / (h * h);
        }
        samples[i] = static_cast<float>((0.3 + 0.2 * std::sin(2.0 * kPi * 1.5 * t)) * value);
    }
    return samples;
}

enum Generator {
    kSine,
    kSquareToned,
    kSquareIdeal,
    kTriangleStepped,
    kTriangleSmooth,
    kSaw,
    kNoise
};

void BM_Wavenize(benchmark::State& state, Generator generator, int blockSize) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, kWindow, &executor, blockSize);
    sine.widthRatio = 1.0;
    SquareWavenizer square(&sine);
    square.tone = generator == kSquareIdeal ? 0.0 : 5.0;
    TriangleWavenizer triangle(&sine, generator == kTriangleSmooth ? 0 : 15);
    SawWavenizer saw(&sine);
    NoiseSource source(0x8000, 0, 100.0 / kRate, 0.0);
    NoiseWavenizer noise(&sine, &source, false);
    IWavenizer* chosen = nullptr;
    switch (generator) {
        case kSine:
            chosen = &sine;
            break;
        case kSquareToned:
        case kSquareIdeal:
            chosen = &square;
            break;
        case kTriangleStepped:
        case kTriangleSmooth:
            chosen = &triangle;
            break;
        case kSaw:
            chosen = &saw;
            break;
        case kNoise:
            chosen = &noise;
            break;
    }
    const std::vector<float> input = voiceWindow();
    std::vector<float> buffer = input;
    chosen->wavenize(buffer.data(), kWindow, kPitch);
    for (auto _ : state) {
        buffer = input;
        chosen->wavenize(buffer.data(), kWindow, kPitch);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWindow);
}

BENCHMARK_CAPTURE(BM_Wavenize, sine, kSine, kWindow)->Unit(benchmark::kMicrosecond);
// The sine again with a ring of past windows, as for hosts with 256-sample blocks.
BENCHMARK_CAPTURE(BM_Wavenize, sine_ring256, kSine, 256)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Wavenize, square_tone5, kSquareToned, kWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Wavenize, square_ideal, kSquareIdeal, kWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Wavenize, triangle_steps15, kTriangleStepped, kWindow)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Wavenize, triangle_smooth, kTriangleSmooth, kWindow)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Wavenize, saw, kSaw, kWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Wavenize, noise_long, kNoise, kWindow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
