// Instances opened and closed in an interleaved order, and suspend/resume without processing.
#include <memory>

#include "Signals.h"
#include "Validator.h"

namespace validator {
namespace {

// A survivor still plays: a short glide comes out finite and not silent.
bool plays(Plugin& p) {
    std::vector<float> out = p.play(glide(44100, 4096), 512);
    OutputFacts facts = examine(out.data(), out.size());
    return facts.finite && facts.peak > 0.0f;
}

}  // namespace

CHECK_GROUP("lifecycle", "many instances opened and closed interleaved; suspend/resume") {
    // Forty instances, created in waves and closed in a scrambled order between the waves.
    std::vector<std::unique_ptr<Plugin>> alive;
    int created = 0, wellFormed = 0;
    uint32_t seed = 7;
    for (int wave = 0; wave < 4; ++wave) {
        for (int i = 0; i < 10; ++i) {
            auto p = std::make_unique<Plugin>();
            ++created;
            AEffect* e = p->effect;
            if (e && e->magic == kEffectMagic && e->numParams == kParameterCount &&
                e->numPrograms == kProgramCount && e->numInputs == 1 && e->numOutputs == 2 &&
                e->object) {
                ++wellFormed;
            }
            if (p->ok() && i % 3 == 0) {
                p->setUp(i % 2 ? 48000.0f : 44100.0f, 64 << (i % 4));
            }
            alive.push_back(std::move(p));
        }
        for (int close = 0; close < 6 && !alive.empty(); ++close) {
            seed = seed * 1664525u + 1013904223u;
            alive.erase(alive.begin() + (seed >> 16) % alive.size());
        }
    }
    check(wellFormed == created,
          format("%d of %d instances created through the entry and well formed", wellFormed,
                 created));
    int playing = 0;
    for (auto& p : alive) {
        if (p->ok()) {
            p->setUp(44100.0f, 512);
            playing += plays(*p) ? 1 : 0;
        }
    }
    check(
        playing == int(alive.size()),
        format("%d of %d survivors of interleaved closing still play", playing, int(alive.size())));
    alive.clear();

    // Suspend and resume many times without a block in between, with changes while suspended.
    Plugin p;
    if (!check(p.ok(), "instance for suspend/resume")) {
        return;
    }
    for (int i = 0; i < 50; ++i) {
        p.resume();
        p.suspend();
        if (i % 10 == 0) {
            p.call(effSetSampleRate, 0, 0, nullptr, i % 20 ? 48000.0f : 96000.0f);
            p.call(effSetBlockSize, 0, 32 << (i % 7));
        }
        p.suspend();  // twice in a row
    }
    p.resume();
    p.resume();
    p.setUp(44100.0f, 512);
    check(plays(p), "after 50 suspend/resume pairs without processing the instance plays");
    p.resume();  // and closed while resumed
}

}  // namespace validator
