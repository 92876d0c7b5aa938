// The LV2 bundle through lilv, the library Linux hosts load plug-ins with: its description, its
// presets, and its sound against the VST edition's shared object played by the same values.
//   lv2_host_test LV2_PATH VST_PLUGIN
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/presets/presets.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "PluginLoader.h"
#include "lv2/Lv2Ports.h"
#include "plugin/ParameterTable.h"
#include "tests/plugin/SungPhrase.h"
#include "tests/support/AllocationCounter.h"
#include "tools/bleepify/DemoPhrase.h"
#include "tests/support/Hosts.h"
#include "tests/support/TestMain.h"

namespace {

using namespace tanuvo::sound;
using namespace tanuvo::sound::lv2;
using vst::kNumParams;
using vst::kParameters;

std::string gLv2Path;
std::string gVstPath;
constexpr double kRate = 44100.0;

// ---- Host side: URIDs and the world -----------------------------------------------------------

struct UridMap {
    std::vector<std::string> uris;
    LV2_URID_Map feature{this, &UridMap::map};
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
        auto* self = static_cast<UridMap*>(handle);
        for (size_t i = 0; i < self->uris.size(); ++i) {
            if (self->uris[i] == uri) {
                return static_cast<LV2_URID>(i + 1);
            }
        }
        self->uris.emplace_back(uri);
        return static_cast<LV2_URID>(self->uris.size());
    }
};

UridMap gUrids;

