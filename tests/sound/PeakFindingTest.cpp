#include "sound/PeakFinding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace tanuvo::sound;

namespace {

using Indices = std::vector<int>;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

Indices peaks(const std::vector<float>& v) {
    Indices list;
    findPeakIndices(list, v.data(), static_cast<int>(v.size()));
    return list;
}

Indices extremes(const std::vector<float>& v) {
    Indices list;
    findRegionExtremes(list, v.data(), static_cast<int>(v.size()));
    return list;
}

Indices upwardCrossings(const std::vector<float>& v) {
    Indices list;
    findUpwardZeroCrossings(list, v.data(), static_cast<int>(v.size()));
    return list;
}

}  // namespace

TEST(PeakFinding, PeakIndicesOfShortSequences) {
    EXPECT_EQ(peaks({0, 1, 2, 1, 0}), (Indices{2}));
    EXPECT_EQ(peaks({1, 0, 1, 0, 1}), (Indices{2}));
    EXPECT_EQ(peaks({0, 1, 1, 0}), (Indices{2}));
    EXPECT_EQ(peaks({0, 1, 2, 3}), (Indices{}));
    EXPECT_EQ(peaks({3, 3, 3}), (Indices{}));
    EXPECT_EQ(peaks({}), (Indices{}));
    EXPECT_EQ(peaks({1}), (Indices{}));
    EXPECT_EQ(peaks({2, 2, 1, 3, 3, 0, 5, 4, 6}), (Indices{4, 6}));
}

TEST(PeakFinding, PeakIndicesNeverListTheStartAndAppend) {
    // Shaped like an NSDF: starts at its global maximum.
    std::vector<float> v(200);
    for (int i = 0; i < 200; ++i) {
        v[i] = static_cast<float>(std::cos(2 * 3.14159265358979323846 * i / 50) * (1 - i / 400.0));
    }
    Indices list = {-7};
    findPeakIndices(list, v.data(), 200);
    EXPECT_EQ(list, (Indices{-7, 50, 100, 150}));
}

TEST(PeakFinding, NotANumberIsNeitherRisingNorFalling) {
    EXPECT_EQ(peaks({kNaN, kNaN, kNaN}), (Indices{}));
    EXPECT_EQ(peaks({kNaN, 0, 1, 0}), (Indices{2}));
    EXPECT_EQ(peaks({0, 1, kNaN, 0.5f, 0}), (Indices{3}));
}

TEST(PeakFinding, RegionExtremes) {
    EXPECT_EQ(extremes({0.5f, 0.2f, -0.3f, -0.6f, -0.1f, 0.4f, 0.7f}), (Indices{0, 3, 6}));
    EXPECT_EQ(extremes({0.5f, 0.2f, -0.3f, -0.6f, -0.1f, 0.4f}), (Indices{0, 3}));
    EXPECT_EQ(extremes({0.5f, 0.2f, 0.5f}), (Indices{0}));
    EXPECT_EQ(extremes({-0.5f, -0.7f, -0.7f}), (Indices{1}));
    EXPECT_EQ(extremes({0, 0, 0}), (Indices{}));
    EXPECT_EQ(extremes({0.4f}), (Indices{}));
    EXPECT_EQ(extremes({}), (Indices{}));
    EXPECT_EQ(extremes({0.2f, kNaN, 0.3f}), (Indices{}));
    EXPECT_EQ(extremes({0.1f, 0.9f, 0.2f, -0.4f, -0.2f}), (Indices{1, 3}));
}

TEST(PeakFinding, UpwardZeroCrossings) {
    EXPECT_EQ(upwardCrossings({-1, 0, 1, -1, 1}), (Indices{2, 4}));
    EXPECT_EQ(upwardCrossings({0, 0, 0}), (Indices{}));
    EXPECT_EQ(upwardCrossings({1, 1, -1, kNaN, 1, 0, 2}), (Indices{6}));
}

TEST(PeakFinding, RangeMaximum) {
    const std::vector<float> v = {-3, -1, -2, -5, -4, -0.5f, -9};
    EXPECT_EQ(rangeMaximum(v.data(), 7, 0), 0.0f);
    const std::vector<float> w = {1, 9, 2, 3, 4, 8, 5, kNaN, 6};
    EXPECT_EQ(rangeMaximum(w.data(), 9, 0), 9.0f);
    EXPECT_EQ(rangeMaximum(w.data(), 9, 2), 8.0f);
    EXPECT_EQ(rangeMaximum(w.data(), 5, 2), 4.0f);
    EXPECT_EQ(rangeMaximum(w.data(), 2, 2), 0.0f);
    EXPECT_EQ(rangeMaximum(w.data(), 1, 5), 0.0f);
}

TEST(PeakFinding, RangeMinMax) {
    float pair[2] = {-1, -1};
    const std::vector<float> positive = {1, 2, 3, 4, 5, 4, 3};
    rangeMinMax(pair, positive.data(), 7, 0);
    EXPECT_EQ(pair[0], 0.0f);
    EXPECT_EQ(pair[1], 5.0f);

    const std::vector<float> mixed = {0.5f, -2, kNaN, 3, -4, 1, -1, 2.5f, -3.5f};
    rangeMinMax(pair, mixed.data(), 9, 0);
    EXPECT_EQ(pair[0], -4.0f);
    EXPECT_EQ(pair[1], 3.0f);
    rangeMinMax(pair, mixed.data(), 9, 5);
    EXPECT_EQ(pair[0], -3.5f);
    EXPECT_EQ(pair[1], 2.5f);
    rangeMinMax(pair, mixed.data(), 3, 3);
    EXPECT_EQ(pair[0], 0.0f);
    EXPECT_EQ(pair[1], 0.0f);
}

