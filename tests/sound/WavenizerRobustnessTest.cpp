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

namespace tanuvo::sound {
namespace {

// Any length, content and pitch a caller might hand over: no write outside the buffer, no
// exception, and the call after still works.
TEST(WavenizerRobustnessTest, OddCallsStayInsideTheBufferForEveryGenerator) {
    const double pitches[] = {220.0, 0.0,     -50.0,   std::nan(""),
                              1.0e9, 1.0e-30, 30000.0, std::numeric_limits<double>::infinity()};
    std::mt19937 generator(11);
    std::uniform_real_distribution<float> level(-1.0f, 1.0f);
    for (int blockSize : {300, 64}) {
        FIRFilterExecutorOFFT executor;
        SineWavenizer sine(44100.0, 300, &executor, blockSize);
        SquareWavenizer square(&sine);
        square.tone = 5.0;
        SquareWavenizer idealSquare(&sine);
        idealSquare.tone = 0.0;
        TriangleWavenizer triangle(&sine, 15);
        TriangleWavenizer smooth(&sine, 0);
        SawWavenizer saw(&sine);
        NoiseSource source(0x8000, 0, 100.0 / 44100.0, 0.0);
        NoiseWavenizer noise(&sine, &source, true);
        IWavenizer* generators[] = {&sine, &square, &idealSquare, &triangle, &smooth, &saw, &noise};
        for (int call = 0; call < 400; ++call) {
            const int length = static_cast<int>(generator() % 310);
            const double pitch = pitches[generator() % 8];
            sine.enabled = generator() % 5 != 0;
            std::vector<float> guarded(length + 64, 1234.5f);
            float* buffer = guarded.data() + 32;
            const int content = static_cast<int>(generator() % 4);
            for (int i = 0; i < length; ++i) {
                buffer[i] = content == 0   ? level(generator)
                            : content == 1 ? (i % 17 < 8 ? 0.5f : 0.0f)
                            : content == 2 ? std::sin(i * 0.06f) * 0.4f
                                           : (i == length / 2 ? std::nanf("") : level(generator));
            }
            IWavenizer* chosen = generators[generator() % 7];
            ASSERT_NO_THROW(chosen->wavenize(buffer, length, pitch));
            for (int i = 0; i < 32; ++i) {
                ASSERT_EQ(1234.5f, guarded[i]) << call;
                ASSERT_EQ(1234.5f, guarded[32 + length + i]) << call;
            }
        }
    }
}

}  // namespace
}  // namespace tanuvo::sound