struct World {
    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
    World() {
        LilvNode* path = lilv_new_string(world, gLv2Path.c_str());
        lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
        lilv_node_free(path);
        lilv_world_load_all(world);
        LilvNode* uri = lilv_new_uri(world, kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
    }
    ~World() { lilv_world_free(world); }
    LilvNode* uri(const char* text) const { return lilv_new_uri(world, text); }
};

World& world() {
    static World instance;
    return instance;
}

// Port values in the units of the LV2 ports, and the same values as the VST edition takes them.
struct Setting {
    const char* name;
    std::map<int32_t, float> lv2;  // unset ports keep the description's defaults
    std::map<int32_t, float> vst;  // unset parameters keep the plug-in's defaults
};

// How the host runs the LV2 plug-in: what it announces, and the lengths of its runs.
struct RunPlan {
    int nominal = 0;        // 0: not announced
    bool fixed = false;     // also offers bufsz:fixedBlockLength
    std::vector<int> runs;  // lengths, repeated; empty: blocks of the announced length
    int maximum = 0;        // 0: not announced
    bool inPlace = false;   // the left output is the input buffer
    int changeAt = 0;       // from this sample on, the host has set the nominal length to...
    int changeTo = 0;       // ...this, through the options interface (0: no change)
    int restartAt = 0;      // deactivated and activated again here, then played from the start
    int length() const {
        return nominal > 0 ? nominal : maximum > 0 ? maximum : kDefaultBlockLength;
    }
};

struct Output {
    std::vector<float> left, right;
    float latency = -1.0f;
};

std::vector<float> portDefaults() {
    const LilvPlugin* plugin = world().plugin;
    std::vector<float> defaults(lilv_plugin_get_num_ports(plugin), 0.0f);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    return defaults;
}

Output renderLv2(const Setting& setting, const RunPlan& plan, const std::vector<float>& input) {
    const LilvPlugin* plugin = world().plugin;
    const LV2_URID intType = gUrids.map(&gUrids, LV2_ATOM__Int);
    const LV2_URID nominalKey = gUrids.map(&gUrids, LV2_BUF_SIZE__nominalBlockLength);
    const LV2_URID maximumKey = gUrids.map(&gUrids, LV2_BUF_SIZE__maxBlockLength);
    int32_t length = plan.length();  // of the runs
    LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, nominalKey, sizeof(int32_t), intType, &plan.nominal},
        {LV2_OPTIONS_INSTANCE, 0, maximumKey, sizeof(int32_t), intType, &plan.maximum},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_Feature mapFeature{LV2_URID__map, &gUrids.feature};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, plan.nominal > 0 ? options : options + 1};
    LV2_Feature fixedFeature{LV2_BUF_SIZE__fixedBlockLength, nullptr};
    std::vector<const LV2_Feature*> features = {&mapFeature};
    if (plan.nominal > 0 || plan.maximum > 0) {
        features.push_back(&optionsFeature);
    }
    if (plan.fixed) {
        features.push_back(&fixedFeature);
    }
    features.push_back(nullptr);

    LilvInstance* instance = lilv_plugin_instantiate(plugin, kRate, features.data());
    EXPECT_NE(instance, nullptr);
    Output out;
    if (!instance) {
        return out;
    }
    std::vector<float> controls = portDefaults();
    for (const auto& [index, value] : setting.lv2) {
        controls[controlPort(index)] = value;
    }
    for (int32_t i = 0; i < kNumParams; ++i) {
        lilv_instance_connect_port(instance, controlPort(i), &controls[controlPort(i)]);
    }
    lilv_instance_connect_port(instance, kLatency, &out.latency);

    const int total = static_cast<int>(input.size());
    out.left.assign(total, 0.0f);
    out.right.assign(total, 0.0f);
    std::vector<float> in = input;  // hosts hand over writable buffers
    lilv_instance_activate(instance);
    size_t next = 0;
    int restartAt = plan.restartAt;
    for (int done = 0; done < total;) {
        if (done == plan.changeAt && plan.changeTo > 0) {
            // A new buffer size: set between runs, and no allocation in the runs after it.
            const auto* iface = static_cast<const LV2_Options_Interface*>(
                lilv_instance_get_extension_data(instance, LV2_OPTIONS__interface));
            length = plan.changeTo;
            const LV2_Options_Option change[] = {
                {LV2_OPTIONS_INSTANCE, 0, nominalKey, sizeof(int32_t), intType, &length},
                options[2]};
            tanuvo::sound::testing::AllocationCounter rebuild;
            EXPECT_EQ(iface->set(lilv_instance_get_handle(instance), change), 0u);
            EXPECT_GT(rebuild.allocations(), 0);  // the counter sees the plug-in's heap
        }
        if (done == restartAt && restartAt > 0) {
            lilv_instance_deactivate(instance);
            lilv_instance_activate(instance);
            restartAt = done = 0;
            in = input;
        }
        int n = plan.runs.empty() ? length : plan.runs[next++ % plan.runs.size()];
        n = std::min({n, total - done, done < restartAt ? restartAt - done : total});
        float* left = (plan.inPlace ? in.data() : out.left.data()) + done;
        lilv_instance_connect_port(instance, kAudioIn, in.data() + done);
        lilv_instance_connect_port(instance, kAudioOutLeft, left);
        lilv_instance_connect_port(instance, kAudioOutRight, out.right.data() + done);
        tanuvo::sound::testing::AllocationCounter counter;
        lilv_instance_run(instance, static_cast<uint32_t>(n));
        EXPECT_EQ(counter.allocations(), 0) << "at " << done;
        done += n;
    }
    if (plan.inPlace) {
        out.left = in;
    }
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    return out;
}

// ---- The VST edition through its entry --------------------------------------------------------

using tanuvo::sound::vst::testing::quietHost;

