// The sound follows the settings: after a rate or block-size change and in a fresh instance it is
// what an instance set up at that rate and size and then given the same values plays; a second
// instance restored from the first's values and program names plays the same bits.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Signals.h"
#include "Validator.h"

namespace validator {
namespace {

struct Setting {
    const char* name;
    float values[kParameterCount];  // Volume, Power, Effect, Mix, Depth, DutyRatio, Tone, Steps
};

const Setting kSettings[] = {
    {"Square, Depth 0, DutyRatio 0.6, Tone 0.3",
     {1.0f, 1.0f, effectValue(1), 1.0f, 0.0f, 0.6f, 0.3f, 0.5f}},
    {"Triangle, Depth 0.3, Steps 0.2", {0.8f, 1.0f, effectValue(2), 1.0f, 0.3f, 0.25f, 1.0f, 0.2f}},
    {"Sine, Depth 0.7, Mix 0.6", {1.0f, 1.0f, effectValue(0), 0.6f, 0.7f, 0.25f, 1.0f, 0.5f}},
};

void give(Plugin& p, const float* values) {
    for (int32_t i = 0; i < kParameterCount; ++i) {
        p.set(i, values[i]);
    }
}

struct Difference {
    float largest = 0.0f;
    double rms = 0.0;
};

Difference compare(const std::vector<float>& a, const std::vector<float>& b, size_t first) {
    Difference d;
    size_t count = 0;
    for (size_t i = first; i < std::min(a.size(), b.size()); ++i, ++count) {
        const float e = std::fabs(a[i] - b[i]);
        d.largest = std::max(d.largest, std::isnan(e) ? INFINITY : e);
        d.rms += double(e) * e;
    }
    d.rms = count ? std::sqrt(d.rms / count) : 0.0;
    return d;
}

// Equal output once the first window (which may hold history from before a change) has passed.
// What the generators' filters carry from that history fades below -80 dB (about 1e-5 was seen);
// lost settings differ by tenths.
bool sameSound(const std::vector<float>& a, const std::vector<float>& b, size_t window,
               const std::string& what) {
    const Difference d = compare(a, b, window);
    return check(d.largest <= 1e-4f,
                 format("%s (largest difference %g, RMS %g)", what.c_str(), d.largest, d.rms));
}

std::vector<float> readBack(Plugin& p) {
    std::vector<float> values;
    for (int32_t i = 0; i < kParameterCount; ++i) {
        values.push_back(p.get(i));
    }
    return values;
}

}  // namespace

CHECK_GROUP("state", "settings survive rate and block-size changes; a restore plays alike") {
    const std::vector<float> before = glide(44100, 22050, 110.0, 330.0);
    for (const Setting& s : kSettings) {
        // Set up at 44.1 kHz, played, then moved to another rate or block size while suspended;
        // compared with an instance set up there first. The last move keeps the sliding window's
        // history from before the change.
        const struct {
            int32_t fromBlock;
            float rate;
            int32_t block;
        } moves[] = {{1024, 48000.0f, 1024},
                     {1024, 44100.0f, 512},
                     {1024, 96000.0f, 2048},
                     {256, 48000.0f, 256}};
        for (const auto& move : moves) {
            Plugin moved, fresh;
            moved.setUp(44100.0f, move.fromBlock);
            give(moved, s.values);
            moved.play(before, move.fromBlock);
            moved.setUp(move.rate, move.block);
            fresh.setUp(move.rate, move.block);
            give(fresh, s.values);
            const std::vector<float> input = glide(move.rate, int(move.rate), 90.0, 600.0);
            const std::vector<float> a = moved.play(input, move.block);
            const std::vector<float> b = fresh.play(input, move.block);
            sameSound(a, b, size_t(std::max(1024, move.block)),
                      format("%s, moved to %g Hz / block %d: plays as set up there", s.name,
                             move.rate, move.block));
            check(readBack(moved) == readBack(fresh),
                  format("%s, moved to %g Hz / block %d: reads back the same values", s.name,
                         move.rate, move.block));
        }
    }

    // A fresh instance plays what it reports: given back its own values, it sounds the same.
    const std::vector<float> input = glide(44100, 44100, 90.0, 600.0);
    for (int generator = 0; generator < kGeneratorCount; ++generator) {
        Plugin untouched, told;
        untouched.set(kEffect, effectValue(generator));
        const std::vector<float> reported = readBack(untouched);
        give(told, reported.data());
        sameSound(
            untouched.play(input, 1024), told.play(input, 1024), 0,
            format("fresh instance, generator %d: plays as when given its own values", generator));
    }

    // A project restore without chunks: the host saves the current program's values and every
    // program's name, and sets them into a new instance, which must then play the same bits.
    Plugin original, restored;
    original.setUp(44100.0f, 1024);
    for (int32_t program = 0; program < kProgramCount; ++program) {
        original.setProgram(program);
        give(original, kSettings[program % 3].values);
        original.set(kVolume, 0.5f + program / 40.0f);
        char name[24];
        std::snprintf(name, sizeof name, "Patch %d", int(program));
        original.call(effSetProgramName, 0, 0, name);
    }
    const int32_t current = 3;  // the Square setting
    original.setProgram(current);
    original.setUp(48000.0f, 1024);  // the project opens at another rate

    char names[kProgramCount][64] = {};
    for (int32_t program = 0; program < kProgramCount; ++program) {
        original.call(effGetProgramNameIndexed, program, 0, names[program]);
    }
    const std::vector<float> values = readBack(original);
    restored.setUp(48000.0f, 1024);
    for (int32_t program = 0; program < kProgramCount; ++program) {
        restored.setProgram(program);
        restored.call(effSetProgramName, 0, 0, names[program]);
    }
    restored.setProgram(current);
    give(restored, values.data());
    bool namesAlike = true;
    for (int32_t program = 0; program < kProgramCount; ++program) {
        char back[64] = {};
        restored.call(effGetProgramNameIndexed, program, 0, back);
        namesAlike = namesAlike && std::strcmp(names[program], back) == 0;
    }
    check(namesAlike, "restored program names read back as saved");
    const std::vector<float> project = glide(48000.0f, 48000, 90.0, 600.0);
    const std::vector<float> a = original.play(project, 1024);
    const std::vector<float> b = restored.play(project, 1024);
    const Difference d = compare(a, b, 0);
    check(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0,
          format("restored instance plays the same bits (largest difference %g)", d.largest));
}

}  // namespace validator
