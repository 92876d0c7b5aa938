// Every rate and block size with a glide, noise, silence and a denormal-level input: the outputs
// stay finite, free of denormals and within 100 times the input's peak. Also the real-time factor.
#include <algorithm>
#include <limits>

#include "Signals.h"
#include "Validator.h"

namespace validator {
namespace {

const float kRates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
const int32_t kBlockSizes[] = {1, 17, 64, 441, 1024, 4096};
const float kInfinity = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Short inputs at the smallest blocks (each block analyses a whole window), a quarter second
// at most: the 32-bit build under user-mode emulation runs about a hundred times slower.
int framesFor(float rate, int32_t block) {
    return std::min(int(rate * 0.25f), std::max(1024, block * 64));
}

}  // namespace

CHECK_GROUP("signals", "all rates x block sizes, four inputs: finite, no denormals, bounded") {
    int combination = 0;
    for (float rate : kRates) {
        for (int32_t block : kBlockSizes) {
            // Every generator comes round across the grid; Depth alternates its extremes.
            const int generator = combination % kGeneratorCount;
            const float depth = (combination / kGeneratorCount) % 2 ? 0.0f : 1.0f;
            std::string faults;
            const int frames = framesFor(rate, block);
            for (const NamedSignal& input : standardInputs(rate, frames)) {
                // An instance per input, so that no input hears another's history; rate and
                // block size change from the defaults while suspended.
                Plugin p;
                if (!p.ok()) {
                    faults += " (no instance)";
                    continue;
                }
                p.set(kEffect, effectValue(generator));
                p.set(kDepth, depth);
                p.setUp(rate, block);
                std::vector<float> out = p.play(input.samples, block);
                const OutputFacts facts = examine(out.data(), out.size());
                const float limit = 100.0f * peakOf(input.samples);
                if (!facts.finite || !facts.denormalFree || facts.peak > limit) {
                    faults +=
                        format(" %s(%s%s%s)", input.name.c_str(), facts.finite ? "" : "non-finite ",
                               facts.denormalFree ? "" : "denormals ",
                               facts.peak > limit ? format("peak %g", facts.peak).c_str() : "");
                }
            }
            check(faults.empty(), format("%g Hz, block %d, generator %d, Depth %g: outputs finite, "
                                         "no denormals, within 100x input peak%s",
                                         rate, block, generator, depth, faults.c_str()));
            ++combination;
        }
    }

    // Hosts may send values outside 0..1: each is held at its bound (NaN keeps the value it
    // had), reads back so and plays exactly as the bound does, never louder.
    const std::vector<float> voice = glide(44100.0f, 8192);
    const float outside[] = {-1e30f, -1.0f, 1.5f, 100.0f, 1e6f, 1e30f, kInfinity, -kInfinity, kNaN};
    for (float value : outside) {
        Plugin odd, bound;
        if (!odd.ok() || !bound.ok()) {
            check(false, "instances");
            return;
        }
        const float held = value > 1.0f ? 1.0f : 0.0f;
        bool readBack = true;
        for (int32_t index = 0; index < kParameterCount; ++index) {
            const float before = odd.get(index);
            odd.set(index, value);
            const float expected = value != value        ? before
                                   : index == kDutyRatio ? (held > 0 ? 0.99f : 0.01f)
                                                         : held;
            readBack = readBack && odd.get(index) == expected;
            if (value == value) {
                bound.set(index, held);
            }
        }
        for (Plugin* p : {&odd, &bound}) {
            p->set(kEffect, effectValue(1));  // a generator that plays at both bounds of Depth
            p->setUp(44100.0f, 1024);
        }
        const std::vector<float> a = odd.play(voice, 1024);
        const std::vector<float> b = bound.play(voice, 1024);
        check(readBack && a == b,
              format("every parameter set to %g reads back %s and plays as that (peak %.3g)", value,
                     value == value ? format("as %g", held).c_str() : "as before", peakOf(a)));
    }

    // Speed in the steady state: a held 220 Hz tone after a window of warm-up; the best of a few
    // runs, as other processes share the machine.
    for (int32_t block : kBlockSizes) {
        Plugin p;
        p.setUp(44100.0f, block);
        const int frames = framesFor(44100.0f, block);
        const std::vector<float> tone = sine(44100.0f, frames, 220.0);
        p.play(tone, block);
        double best = 1e9, spent = 0.0;
        for (int run = 0; run < 5 && spent < 0.2; ++run) {
            const double start = now();
            p.play(tone, block);
            best = std::min(best, now() - start);
            spent += now() - start;
        }
        info(format("real-time factor at 44100 Hz, block %d: %.1f", block,
                    frames / 44100.0 / std::max(best, 1e-9)));
    }
}

}  // namespace validator