// The VST edition told the plan's length, run in the plan's lengths (and told its change).
Output renderVst(const Setting& setting, const RunPlan& plan, const std::vector<float>& input) {
    PluginLoader library(gVstPath);
    EXPECT_TRUE(library.loaded()) << library.error();
    VstPluginMainProc entry = library.entry("VSTPluginMain");
    AEffect* effect = entry ? entry(quietHost) : nullptr;
    Output out;
    if (!effect) {
        ADD_FAILURE() << "no VST effect";
        return out;
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    int length = plan.length();
    effect->dispatcher(effect, effSetBlockSize, 0, length, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    for (const auto& [index, value] : setting.vst) {
        effect->setParameter(effect, index, value);
    }
    const int total = static_cast<int>(input.size());
    out.left.assign(total, 0.0f);
    out.right.assign(total, 0.0f);
    std::vector<float> in = input;
    size_t next = 0;
    for (int done = 0, n = 0; done < total; done += n) {
        if (done == plan.changeAt && plan.changeTo > 0) {
            length = plan.changeTo;
            effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
            effect->dispatcher(effect, effSetBlockSize, 0, length, nullptr, 0.0f);
            effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        }
        n = std::min(plan.runs.empty() ? length : plan.runs[next++ % plan.runs.size()],
                     total - done);
        float* inputs[1] = {in.data() + done};
        float* outputs[2] = {out.left.data() + done, out.right.data() + done};
        effect->processReplacing(effect, inputs, outputs, n);
    }
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return out;
}

Output renderVst(const Setting& setting, int blockLength, const std::vector<float>& input) {
    return renderVst(setting, RunPlan{blockLength, false, {}}, input);
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b, size_t offset = 0) {
    return a.size() == b.size() + offset &&
           std::memcmp(a.data() + offset, b.data(), sizeof(float) * b.size()) == 0;
}

// ---- Presets ----------------------------------------------------------------------------------

struct Preset {
    std::string label;
    std::map<std::string, float> values;  // by port symbol
};

void collectValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t type) {
    auto* values = static_cast<std::map<std::string, float>*>(data);
    if (type == gUrids.map(&gUrids, LV2_ATOM__Float) && size == sizeof(float)) {
        (*values)[symbol] = *static_cast<const float*>(value);
    }
}

std::vector<Preset> presets() {
    World& w = world();
    LilvNode* presetClass = w.uri(LV2_PRESETS__Preset);
    LilvNode* label = w.uri(LILV_NS_RDFS "label");
    LilvNodes* related = lilv_plugin_get_related(w.plugin, presetClass);
    std::vector<Preset> result;
    LILV_FOREACH(nodes, i, related) {
        const LilvNode* uri = lilv_nodes_get(related, i);
        lilv_world_load_resource(w.world, uri);
        Preset preset;
        LilvNode* name = lilv_world_get(w.world, uri, label, nullptr);
        preset.label = name ? lilv_node_as_string(name) : "";
        lilv_node_free(name);
        LilvState* state = lilv_state_new_from_world(w.world, &gUrids.feature, uri);
        if (state) {
            lilv_state_emit_port_values(state, collectValue, &preset.values);
            lilv_state_free(state);
        }
        result.push_back(preset);
    }
    lilv_nodes_free(related);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    return result;
}

Setting presetSetting(const Preset& preset) {
    Setting setting{preset.label.c_str(), {}, {}};
    for (const vst::ParameterInfo& param : kParameters) {
        auto found = preset.values.find(param.symbol);
        if (found != preset.values.end()) {
            setting.lv2[param.index] = found->second;
            setting.vst[param.index] = vst::toNormalised(param, found->second);
        }
    }
    return setting;
}

double rmsDecibels(const std::vector<float>& x) {
    double sum = 0.0;
    for (float v : x) {
        sum += double(v) * v;
    }
    return 10.0 * std::log10(sum / double(x.size()));
}

// ---- The tests --------------------------------------------------------------------------------

const std::vector<Setting>& settings() {
    // The VST values sit inside each waveform's band of the Effect range rather than on its edge.
    static const std::vector<Setting> list = {
        {"defaults", {}, {}},
        {"square",
         {{vst::kEffect, 1.0f},
          {vst::kDutyRatio, 12.5f},
          {vst::kTone, 0.3f},
          {vst::kDepth, 0.5f},
          {vst::kMix, 0.7f}},
         {{vst::kEffect, 0.2f},
          {vst::kDutyRatio, 0.125f},
          {vst::kTone, 0.3f},
          {vst::kDepth, 0.5f},
          {vst::kMix, 0.7f}}},
        {"stepped triangle",
         {{vst::kEffect, 2.0f}, {vst::kSteps, 0.0f}, {vst::kVolume, 0.8f}},
         {{vst::kEffect, 0.4f}, {vst::kSteps, 0.0f}, {vst::kVolume, 0.8f}}},
        {"saw",
         {{vst::kEffect, 3.0f}, {vst::kMix, 0.5f}, {vst::kDepth, 0.9f}},
         {{vst::kEffect, 0.55f}, {vst::kMix, 0.5f}, {vst::kDepth, 0.9f}}},
        {"long noise",
         {{vst::kEffect, 4.0f}, {vst::kDepth, 0.3f}},
         {{vst::kEffect, 0.7f}, {vst::kDepth, 0.3f}}},
        {"short noise, power off",
         {{vst::kEffect, 5.0f}, {vst::kPower, 0.0f}},
         {{vst::kEffect, 0.9f}, {vst::kPower, 0.0f}}},
        // Port values out of range play as the range's end; NaN leaves the value as it was.
        {"above the ranges",
         {{vst::kVolume, 100.0f},
          {vst::kMix, 100.0f},
          {vst::kDepth, 1e30f},
          {vst::kTone, FLT_MAX},
          {vst::kDutyRatio, 1e30f}},
         {{vst::kVolume, 1.0f},
          {vst::kMix, 1.0f},
          {vst::kDepth, 1.0f},
          {vst::kTone, 1.0f},
          {vst::kDutyRatio, 1.0f}}},
        {"below the ranges, not numbers",
         {{vst::kEffect, 1.0f},
          {vst::kVolume, NAN},
          {vst::kDepth, -INFINITY},
          {vst::kDutyRatio, -1e30f},
          {vst::kTone, NAN},
          {vst::kSteps, INFINITY}},
         {{vst::kEffect, 0.2f}, {vst::kDepth, 0.0f}, {vst::kDutyRatio, 0.0f}, {vst::kSteps, 1.0f}}},
        {"mix below", {{vst::kMix, -100.0f}, {vst::kVolume, 1e30f}}, {{vst::kMix, 0.0f}}},
    };
    return list;
}

const std::vector<float>& phrase() {
    static const std::vector<float> samples = vst::testing::makeSungPhrase(kRate);
    return samples;
}

class Lv2HostTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(world().plugin, nullptr) << "no plug-in in " << gLv2Path; }
};

