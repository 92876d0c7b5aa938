// Real-time factor of the whole plug-in (seconds of audio per CPU second) at 44100 Hz, per
// waveform and host block size, on the renderer's demo phrase: a sung-like melody with
// harmonics, vibrato, a loudness envelope and pauses. Driven through the effect record as a
// host does, after one warm-up pass that fills the caches.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "plugin/Bleepifier.h"
#include "tools/bleepify/DemoPhrase.h"
#include "tests/support/Hosts.h"

namespace {

using tanuvo::sound::vst::Bleepifier;

constexpr int kRate = 44100;

using tanuvo::sound::vst::testing::quietHost;

const std::vector<float>& demoPhrase() {
    static const std::vector<float> phrase = tanuvo::bleepify::makeDemoPhrase(kRate);
    return phrase;
}

// Plays every whole block of the phrase once; answers the share of blocks that came out
// changed, that is with a synthesized wave.
double playPhrase(AEffect* effect, int blockSize, std::vector<float>& in, float** inputs,
                  float** outputs) {
    const std::vector<float>& phrase = demoPhrase();
    long blocks = 0;
    long changed = 0;
    for (size_t start = 0; start + blockSize <= phrase.size(); start += blockSize) {
        std::copy(phrase.begin() + start, phrase.begin() + start + blockSize, in.begin());
        effect->processReplacing(effect, inputs, outputs, blockSize);
        ++blocks;
        changed += std::equal(in.begin(), in.end(), outputs[0]) ? 0 : 1;
    }
    return blocks > 0 ? static_cast<double>(changed) / blocks : 0.0;
}

void BM_PluginRealTimeFactor(benchmark::State& state) {
    const int waveform = static_cast<int>(state.range(0));
    const int blockSize = static_cast<int>(state.range(1));
    auto plugin = std::make_unique<Bleepifier>(quietHost);
    AEffect* effect = plugin->getAeffect();
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, tanuvo::sound::vst::kEffect,
                         waveform == 5 ? 1.0f : static_cast<float>(waveform) / 6.0f);

    std::vector<float> in(blockSize), left(blockSize), right(blockSize);
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    const double wetShare = playPhrase(effect, blockSize, in, inputs, outputs);

    for (auto _ : state) {
        playPhrase(effect, blockSize, in, inputs, outputs);
        benchmark::DoNotOptimize(left.data());
        benchmark::ClobberMemory();
    }
    const double seconds = static_cast<double>(demoPhrase().size() / blockSize * blockSize) / kRate;
    state.counters["rtf"] =
        benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["wet"] = wetShare;
    state.SetLabel(tanuvo::sound::vst::kWaveforms[waveform].display);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
}

BENCHMARK(BM_PluginRealTimeFactor)
    ->ArgNames({"wave", "block"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {32, 64, 128, 256, 512, 1024, 2048}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
