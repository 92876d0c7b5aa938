// Host blocks that differ from the announced size: longer, shorter, empty, and split blocks in
// the middle of a steady tone.
#include <algorithm>

#include "Signals.h"
#include "Validator.h"

namespace validator {

VALIDATOR_CATEGORY("blocks", "blocks longer and shorter than announced, and of zero frames") {
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

VALIDATOR_CATEGORY("split", "a steady tone in irregular shorter blocks has no larger steps") {
    const float rate = 44100.0f;
    const std::vector<float> tone = sine(rate, int(1.8f * rate), 220.0);
    // At 1024 frames and less the steady output itself steps at block edges; the check needs a
    // smooth reference.
    for (int32_t announced : {2048, 4096}) {
        Plugin steady, split;
        if (!check(steady.ok() && split.ok(), "instances")) {
            return;
        }
        steady.setUp(rate, announced);
        split.setUp(rate, announced);
        // Every fourth block 100 frames, as a host splits at loop points or automation.
        const std::vector<float> a = steady.play(tone, announced);
        const std::vector<float> b = split.play(tone, {announced, announced, announced, 100});
        const size_t settled = 2 * size_t(std::max(announced, 1024));
        const float reference = largestStep(a, settled);
        const float limit = 1.5f * reference + 0.01f;
        const float largest = largestStep(b, settled);
        check(largest <= limit,
              format("announced %d, every fourth block 100 frames: largest step %.4f within "
                     "%.4f (steady blocks: %.4f)",
                     announced, largest, limit, reference));
    }
}

}  // namespace validator
