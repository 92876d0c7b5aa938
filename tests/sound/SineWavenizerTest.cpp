#include "sound/SineWavenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

using testing::makeSine;
using testing::makeVoice;

constexpr double kRate = 44100.0;

// A window of silence, then a voice.
std::vector<float> voiceAfterSilence(int window, double pitch, int count) {
    std::vector<float> signal(window, 0.0f);
    const std::vector<float> voice = makeVoice(pitch, kRate, count);
    signal.insert(signal.end(), voice.begin(), voice.end());
    return signal;
}

// The generator's filter written out directly: order taps over the signal, zeros before it.
std::vector<float> referenceFilter(const std::vector<float>& signal, double frequency, int order,
                                   double widthRatio) {
    BandPassTapCache holder;
    const float* taps = holder.getTaps(frequency, order, kRate, widthRatio);
    std::vector<float> output(signal.size());
    for (size_t j = 0; j < signal.size(); ++j) {
        double sum = 0.0;
        for (int k = 0; k < order && k <= static_cast<int>(j); ++k) {
            sum += static_cast<double>(taps[k]) * signal[j - k];
        }
        output[j] = static_cast<float>(sum);
    }
    return output;
}

float peakOf(const float* samples, int count) {
    float peak = 0.0f;
    for (int i = 0; i < count; ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

// Steady-state output amplitude for a unit sine, after a first call has filled the history.
float steadyGain(double frequency, double widthRatio) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    sine.widthRatio = widthRatio;
    std::vector<float> signal = makeSine(frequency, kRate, 2048);
    sine.wavenize(signal.data(), 1024, frequency);
    sine.wavenize(signal.data() + 1024, 1024, frequency);
    return peakOf(signal.data() + 1024, 1024);
}

TEST(SineWavenizerTest, RingExistsOnlyForBlocksShorterThanTheWindow) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer quarter(kRate, 1024, &executor, 256);
    ASSERT_NE(nullptr, quarter.inputRing());
    EXPECT_EQ(256, quarter.inputRing()->hop);
    EXPECT_EQ(1024, quarter.inputRing()->windowLength);
    SineWavenizer almost(kRate, 1024, &executor, 1000);
    ASSERT_NE(nullptr, almost.inputRing());
    EXPECT_EQ(1000, almost.inputRing()->hop);
    EXPECT_EQ(nullptr, SineWavenizer(kRate, 1024, &executor, 1024).inputRing());
    EXPECT_EQ(nullptr, SineWavenizer(kRate, 2048, &executor, 2048).inputRing());
    EXPECT_EQ(nullptr, SineWavenizer(kRate, 1024, &executor, 0).inputRing());
}

TEST(SineWavenizerTest, FilterOrderIsAboutThreePeriodsEvenAndBoundedByTheLength) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    EXPECT_EQ(310, sine.filterOrder(441.0, 1024));
    EXPECT_EQ(1022, sine.filterOrder(50.0, 1024));
    EXPECT_EQ(1022, sine.filterOrder(50.0, 1023));
    EXPECT_EQ(0, sine.filterOrder(1.0e9, 1024));
    EXPECT_EQ(1022, sine.filterOrder(1.0e-300, 1024));
}

TEST(SineWavenizerTest, OutputLagsTheFundamentalByHalfTheOrder) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    sine.widthRatio = 1.0;
    const std::vector<float> input = makeSine(441.0, kRate, 2048);
    std::vector<float> output = input;
    sine.wavenize(output.data(), 1024, 441.0);
    sine.wavenize(output.data() + 1024, 1024, 441.0);
    int bestLag = -1;
    double best = -1.0;
    for (int lag = 0; lag < 100; ++lag) {
        double correlation = 0.0;
        for (int j = 1024; j < 2048; ++j) {
            correlation += static_cast<double>(output[j]) * input[j - 100 - lag];
        }
        if (correlation > best) {
            best = correlation;
            bestLag = 100 + lag;
        }
    }
    EXPECT_EQ(155, bestLag);
}

TEST(SineWavenizerTest, GainAtThePitchFollowsTheWidthRatio) {
    EXPECT_NEAR(0.014, steadyGain(441.0, 0.0), 0.014 * 0.05);
    EXPECT_NEAR(0.16, steadyGain(441.0, 0.1), 0.16 * 0.05);
    EXPECT_NEAR(0.51, steadyGain(441.0, 1.0), 0.51 * 0.05);
    EXPECT_NEAR(0.046, steadyGain(110.0, 0.0), 0.046 * 0.05);
}