TEST(PeakFinding, CrossingsAndRangesMatchTheirDefinitionsOnEveryStretch) {
    // Few distinct values (zeros of both signs and NaN among them) make ties and runs common.
    std::mt19937 rng(11);
    const float values[] = {-2.0f, -1.0f, -0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 2.0f, 3.0f, kNaN};
    std::vector<float> v(67);
    for (int round = 0; round < 200; ++round) {
        for (float& x : v) {
            x = values[rng() % 10];
        }
        for (int from = 0; from < 9; ++from) {
            for (int end = from; end <= static_cast<int>(v.size()); ++end) {
                Indices expected;
                float low = 0.0f, high = 0.0f;
                for (int i = from; i < end; ++i) {
                    if (i > from && v[i - 1] <= 0.0f && v[i] > 0.0f) {
                        expected.push_back(i - from);
                    }
                    low = v[i] < low ? v[i] : low;
                    high = v[i] > high ? v[i] : high;
                }
                Indices got;
                findUpwardZeroCrossings(got, v.data() + from, end - from);
                ASSERT_EQ(expected, got) << from << ".." << end;
                float pair[2];
                rangeMinMax(pair, v.data(), end, from);
                // Bitwise, so that a zero keeps its sign.
                ASSERT_EQ(0, std::memcmp(&low, &pair[0], sizeof(float))) << from << ".." << end;
                ASSERT_EQ(0, std::memcmp(&high, &pair[1], sizeof(float))) << from << ".." << end;
            }
        }
    }
}

namespace {

// The region walk taken one pair at a time: its rules for zeros and NaN between regions are the
// definition, which the walk four pairs at a time must keep.
Indices regionExtremesOneByOne(const std::vector<float>& v) {
    Indices list;
    const int n = static_cast<int>(v.size());
    int maxIndex = -1, minIndex = -1;
    float max = 0.0f, min = 0.0f;
    int kind = 0;  // 1 positive, 2 negative, 0 anything else
    for (int i = 0; i + 1 < n; ++i) {
        const float a = v[i], b = v[i + 1];
        kind = 0;
        if (a == b && a == 0.0f) {
        } else if (a > 0.0f && b <= 0.0f) {
            const int peak = a > max ? i : maxIndex;
            if (peak >= 0) {
                list.push_back(peak);
            }
            maxIndex = -1;
            max = 0.0f;
        } else if (a < 0.0f && b >= 0.0f) {
            const int trough = a < min ? i : minIndex;
            if (trough >= 0) {
                list.push_back(trough);
            }
            minIndex = -1;
            min = 0.0f;
        } else if (a >= 0.0f && b >= 0.0f) {
            kind = 1;
            if (a > max) {
                max = a;
                maxIndex = i;
            }
        } else if (a <= 0.0f && b <= 0.0f) {
            kind = 2;
            if (a < min) {
                min = a;
                minIndex = i;
            }
        }
    }
    const int end = kind == 1   ? (v[n - 1] > max ? n - 1 : maxIndex)
                    : kind == 2 ? (v[n - 1] < min ? n - 1 : minIndex)
                                : -1;
    if (n >= 2 && end >= 0) {
        list.push_back(end);
    }
    return list;
}

}  // namespace

TEST(PeakFinding, RegionExtremesOfLongRegionsMatchTheWalkOnePairAtATime) {
    // Long runs of one sign, with repeated levels, zeros of both signs and NaN between them.
    std::mt19937 rng(17);
    for (int round = 0; round < 3000; ++round) {
        std::vector<float> v;
        while (v.size() < 80) {
            const int kind = static_cast<int>(rng() % 8);
            const float sign = rng() % 2 ? 1.0f : -1.0f;
            const int run = 1 + static_cast<int>(rng() % 13);
            for (int k = 0; k < run; ++k) {
                v.push_back(kind == 0   ? 0.0f
                            : kind == 1 ? -0.0f
                            : kind == 2 ? kNaN
                                        : sign * static_cast<float>(1 + rng() % 4));
            }
        }
        v.resize(static_cast<size_t>(round % 80) + 1);
        ASSERT_EQ(regionExtremesOneByOne(v), extremes(v)) << round;
    }
}

TEST(PeakFinding, PeakIndicesOfLongSequencesAreTheLastIndicesOfEveryRiseBeforeAFall) {
    // Few levels, so plateaus after rises and after falls are common; no NaN here.
    std::mt19937 rng(29);
    for (int round = 0; round < 3000; ++round) {
        std::vector<float> v(1 + round % 90);
        float level = 0.0f;
        for (float& x : v) {
            level += static_cast<float>(static_cast<int>(rng() % 5) - 2) * (rng() % 3 == 0);
            x = level;
        }
        Indices expected;
        bool rising = false;
        for (size_t p = 0; p + 1 < v.size(); ++p) {
            if (v[p + 1] > v[p]) {
                rising = true;
            } else if (v[p] > v[p + 1]) {
                if (rising) {
                    expected.push_back(static_cast<int>(p));
                }
                rising = false;
            }
        }
        ASSERT_EQ(expected, peaks(v)) << round;
    }
}