TEST_F(Lv2HostTest, PortsFollowTheParameterTable) {
    const LilvPlugin* plugin = world().plugin;
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), uint32_t(kPortCount));
    LilvNode* audio = world().uri(LILV_URI_AUDIO_PORT);
    LilvNode* input = world().uri(LILV_URI_INPUT_PORT);
    LilvNode* output = world().uri(LILV_URI_OUTPUT_PORT);
    const auto port = [&](uint32_t i) { return lilv_plugin_get_port_by_index(plugin, i); };
    EXPECT_TRUE(lilv_port_is_a(plugin, port(kAudioIn), audio));
    EXPECT_TRUE(lilv_port_is_a(plugin, port(kAudioIn), input));
    EXPECT_TRUE(lilv_port_is_a(plugin, port(kAudioOutLeft), output));
    EXPECT_TRUE(lilv_port_is_a(plugin, port(kAudioOutRight), audio));
    EXPECT_TRUE(lilv_plugin_has_latency(plugin));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), uint32_t(kLatency));

    std::vector<float> minimum(kPortCount), maximum(kPortCount), defaults(kPortCount);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    for (const vst::ParameterInfo& param : kParameters) {
        SCOPED_TRACE(param.name);
        const LilvPort* control = port(controlPort(param.index));
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, control)), param.symbol);
        LilvNode* name = lilv_port_get_name(plugin, control);
        EXPECT_STREQ(lilv_node_as_string(name), param.name);
        lilv_node_free(name);
        EXPECT_EQ(minimum[controlPort(param.index)], param.minimum);
        EXPECT_EQ(maximum[controlPort(param.index)], param.maximum);
        // The default in the port's unit is the plug-in's own default value.
        EXPECT_EQ(vst::toNormalised(param, defaults[controlPort(param.index)]), param.defaultValue);
        EXPECT_TRUE(lilv_port_is_a(plugin, control, input));

        std::map<float, std::string> points;
        LilvScalePoints* scale = lilv_port_get_scale_points(plugin, control);
        LILV_FOREACH(scale_points, i, scale) {
            const LilvScalePoint* p = lilv_scale_points_get(scale, i);
            points[lilv_node_as_float(lilv_scale_point_get_value(p))] =
                lilv_node_as_string(lilv_scale_point_get_label(p));
        }
        lilv_scale_points_free(scale);
        ASSERT_EQ(points.size(), size_t(param.scalePointCount));
        for (int i = 0; i < param.scalePointCount; ++i) {
            EXPECT_EQ(points[param.scalePoints[i].value], param.scalePoints[i].label);
        }
    }
    lilv_node_free(audio);
    lilv_node_free(input);
    lilv_node_free(output);
}