TEST(SineWavenizerTest, BlocksWithoutARingJoinIntoOneContinuousFilter) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    sine.widthRatio = 0.5;
    const std::vector<float> voice = makeVoice(220.0, kRate, 4096);
    std::vector<float> output = voice;
    const int order = sine.filterOrder(220.0, 512);
    for (int start = 0; start < 4096; start += 512) {
        sine.wavenize(output.data() + start, 512, 220.0);
    }
    const std::vector<float> expected = referenceFilter(voice, 220.0, order, 0.5);
    for (int j = 0; j < 4096; ++j) {
        ASSERT_NEAR(expected[j], output[j], 1e-4) << j;
    }
}

TEST(SineWavenizerTest, SlidingWindowWithARingJoinsIntoOneContinuousFilter) {
    const int window = 1024;
    const int hop = 256;
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, window, &executor, hop);
    sine.widthRatio = 0.5;
    const std::vector<float> padded = voiceAfterSilence(window, 220.0, 4096);
    const std::vector<float> expected =
        referenceFilter(padded, 220.0, sine.filterOrder(220.0, window), 0.5);
    for (int start = 0; start + window <= static_cast<int>(padded.size()); start += hop) {
        std::vector<float> slice(padded.begin() + start, padded.begin() + start + window);
        sine.wavenize(slice.data(), window, 220.0);
        for (int j = 0; j < window; ++j) {
            ASSERT_NEAR(expected[start + j], slice[j], 1e-4) << start << "+" << j;
        }
    }
}

// Tail calls filter only the newest hop; whole and tail calls mixed, with the pitch (and so the
// taps and order) changing now and then and the window moving on by less than a hop now and then
// (a host's short block), must each give what they write as the direct sum does: a tail call
// its newest hop, a whole call every sample.
TEST(SineWavenizerTest, TailCallsGiveTheNewestHopOfTheWholeFilterAcrossPitchAndModeChanges) {
    const int window = 1024;
    const int hop = 128;
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, window, &executor, hop);
    const std::vector<float> padded = voiceAfterSilence(window, 200.0, 8192);
    BandPassTapCache holder;
    const int advances[] = {hop, hop, 37, hop, 1, hop, hop, 100, hop, hop, hop, hop, 64};
    int call = 0;
    for (int start = 0; start + window <= static_cast<int>(padded.size());
         start += advances[++call % 13]) {
        const double pitch = (call / 5) % 3 == 0 ? 200.0 : (call / 5) % 3 == 1 ? 210.0 : 190.0;
        const bool whole = call % 11 == 7;
        std::vector<float> slice(padded.begin() + start, padded.begin() + start + window);
        sine.setAdvance(advances[call % 13]);
        if (whole) {
            sine.wavenize(slice.data(), window, pitch);
        } else {
            sine.wavenizeTail(slice.data(), window, pitch, window - hop);
        }
        const int order = sine.filterOrder(pitch, window);
        const float* taps = holder.getTaps(pitch, order, kRate, 0.0);
        for (int j = whole ? 0 : window - hop; j < window; ++j) {
            double sum = 0.0;
            for (int k = 0; k < order && k <= start + j; ++k) {
                sum += static_cast<double>(taps[k]) * padded[start + j - k];
            }
            ASSERT_NEAR(sum, slice[j], 1e-4) << "call " << call << " sample " << j;
        }
    }
}

TEST(SineWavenizerTest, AfterAGapTheHistoryIsThatOfTheLastCall) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    const std::vector<float> voice = makeVoice(300.0, kRate, 3072);
    std::vector<float> output = voice;
    sine.wavenize(output.data(), 1024, 300.0);
    // The middle block gets no call; the third follows the first as far as the filter knows.
    sine.wavenize(output.data() + 2048, 1024, 300.0);
    std::vector<float> joined(voice.begin(), voice.begin() + 1024);
    joined.insert(joined.end(), voice.begin() + 2048, voice.end());
    const std::vector<float> expected =
        referenceFilter(joined, 300.0, sine.filterOrder(300.0, 1024), 0.0);
    for (int j = 0; j < 1024; ++j) {
        ASSERT_NEAR(expected[1024 + j], output[2048 + j], 1e-5) << j;
    }
}

TEST(SineWavenizerTest, LeavesTheBufferAloneWhenItCannotOrMayNotAct) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    const std::vector<float> voice = makeVoice(200.0, kRate, 2048);
    std::vector<float> buffer = voice;
    sine.enabled = false;
    sine.wavenize(buffer.data(), 1024, 200.0);
    EXPECT_EQ(voice, buffer);
    sine.enabled = true;
    sine.wavenize(buffer.data(), 1, 200.0);
    sine.wavenize(buffer.data(), 0, 200.0);
    sine.wavenize(buffer.data(), -3, 200.0);
    sine.wavenize(buffer.data(), 2048, 200.0);
    sine.wavenize(buffer.data(), 1024, 0.0);
    sine.wavenize(buffer.data(), 1024, -5.0);
    sine.wavenize(buffer.data(), 1024, std::nan(""));
    sine.wavenize(nullptr, 1024, 200.0);
    EXPECT_EQ(voice, buffer);

    // None of those calls took any history: the next call starts from silence.
    FIRFilterExecutorOFFT freshExecutor;
    SineWavenizer fresh(kRate, 1024, &freshExecutor, 1024);
    std::vector<float> expected(voice.begin() + 1024, voice.end());
    fresh.wavenize(expected.data(), 1024, 200.0);
    sine.wavenize(buffer.data() + 1024, 1024, 200.0);
    EXPECT_EQ(expected, std::vector<float>(buffer.begin() + 1024, buffer.end()));
}

