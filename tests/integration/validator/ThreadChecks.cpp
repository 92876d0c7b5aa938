// Parameters and programs set from another thread while audio runs, including values outside
// 0..1, NaN and indices that do not exist.
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "Signals.h"
#include "Validator.h"

namespace validator {

CHECK_GROUP("threads", "parameters and programs set from another thread while audio runs") {
    const float kRate = 44100.0f;
    const float inf = std::numeric_limits<float>::infinity();
    const float odd[] = {0.0f, 1.0f, 0.37f, -1.0f, 2.0f, std::nanf(""), inf, -inf, 1e30f, 1e-40f};
    for (int32_t block : {64, 441, 1024}) {
        Plugin p;
        if (!check(p.ok(), "instance")) {
            return;
        }
        p.setUp(kRate, block);
        std::atomic<bool> playing{true};
        std::thread automation([&] {
            char text[256];
            for (uint32_t step = 0; playing.load(); ++step) {
                const int32_t index = int32_t(step % 11) - 1;  // -1 .. 9
                p.set(index, odd[step % 10]);
                p.get(index);
                if (step % 7 == 0) {
                    p.setProgram(int32_t(step / 7 % 18) - 1);  // -1 .. 16
                    p.call(effSetProgramName, 0, 0, const_cast<char*>("From another thread"));
                }
                p.call(effGetParamDisplay, index, 0, text);
                std::this_thread::yield();
            }
        });
        const std::vector<float> input = glide(kRate, int(kRate));
        const std::vector<float> during = p.play(input, block);
        playing.store(false);
        automation.join();
        const OutputFacts wild = examine(during.data(), during.size());

        // Back within 0..1, the output is bounded again.
        p.setProgram(0);
        for (int32_t i = 0; i < kParameterCount; ++i) {
            p.set(i, i == kPower ? 1.0f : 0.5f);
        }
        const std::vector<float> after = p.play(glide(kRate, int(kRate / 2)), block);
        const OutputFacts tame = examine(after.data(), after.size());
        check(
            wild.finite && tame.finite && tame.denormalFree && tame.peak <= 100.0f * peakOf(input),
            format("block %d: output finite while another thread sets odd values, bounded "
                   "after (peak %g)",
                   block, tame.peak));
    }
}

}  // namespace validator
