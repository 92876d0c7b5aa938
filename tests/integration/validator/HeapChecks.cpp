// Heap calls inside processReplacing, counted on the audio thread from the first block after
// resume: none for any input, with parameter and program changes between blocks and from
// another thread while audio runs.
#include <atomic>
#include <functional>
#include <thread>

#include "HeapProbe.h"
#include "Signals.h"
#include "Validator.h"

namespace validator {
namespace {

const float kRate = 44100.0f;

// Plays input in blocks, counting heap calls only inside processReplacing; between(block) runs
// before each block, uncounted.
long countedPlay(Plugin& p, const std::vector<float>& input, int32_t block,
                 const std::function<void(int)>& between = nullptr) {
    std::vector<float> left(block), right(block);
    long calls = 0;
    int index = 0;
    for (size_t done = 0; done < input.size(); done += block, ++index) {
        const int32_t n = int32_t(std::min<size_t>(block, input.size() - done));
        if (between) {
            between(index);
        }
        heapprobe::begin();
        p.process(input.data() + done, left.data(), right.data(), n);
        calls += heapprobe::end();
    }
    return calls;
}

// The parameters and programs a user changes while playing, as one step of a fixed sequence.
void change(Plugin& p, uint32_t step) {
    const float value = float((step * 2654435761u) >> 8) / 16777216.0f;
    const int32_t changed[] = {kDepth, kEffect, kDutyRatio, kTone, kSteps};
    if (step % 6 < 5)
        p.set(changed[step % 6], value);
    else
        p.setProgram(int32_t(step / 6 % kProgramCount));
}

}  // namespace

CHECK_GROUP("heap", "no heap calls inside processReplacing from the first block on") {
    info("watching " + heapprobe::description());
    {
        // The probe must see the plug-in's allocations at all, or every count below means nothing.
        heapprobe::begin();
        Plugin p;
        const long creation = heapprobe::end();
        check(p.ok() && creation > 0,
              format("the probe sees the plug-in's heap calls (%ld while creating one)", creation));
    }

    // A two-second glide is the headline figure; the other generators and inputs play shorter,
    // as the emulated 32-bit build runs about a hundred times slower.
    const std::vector<float> sweep = glide(kRate, int(2.0f * kRate));
    const std::vector<float> shortSweep = glide(kRate, int(kRate));
    for (int32_t block : {64, 1024}) {
        for (int generator = 0; generator < kGeneratorCount; ++generator) {
            if (block == 1024 && generator != 0 && generator != 4) {
                continue;  // the sine path and the noise path suffice at long blocks
            }
            const std::vector<float>& input = generator == 0 ? sweep : shortSweep;
            Plugin p;
            p.set(kEffect, effectValue(generator));
            p.setUp(kRate, block);
            const long calls = countedPlay(p, input, block);
            check(calls == 0, format("glide 66-1450 Hz over %.0f s, block %d, generator %d: %ld "
                                     "heap calls",
                                     input.size() / kRate, block, generator, calls));
        }
    }
    for (const NamedSignal& input : standardInputs(kRate, int(kRate / 2))) {
        Plugin p;
        p.set(kEffect, effectValue(1));
        p.setUp(kRate, 64);
        const long calls = countedPlay(p, input.samples, 64);
        check(calls == 0, format("%s, block 64: %ld heap calls", input.name.c_str(), calls));
    }
    {
        // Rate and block size changed while suspended: the new chain is ready before resume.
        Plugin p;
        p.setUp(kRate, 64);
        countedPlay(p, glide(kRate, 4096), 64);
        p.setUp(48000.0f, 441);
        const long calls = countedPlay(p, glide(48000.0f, 24000), 441);
        check(calls == 0,
              format("glide after a change to 48000 Hz, block 441: %ld heap calls", calls));
    }
    {
        Plugin p;
        p.setUp(kRate, 64);
        const long calls =
            countedPlay(p, sweep, 64, [&](int block) { change(p, uint32_t(block)); });
        check(calls == 0, format("glide, block 64, Depth/Effect/DutyRatio/Tone/Steps/program "
                                 "changed between blocks: %ld heap calls",
                                 calls));
    }
    {
        Plugin p;
        p.setUp(kRate, 64);
        std::atomic<bool> playing{true};
        std::thread automation([&] {
            for (uint32_t step = 0; playing.load(); ++step) {
                change(p, step);
                std::this_thread::yield();
            }
        });
        const long calls = countedPlay(p, shortSweep, 64);
        playing.store(false);
        automation.join();
        check(calls == 0, format("glide, block 64, the same changes from another thread while "
                                 "audio runs: %ld heap calls",
                                 calls));
    }
    {
        // A host announces a long block while its heap refuses large requests (a fragmented
        // 32-bit host): the plug-in keeps the sizes it has and stays within its buffers.
        Plugin p;
        p.setUp(kRate, 1024);
        p.suspend();
        heapprobe::begin();
        heapprobe::refuseFrom(256 * 1024);
        p.call(effSetBlockSize, 0, 16384);
        const long refused = heapprobe::refusals();
        heapprobe::refuseFrom(0);
        heapprobe::end();
        p.resume();
        bool fine = true;
        float peak = 0.0f;
        for (const NamedSignal& input : standardInputs(kRate, 16384)) {
            std::vector<float> left(16384 + 2, 9.0f), right(16384 + 2, 9.0f);
            p.process(input.samples.data(), left.data() + 1, right.data() + 1, 16384);
            const OutputFacts facts = examine(left.data() + 1, 16384);
            fine = fine && facts.finite && left.front() == 9.0f && left.back() == 9.0f &&
                   facts.peak <= 100.0f * std::max(peakOf(input.samples), 1e-30f);
            peak = std::max(peak, facts.peak);
        }
        check(refused > 0 && fine,
              format("block size 16384 announced while requests of 256 KiB fail (%ld refused): "
                     "16384-frame blocks play finite and bounded (peak %.3g), within the block",
                     refused, peak));
    }
}

}  // namespace validator