TEST_F(Lv2HostTest, MakerIsTheVstEditionsVendor) {
    PluginLoader library(gVstPath);
    ASSERT_TRUE(library.loaded()) << library.error();
    VstPluginMainProc entry = library.entry("VSTPluginMain");
    AEffect* effect = entry ? entry(quietHost) : nullptr;
    ASSERT_NE(effect, nullptr);
    char vendor[65] = {};
    effect->dispatcher(effect, effGetVendorString, 0, 0, vendor, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    // What hosts show as the maker: the maintainer's name.
    LilvNode* maker = lilv_plugin_get_author_name(world().plugin);
    ASSERT_NE(maker, nullptr);
    EXPECT_STREQ(lilv_node_as_string(maker), vendor);
    EXPECT_STRNE(vendor, "");
    lilv_node_free(maker);
}

TEST_F(Lv2HostTest, FixedBlocksPlayExactlyWhatTheVstPlugInPlays) {
    for (const Setting& setting : settings()) {
        for (int block : {32, 256, 1024}) {
            SCOPED_TRACE(std::string(setting.name) + ", blocks of " + std::to_string(block));
            const Output vst = renderVst(setting, block, phrase());
            const Output lv2 = renderLv2(setting, {block, true, {}}, phrase());
            EXPECT_EQ(lv2.latency, 0.0f);
            EXPECT_TRUE(sameBits(lv2.left, vst.left));
            EXPECT_TRUE(sameBits(lv2.right, vst.right));
        }
    }
}

TEST_F(Lv2HostTest, AnyCyclesPlayTheVstSoundWithoutLatencyWhereTheHostTellsALength) {
    std::mt19937 random(12);
    std::uniform_int_distribution<int> length(1, 700);
    std::vector<int> splits(97);
    for (int& n : splits) {
        n = length(random);
    }
    struct Case {
        RunPlan plan;
        int latency;      // 0: the same cycles through the VST edition; else its blocks, that late
        size_t from = 0;  // compared from here on
    };
    const int none = kDefaultBlockLength;  // no block length told: gathered into the default
    const Case cases[] = {
        {{256, false, splits}, 0},
        {{1024, false, {1024, 1024, 1024, 300, 1024, 1024, 17}}, 0},  // now and then shorter
        {{32, false, {32, 32, 7, 32, 1}}, 0},
        {{256, false, {}, 4096}, 0},                  // the nominal length before the maximum
        {{0, false, {512, 100}, 512}, 0},             // the maximum alone
        {{256, false, splits, 0, true}, 0},           // the left output in the input's buffer
        {{1024, false, {}, 0, false, 4096, 64}, 0},   // a new buffer size in the options
        {{256, false, {}, 0, false, 0, 0, 5000}, 0},  // activated again: a fresh instance
        {{0, false, {1}}, none},
        {{0, false, {1, 1023, 5, 2048, 333}, 0, true}, none},
        {{0, false, {700}, 0, false, 0, 0, 6000}, none},  // activated again in a part-filled block
        {{0, false, {}, 0, false, 2048, 256}, 0, 2048},   // told a length late: no more gathering
    };
    for (const Setting& setting : {settings()[0], settings()[1], settings()[3]}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(setting.name) + ", case " + std::to_string(&c - cases));
            const Output lv2 = renderLv2(setting, c.plan, phrase());
            ASSERT_EQ(lv2.latency, float(c.latency));
            const size_t late = size_t(c.latency);
            const Output vst =
                renderVst(setting, late ? RunPlan{c.latency, false, {}} : c.plan, phrase());
            // Silence until the first block is out, then the VST sound.
            EXPECT_TRUE(std::all_of(lv2.left.begin(), lv2.left.begin() + late,
                                    [](float v) { return v == 0.0f; }));
            const size_t n = sizeof(float) * (phrase().size() - late - c.from);
            EXPECT_EQ(std::memcmp(&lv2.left[late + c.from], &vst.left[c.from], n), 0);
            EXPECT_EQ(std::memcmp(&lv2.right[late + c.from], &vst.right[c.from], n), 0);
        }
    }
}

