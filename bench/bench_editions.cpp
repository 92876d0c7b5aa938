// Real-time factor (seconds of audio per CPU second) of the two built editions side by side, on
// the renderer's demo phrase with the square at 44100 Hz: the VST shared object through its entry,
// and the LV2 DSP binary through its descriptor, with fixed blocks and one frame per run (blocks
// gathered behind the reported latency). Each after one warm-up pass.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "lv2/Lv2Ports.h"
#include "plugin/VstAbi.h"
#include "tools/bleepify/DemoPhrase.h"
#include "tests/support/Hosts.h"

namespace {

namespace lv2 = tanuvo::sound::lv2;
namespace vst = tanuvo::sound::vst;

constexpr int kRate = 44100;
constexpr float kSquare = 0.2f;  // the Effect value inside the square's band

const std::vector<float>& demoPhrase() {
    static const std::vector<float> phrase = tanuvo::bleepify::makeDemoPhrase(kRate);
    return phrase;
}

void* openLibrary(const char* path) {
    static std::vector<void*> kept;  // open for the whole run
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    kept.push_back(handle);
    return handle;
}

using tanuvo::sound::vst::testing::quietHost;

void setRate(benchmark::State& state, size_t played) {
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(played) / kRate,
                                               benchmark::Counter::kIsIterationInvariantRate);
}

void BM_VstEdition(benchmark::State& state) {
    const int block = static_cast<int>(state.range(0));
    auto entry =
        reinterpret_cast<VstPluginMainProc>(dlsym(openLibrary(BLEEP_VST_BINARY), "VSTPluginMain"));
    AEffect* effect = entry ? entry(quietHost) : nullptr;
    if (!effect) {
        state.SkipWithError("no VST plug-in");
        return;
    }
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, float(kRate));
    effect->dispatcher(effect, effSetBlockSize, 0, block, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, vst::kEffect, kSquare);
    std::vector<float> in = demoPhrase(), left(in.size()), right(in.size());
    const size_t played = in.size() / block * block;
    const auto play = [&] {
        for (size_t start = 0; start < played; start += block) {
            float* inputs[] = {in.data() + start};
            float* outputs[] = {left.data() + start, right.data() + start};
            effect->processReplacing(effect, inputs, outputs, block);
        }
    };
    play();
    for (auto _ : state) {
        play();
        benchmark::ClobberMemory();
    }
    setRate(state, played);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto* uris = static_cast<std::vector<std::string>*>(handle);
    auto found = std::find(uris->begin(), uris->end(), uri);
    if (found == uris->end()) {
        uris->emplace_back(uri);
        return static_cast<LV2_URID>(uris->size());
    }
    return static_cast<LV2_URID>(found - uris->begin() + 1);
}

// range(0): the block length; range(1): 1 for runs of that length, announced with the host's
// promise of fixed blocks, 0 for single frames from a host that tells no length (gathered into
// blocks of the default length, whatever range(0) is).
void BM_Lv2Edition(benchmark::State& state) {
    const int32_t block = static_cast<int32_t>(state.range(0));
    const bool fixed = state.range(1) != 0;
    auto descriptorOf = reinterpret_cast<LV2_Descriptor_Function>(
        dlsym(openLibrary(BLEEP_LV2_BINARY), "lv2_descriptor"));
    const LV2_Descriptor* descriptor = descriptorOf ? descriptorOf(0) : nullptr;
    if (!descriptor) {
        state.SkipWithError("no LV2 plug-in");
        return;
    }
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, mapUri};
    const LV2_URID intType = mapUri(&uris, LV2_ATOM__Int);
    LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, mapUri(&uris, LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t),
         intType, &block},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    LV2_Feature fixedFeature{LV2_BUF_SIZE__fixedBlockLength, nullptr};
    const LV2_Feature* features[] = {&mapFeature, fixed ? &optionsFeature : nullptr,
                                     fixed ? &fixedFeature : nullptr, nullptr};
    LV2_Handle instance = descriptor->instantiate(descriptor, kRate, "", features);

    float controls[vst::kNumParams];
    for (const vst::ParameterInfo& param : vst::kParameters) {
        controls[param.index] = param.index == vst::kEffect ? 1.0f : param.defaultValue;
    }
    controls[vst::kDutyRatio] = 25.0f;
    float latency = 0.0f;
    for (int32_t i = 0; i < vst::kNumParams; ++i) {
        descriptor->connect_port(instance, lv2::controlPort(i), &controls[i]);
    }
    descriptor->connect_port(instance, lv2::kLatency, &latency);
    descriptor->activate(instance);

    std::vector<float> in = demoPhrase(), left(in.size()), right(in.size());
    const int run = fixed ? block : 1;
    const size_t played = in.size() / block * block;
    const auto play = [&] {
        for (size_t start = 0; start < played; start += run) {
            descriptor->connect_port(instance, lv2::kAudioIn, in.data() + start);
            descriptor->connect_port(instance, lv2::kAudioOutLeft, left.data() + start);
            descriptor->connect_port(instance, lv2::kAudioOutRight, right.data() + start);
            descriptor->run(instance, static_cast<uint32_t>(run));
        }
    };
    play();
    for (auto _ : state) {
        play();
        benchmark::ClobberMemory();
    }
    setRate(state, played);
    state.counters["latency"] = latency;
    descriptor->deactivate(instance);
    descriptor->cleanup(instance);
}

BENCHMARK(BM_VstEdition)->ArgName("block")->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lv2Edition)
    ->ArgNames({"block", "fixed"})
    ->ArgsProduct({{256, 1024}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