TEST(SineWavenizerTest, SilenceStaysSilentAndAFarTooHighPitchGivesSilence) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    std::vector<float> buffer(1024, 0.0f);
    sine.wavenize(buffer.data(), 1024, 440.0);
    EXPECT_EQ(0.0f, peakOf(buffer.data(), 1024));
    std::vector<float> voice = makeVoice(200.0, kRate, 1024);
    sine.wavenize(voice.data(), 1024, 1.0e9);
    EXPECT_EQ(0.0f, peakOf(voice.data(), 1024));
}

TEST(SineWavenizerTest, RequestedTapCacheClearTakesEffectAtTheNextCall) {
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    std::vector<float> buffer = makeSine(441.0, kRate, 1024);
    sine.wavenize(buffer.data(), 1024, 441.0);
    const int slot = BandPassTapCache::slotIndex(441.0);
    const float narrowCentre = sine.tapCache().cachedTaps(slot)[155];

    // Changing the width alone keeps the cached design, as the cache is keyed by pitch only.
    sine.widthRatio = 1.0;
    buffer = makeSine(441.0, kRate, 1024);
    sine.wavenize(buffer.data(), 1024, 441.0);
    EXPECT_EQ(narrowCentre, sine.tapCache().cachedTaps(slot)[155]);

    sine.requestTapCacheClear();
    EXPECT_NE(nullptr, sine.tapCache().cachedTaps(slot));
    buffer = makeSine(441.0, kRate, 1024);
    sine.wavenize(buffer.data(), 1024, 441.0);
    EXPECT_EQ(1, sine.tapCache().filledSlotCount());
    EXPECT_GT(sine.tapCache().cachedTaps(slot)[155], 10.0f * narrowCentre);
}

}  // namespace
}  // namespace tanuvo::sound

namespace tanuvo::sound {
namespace {

// Records the block length of every call it passes on to the whole-window filter.
class RecordingExecutor : public IFIRFilterExecutor {
  public:
    void execute(float* output, const float* input, int length, int tapCount,
                 const float* taps) override {
        lengths.push_back(length);
        inner.execute(output, input, length, tapCount, taps);
    }
    std::vector<int> lengths;
    FIRFilterExecutorOFFT inner;
};

TEST(SineWavenizerTest, SlidingWindowFiltersWholeOnlyWhenTapsInputOrNearSilenceRequireIt) {
    const int window = 1024;
    const int hop = 32;
    RecordingExecutor executor;
    SineWavenizer sine(kRate, window, &executor, hop);
    // Silence, then a voice: windows that still hold silence are filtered whole.
    const std::vector<float> signal = voiceAfterSilence(window, 220.0, 8192);
    const std::vector<float> expected =
        referenceFilter(signal, 220.0, sine.filterOrder(220.0, window), 0.0);
    std::vector<float> slice(window);
    auto slide = [&](int start, double frequency) {
        executor.lengths.clear();
        std::copy(signal.begin() + start, signal.begin() + start + window, slice.begin());
        sine.wavenize(slice.data(), window, frequency);
    };
    const int voiceFilled = 2 * window;  // silence and the filter's reach behind
    for (int start = 0; start + window <= 3 * window; start += hop) {
        slide(start, 220.0);
        const bool wholeExpected = start == 0 || start < voiceFilled - window;
        if (wholeExpected) {
            ASSERT_EQ(window, executor.lengths.back()) << start;
        } else if (start > voiceFilled) {
            // The newest samples go through the block filter; the executor is not called.
            ASSERT_EQ(std::vector<int>{}, executor.lengths) << start;
        }
        for (int j = 0; j < window; ++j) {
            ASSERT_NEAR(expected[start + j], slice[j], 1e-5) << start << "+" << j;
        }
    }
    // Another pitch, and a window that does not follow the last one: each filtered whole.
    slide(3 * window, 230.0);
    EXPECT_EQ(std::vector<int>{window}, executor.lengths);
    slide(3 * window + hop, 230.0);
    EXPECT_EQ(std::vector<int>{}, executor.lengths);
    slide(3 * window + 5 * hop, 230.0);
    EXPECT_EQ(std::vector<int>{window}, executor.lengths);
}

}  // namespace
}  // namespace tanuvo::sound
