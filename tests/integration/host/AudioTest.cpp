// The audio callback through the loaded library: bypass, odd block lengths, finite output.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MiniCheck.h"
#include "TestHost.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A voice-like test tone: harmonics of 220 Hz with a little noise, some denormals and extremes.
std::vector<float> testSignal(int frames, bool withOddValues) {
    std::vector<float> x(frames);
    uint32_t seed = 12345;
    for (int i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        double t = i / 44100.0;
        double v = 0.5 * std::sin(kTwoPi * 220 * t) + 0.25 * std::sin(kTwoPi * 440 * t) +
                   0.1 * std::sin(kTwoPi * 660 * t) + ((seed >> 8) / 16777216.0 - 0.5) * 0.01;
        x[i] = static_cast<float>(v);
    }
    if (withOddValues && frames > 8) {
        x[1] = 1e-40f;  // denormal
        x[2] = -0.0f;
        x[3] = 3.0e38f;
    }
    return x;
}

bool sameBits(const std::vector<float>& a, const float* b) {
    return std::memcmp(a.data(), b, a.size() * sizeof(float)) == 0;
}

void prepare(AEffect* e, int blockSize) {
    TestHost::call(e, effOpen);
    TestHost::call(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    TestHost::call(e, effSetBlockSize, 0, blockSize);
    TestHost::call(e, effMainsChanged, 0, 1);
}

// Runs frames of input through in host blocks of blockFrames; checks bit-exact pass-through.
bool bypassIsExact(AEffect* e, int blockFrames, int frames) {
    std::vector<float> input = testSignal(frames, true);
    std::vector<float> out0(frames, 7.0f);
    std::vector<float> out1(frames, 7.0f);
    for (int done = 0; done < frames; done += blockFrames) {
        int n = std::min(blockFrames, frames - done);
        float* ins[] = {input.data() + done};
        float* outs[] = {out0.data() + done, out1.data() + done};
        e->processReplacing(e, ins, outs, n);
    }
    return sameBits(input, out0.data()) && sameBits(input, out1.data());
}

}  // namespace

TEST_CASE("audio: power off passes the input through bit for bit") {
    for (int blockSize : {64, 256, 1000, 1024, 2048}) {
        AEffect* e = TestHost::instance().create();
        prepare(e, blockSize);
        e->setParameter(e, 1, 0.0f);
        CHECK(e->getParameter(e, 1) == 0.0f);
        CHECK(bypassIsExact(e, blockSize, 8192));
        TestHost::close(e);
    }
}

TEST_CASE("audio: mix 0 passes the input through bit for bit, volume not applied") {
    for (int blockSize : {128, 1024, 4096}) {
        AEffect* e = TestHost::instance().create();
        prepare(e, blockSize);
        e->setParameter(e, 3, 0.0f);
        e->setParameter(e, 0, 0.25f);
        CHECK(bypassIsExact(e, blockSize, 3 * 4096 + 17));
        TestHost::close(e);
    }
}

TEST_CASE("audio: in-place bypass, where the host's output is its input buffer") {
    AEffect* e = TestHost::instance().create();
    prepare(e, 512);
    e->setParameter(e, 1, 0.0f);
    std::vector<float> expected = testSignal(512, true);
    std::vector<float> buffer = expected;
    std::vector<float> other(512);
    float* ins[] = {buffer.data()};
    float* outs[] = {buffer.data(), other.data()};
    e->processReplacing(e, ins, outs, 512);
    CHECK(sameBits(expected, buffer.data()));
    CHECK(sameBits(expected, other.data()));
    TestHost::close(e);
}

TEST_CASE("audio: blocks longer, shorter than announced, and empty") {
    for (int announced : {64, 256, 1024, 2048}) {
        AEffect* e = TestHost::instance().create();
        prepare(e, announced);
        for (int frames :
             {0, 1, 7, announced - 1, announced, announced + 1, 3 * announced + 5, 5000}) {
            // Guard cells around the outputs catch writes past the block.
            std::vector<float> input = testSignal(frames + 1, false);
            std::vector<float> out0(frames + 2, 9.0f);
            std::vector<float> out1(frames + 2, 9.0f);
            float* ins[] = {input.data()};
            float* outs[] = {out0.data() + 1, out1.data() + 1};
            e->processReplacing(e, ins, outs, frames);
            CHECK(out0[0] == 9.0f && out0[frames + 1] == 9.0f);
            CHECK(out1[0] == 9.0f && out1[frames + 1] == 9.0f);
            bool finite = true;
            for (int i = 1; i <= frames; ++i) {
                finite = finite && std::isfinite(out0[i]) && out0[i] == out1[i];
            }
            CHECK(finite);
        }
        TestHost::close(e);
    }
}

TEST_CASE("audio: a steady 220 Hz voice comes out as a 220 Hz wave in every block size") {
    // Runs the whole analysis and synthesis, so that it checks the DFT passes the binary uses.
    const int frames = 44100;
    const std::vector<float> input = testSignal(frames, false);
    for (float waveform : {0.0f, 1.0f / 6.0f}) {
        for (int blockSize : {64, 1024}) {
            AEffect* e = TestHost::instance().create();
            prepare(e, blockSize);
            e->setParameter(e, 2, waveform);
            std::vector<float> out0(frames), out1(frames);
            for (int done = 0; done < frames; done += blockSize) {
                float* ins[] = {const_cast<float*>(input.data()) + done};
                float* outs[] = {out0.data() + done, out1.data() + done};
                e->processReplacing(e, ins, outs, std::min(blockSize, frames - done));
            }
            // Upward crossings over the second half second, past the filters' start.
            int first = -1, last = -1, cycles = -1;
            for (int i = frames / 2; i < frames; ++i) {
                if (out0[i - 1] <= 0.0f && out0[i] > 0.0f) {
                    first = first < 0 ? i : first;
                    last = i;
                    ++cycles;
                }
            }
            const double hz = cycles > 0 ? cycles * 44100.0 / (last - first) : 0.0;
            if (!(std::fabs(hz - 220.0) < 3.0)) {
                std::printf("  waveform %g, block %d: %g Hz\n", waveform, blockSize, hz);
            }
            CHECK(std::fabs(hz - 220.0) < 3.0);
            TestHost::close(e);
        }
    }
}
