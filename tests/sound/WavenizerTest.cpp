// What every generator promises through IWavenizer: tail calls as the whole call, no allocation
// once warm, and odd calls kept inside the buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "sound/NoiseWavenizer.h"
#include "sound/SawWavenizer.h"
#include "sound/SineWavenizer.h"
#include "sound/SquareWavenizer.h"
#include "sound/TriangleWavenizer.h"
#include "tests/sound/VoiceSignal.h"
#include "tests/support/AllocationCounter.h"

namespace tanuvo::sound {
namespace {

constexpr double kRate = 44100.0;

// One generator behind its own sine filter, as the plug-in chains them.
struct Rig {
    Rig(int window, int blockSize) : sine(kRate, window, &executor, blockSize) {}
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine;
    NoiseSource source{0x8000, 0, 100.0 / kRate, 0.0};
};

struct SineRig : Rig {
    using Rig::Rig;
    IWavenizer& generator() { return sine; }
    std::vector<double> carried() const { return {}; }
};

template <int kTone>
struct SquareRig : Rig {
    SquareRig(int window, int blockSize) : Rig(window, blockSize) { square.tone = kTone; }
    SquareWavenizer square{&sine};
    IWavenizer& generator() { return square; }
    std::vector<double> carried() const {
        std::vector<double> out(square.edgeShape.begin(), square.edgeShape.end());
        out.insert(out.end(), {square.lastMin, square.lastMax, double(square.lastCrossing)});
        return out;
    }
};

template <int kSteps>
struct TriangleRig : Rig {
    using Rig::Rig;
    TriangleWavenizer triangle{&sine, kSteps};
    IWavenizer& generator() { return triangle; }
    std::vector<double> carried() const { return {}; }
};

struct SawRig : Rig {
    using Rig::Rig;
    SawWavenizer saw{&sine};
    IWavenizer& generator() { return saw; }
    std::vector<double> carried() const { return {double(saw.carryOffset), saw.carryAmplitude}; }
};

template <bool kShort>
struct NoiseRig : Rig {
    using Rig::Rig;
    NoiseWavenizer noise{&sine, &source, kShort};
    IWavenizer& generator() { return noise; }
    std::vector<double> carried() const {
        return {noise.lastMin, noise.lastMax, double(source.shiftRegister), source.phase};
    }
};

template <typename R>
struct WavenizerTest : ::testing::Test {};
using Generators = ::testing::Types<SineRig, SquareRig<8>, SquareRig<0>, TriangleRig<15>,
                                    TriangleRig<0>, SawRig, NoiseRig<false>, NoiseRig<true>>;
TYPED_TEST_SUITE(WavenizerTest, Generators);

// A caller reading only the newest hop gets exactly the samples the whole-window call gives,
// and the carried state moves on alike, also when the hop holds no full cycle: at low pitches a
// window holds about two crossings and a square's edge may have to come from a cycle before the
// ones read.
TYPED_TEST(WavenizerTest, TailCallGivesTheWholeCallsNewestSamples) {
    const int window = 1024;
    for (const double pitch : {180.0, 150.0, 80.0, 65.0})
        for (const int hop : {32, 100, 300}) {
            TypeParam whole(window, window);
            TypeParam tail(window, window);
            const std::vector<float> voice = testing::makeVoice(pitch, kRate, 9000, 0.05);
            for (int start = 0; start + window <= static_cast<int>(voice.size()); start += hop) {
                std::vector<float> a(voice.begin() + start, voice.begin() + start + window);
                std::vector<float> b = a;
                whole.generator().wavenize(a.data(), window, pitch);
                tail.generator().wavenizeTail(b.data(), window, pitch, window - hop);
                for (int j = window - hop; j < window; ++j)
                    ASSERT_EQ(a[j], b[j])
                        << pitch << " Hz, hop " << hop << ": " << start << "+" << j;
                ASSERT_EQ(whole.carried(), tail.carried())
                    << pitch << " Hz, hop " << hop << ": " << start;
            }
        }
}

// Once its taps are cached, a steady voice is shaped without a heap allocation, also with the
// ring that short host blocks use.
TYPED_TEST(WavenizerTest, SteadyPitchWavenizesWithoutHeapAllocation) {
    const int window = 1024;
    const std::vector<float> voice = testing::makeVoice(220.0, kRate, 40 * window, 0.0);
    for (const int blockSize : {1024, 256}) {
        TypeParam rig(window, blockSize);
        rig.sine.widthRatio = 0.5;
        std::vector<float> buffer(window);
        long allocations = 0;
        for (int call = 0; call < 30; ++call) {
            buffer.assign(voice.begin() + call * blockSize,
                          voice.begin() + call * blockSize + window);
            if (call < 3) {
                rig.generator().wavenize(buffer.data(), window, 220.0);
                continue;
            }
            testing::AllocationCounter counter;
            rig.generator().wavenize(buffer.data(), window, 220.0);
            allocations += counter.allocations();
        }
        EXPECT_EQ(0, allocations) << "block " << blockSize;
    }
}

// Any length, content and pitch a caller might hand over: no write outside the buffer, no
// exception, and the call after still works.
TYPED_TEST(WavenizerTest, OddCallsStayInsideTheBuffer) {
    const double pitches[] = {220.0, 0.0,     -50.0,   std::nan(""),
                              1.0e9, 1.0e-30, 30000.0, std::numeric_limits<double>::infinity()};
    std::mt19937 generator(11);
    std::uniform_real_distribution<float> level(-1.0f, 1.0f);
    for (int blockSize : {300, 64}) {
        TypeParam rig(300, blockSize);
        for (int call = 0; call < 400; ++call) {
            const int length = static_cast<int>(generator() % 310);
            const double pitch = pitches[generator() % 8];
            rig.sine.enabled = generator() % 5 != 0;
            std::vector<float> guarded(length + 64, 1234.5f);
            float* buffer = guarded.data() + 32;
            const int content = static_cast<int>(generator() % 4);
            for (int i = 0; i < length; ++i) {
                buffer[i] = content == 0   ? level(generator)
                            : content == 1 ? (i % 17 < 8 ? 0.5f : 0.0f)
                            : content == 2 ? std::sin(i * 0.06f) * 0.4f
                                           : (i == length / 2 ? std::nanf("") : level(generator));
            }
            ASSERT_NO_THROW(rig.generator().wavenize(buffer, length, pitch));
            for (int i = 0; i < 32; ++i) {
                ASSERT_EQ(1234.5f, guarded[i]) << call;
                ASSERT_EQ(1234.5f, guarded[32 + length + i]) << call;
            }
        }
    }
}

}  // namespace
}  // namespace tanuvo::sound
