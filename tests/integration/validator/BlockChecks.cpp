// Host blocks that differ from the announced size: longer, shorter, empty, and split blocks in
// the middle of a steady tone.
#include <algorithm>

#include "Signals.h"
#include "Validator.h"

namespace validator {

CHECK_GROUP("blocks", "blocks longer and shorter than announced, and of zero frames") {
    for (int32_t announced : {64, 1024, 4096}) {
        Plugin p;
        if (!check(p.ok(), "instance")) {
            return;
        }
        p.setUp(44100.0f, announced);
        std::string faults;
        for (int32_t frames :
             {0, 1, 7, announced - 1, announced, announced + 1, 3 * announced + 5, 40000}) {
            // Guard cells around both outputs catch writes outside the block.
            const std::vector<float> input = glide(44100, frames + 1);
            std::vector<float> left(frames + 2, 9.0f), right(frames + 2, 9.0f);
            p.process(input.data(), left.data() + 1, right.data() + 1, frames);
            const bool guarded = left.front() == 9.0f && left.back() == 9.0f &&
                                 right.front() == 9.0f && right.back() == 9.0f;
            const bool untouched =
                frames > 0 || (left[1] == 9.0f && right[1] == 9.0f);  // zero frames: no write
            const OutputFacts facts = examine(left.data() + 1, frames);
            if (!guarded || !untouched || !facts.finite) {
                faults += format(" %d frames%s%s%s", frames, guarded ? "" : " (wrote outside)",
                                 untouched ? "" : " (zero frames wrote)",
                                 facts.finite ? "" : " (non-finite)");
            }
        }
        check(faults.empty(), format("announced %d: blocks of 0 .. 40000 frames stay inside the "
                                     "block and finite%s",
                                     announced, faults.c_str()));
    }
}

CHECK_GROUP("split", "a steady tone in irregular shorter blocks has no larger steps") {
    const float rate = 44100.0f;
    // Low tones are the hard case: the filter then reaches back further than a short block.
    for (double hz : {110.0, 220.0}) {
        const std::vector<float> tone = sine(rate, int(1.2f * rate), hz);
        for (int32_t announced : {64, 256, 512, 1024, 2048, 4096}) {
            // Shorter blocks between announced ones, as a host splits at loop points or
            // automation.
            const std::vector<int32_t> split = {announced,         announced / 2 + 3, announced,
                                                announced / 4 + 1, announced - 7,     37};
            // The sine, and the square at a Tone whose edges are the sine's own.
            for (int generator : {0, 1}) {
                Plugin steady, irregular;
                if (!check(steady.ok() && irregular.ok(), "instances")) {
                    return;
                }
                for (Plugin* p : {&steady, &irregular}) {
                    p->setUp(rate, announced);
                    p->set(kEffect, effectValue(generator));
                    p->set(kTone, 0.5f);
                }
                const std::vector<float> a = steady.play(tone, announced);
                const std::vector<float> b = irregular.play(tone, split);
                const size_t settled = 2 * size_t(std::max(announced, 1024));
                const char* name = generator == 0 ? "sine" : "square";
                if (generator == 0) {
                    const float reference = largestStep(a, settled);
                    const float limit = 1.1f * reference + 0.005f;
                    const float largest = largestStep(b, settled);
                    check(largest <= limit,
                          format("%s at %.0f Hz, announced %d, shorter blocks between: largest "
                                 "step %.4f within %.4f (announced blocks: %.4f)",
                                 name, hz, announced, largest, limit, reference));
                } else {
                    // The square's edges may move by a sample where blocks meet, as with blocks
                    // of the announced length; a gap in its context roughens the whole output.
                    const double reference = roughness(a, settled);
                    const double rough = roughness(b, settled);
                    check(rough <= 1.15 * reference,
                          format("%s at %.0f Hz, announced %d, shorter blocks between: "
                                 "roughness %.3g within 1.15 x %.3g (announced blocks)",
                                 name, hz, announced, rough, reference));
                }
            }
        }
    }
}

}  // namespace validator