TEST_F(Lv2HostTest, RefusesSampleRatesTheCoreCannotPlay) {
    for (double rate : {0.0, -1.0, 999.0, 768001.0, 1e9, double(NAN), double(INFINITY),
                        -double(INFINITY), 1000.0, 768000.0}) {
        LilvInstance* instance = lilv_plugin_instantiate(world().plugin, rate, nullptr);
        EXPECT_EQ(instance != nullptr, rate == 1000.0 || rate == 768000.0) << rate;
        if (instance) {
            lilv_instance_free(instance);
        }
    }
}

TEST_F(Lv2HostTest, PresetsPlayEachWaveformAtTheReadmesLevelAndMatchTheVstPlugIn) {
    // The presets' Depths are chosen for pitch following first; these are the levels against
    // the input that the README states for them on the demo phrase, by waveform.
    const double statedLevel[vst::kWaveformCount] = {-4.5, -1.5, -6.0, -6.0, 0.5, 0.5};
    const std::vector<Preset> list = presets();
    ASSERT_GE(list.size(), size_t(vst::kWaveformCount));
    std::vector<bool> waveformShown(vst::kWaveformCount, false);
    const std::vector<float> demo = tanuvo::bleepify::makeDemoPhrase(int(kRate));
    const double inputLevel = rmsDecibels(demo);
    for (const Preset& preset : list) {
        SCOPED_TRACE(preset.label);
        ASSERT_EQ(preset.values.size(), size_t(kNumParams));
        const Setting setting = presetSetting(preset);
        const size_t wave = size_t(preset.values.at("effect"));
        waveformShown[wave] = true;

        const Output lv2 = renderLv2(setting, {1024, true, {}}, demo);
        const double level = rmsDecibels(lv2.left);
        EXPECT_NEAR(level - inputLevel, statedLevel[wave], 1.0) << "input " << inputLevel << " dB";
        for (int block : {32, 256, 1024}) {
            const Output fixed = renderLv2(setting, {block, true, {}}, phrase());
            EXPECT_TRUE(sameBits(fixed.left, renderVst(setting, block, phrase()).left)) << block;
        }
        std::printf("preset %-28s %6.1f dB (input %.1f dB)\n", preset.label.c_str(), level,
                    inputLevel);
    }
    for (int wave = 0; wave < vst::kWaveformCount; ++wave) {
        EXPECT_TRUE(waveformShown[wave]) << vst::kWaveforms[wave].display << " has no preset";
    }
}

}  // namespace

int main(int argc, char** argv) {
    return tanuvo::testing::runTestsWithPaths(argc, argv, "LV2_PATH VST_PLUGIN",
                                              {&gLv2Path, &gVstPath});
}
