#include "sound/PeakFinding.h"

#include "sound/FloatLanes.h"

namespace tanuvo::sound {

namespace {

// Decides which of the indices a walk reports enter the list. A negative index means the walk ran
// off the end and is never listed.
class AbstractPeakIndexCollector {
  public:
    virtual void addPeaks(std::vector<int>& list, const std::vector<int>& indices) {
        for (int index : indices) {
            addPeak(list, index);
        }
    }
    virtual void addPeak(std::vector<int>& list, int index) {
        if (index >= 0) {
            list.push_back(index);
        }
    }
    virtual void addTroughs(std::vector<int>& list, const std::vector<int>& indices) {
        for (int index : indices) {
            addTrough(list, index);
        }
    }
    virtual void addTrough(std::vector<int>& list, int index) = 0;

  protected:
    ~AbstractPeakIndexCollector() = default;
};

// Keeps maxima only.
class PositivePeakIndexCollector final : public AbstractPeakIndexCollector {
  public:
    void addTrough(std::vector<int>&, int) override {}
};

// Keeps maxima and minima in one list, in the order reported.
class BothPeakIndexCollector final : public AbstractPeakIndexCollector {
  public:
    void addTrough(std::vector<int>& list, int index) override { addPeak(list, index); }
};

// First index at or after from that is strictly greater than its successor, or -1.
int climbToPeak(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                int n, int from) {
    int i = from;
    // Runs between extremes are long: four steps at a time up to the group that holds the turn.
    while (i + lanes::kWidth + 1 <= n && !lanes::any(lanes::load(v + i) > lanes::load(v + i + 1))) {
        i += lanes::kWidth;
    }
    while (i + 1 < n && !(v[i] > v[i + 1])) {
        ++i;
    }
    const int result = (i + 1 < n) ? i : -1;
    collector.addPeak(list, result);
    return result;
}

// First index at or after from that is strictly smaller than its successor, or -1.
int descendToTrough(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                    int n, int from) {
    int i = from;
    while (i + lanes::kWidth + 1 <= n && !lanes::any(lanes::load(v + i + 1) > lanes::load(v + i))) {
        i += lanes::kWidth;
    }
    while (i + 1 < n && !(v[i + 1] > v[i])) {
        ++i;
    }
    const int result = (i + 1 < n) ? i : -1;
    collector.addTrough(list, result);
    return result;
}

// Walks a sequence by alternating two moves, starting with the one that matches how the sequence
// begins, and lists the maxima it meets.
class AbstractDirectionPeakCollector {
  public:
    virtual int step(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                     int n, int from) {
        const int next = firstMove(list, collector, v, n, from);
        return next < 0 ? next : secondMove(list, collector, v, n, next);
    }
    virtual int firstMove(std::vector<int>& list, AbstractPeakIndexCollector& collector,
                          const float* v, int n, int from) = 0;
    virtual int secondMove(std::vector<int>& list, AbstractPeakIndexCollector& collector,
                           const float* v, int n, int from) = 0;

    void findAll(std::vector<int>& list, const float* v, int n) {
        PositivePeakIndexCollector collector;
        int from = 0;
        do {
            from = firstMove(list, collector, v, n, from);
            if (from >= 0) {
                from = secondMove(list, collector, v, n, from);
            }
        } while (from != -1);
    }

  protected:
    ~AbstractDirectionPeakCollector() = default;
};

class PositiveDirectionPeakFinder final : public AbstractDirectionPeakCollector {
  public:
    int firstMove(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                  int n, int from) override {
        return climbToPeak(list, collector, v, n, from);
    }
    int secondMove(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                   int n, int from) override {
        return descendToTrough(list, collector, v, n, from);
    }
};

class NegativeDirectionPeakFinder final : public AbstractDirectionPeakCollector {
  public:
    int firstMove(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                  int n, int from) override {
        return descendToTrough(list, collector, v, n, from);
    }
    int secondMove(std::vector<int>& list, AbstractPeakIndexCollector& collector, const float* v,
                   int n, int from) override {
        return climbToPeak(list, collector, v, n, from);
    }
};

}  // namespace

// The finder and collector live on the stack: the pitch detector calls this once per audio block
// and must not allocate in the steady state.
void findPeakIndices(std::vector<int>& list, const float* v, int n) {
    for (int i = 0; i + 1 < n; ++i) {
        if (v[i + 1] > v[i]) {
            PositiveDirectionPeakFinder finder;
            finder.findAll(list, v, n);
            return;
        }
        if (v[i] > v[i + 1]) {
            NegativeDirectionPeakFinder finder;
            finder.findAll(list, v, n);
            return;
        }
    }
}

void findRegionExtremes(std::vector<int>& list, const float* v, int n) {
    if (n < 2) {
        return;
    }
    enum class Kind { FlatZero, DownCrossing, UpCrossing, Positive, Negative, None };
    BothPeakIndexCollector collector;
    int maxIndex = -1;
    int minIndex = -1;
    float max = 0.0f;
    float min = 0.0f;
    Kind kind = Kind::None;
    const auto take = [&](int i) {
        const float a = v[i];
        const float b = v[i + 1];
        if (a == b && a == 0.0f) {
            kind = Kind::FlatZero;
        } else if (a > 0.0f && b <= 0.0f) {
            kind = Kind::DownCrossing;
            collector.addPeak(list, a > max ? i : maxIndex);
            maxIndex = -1;
            max = 0.0f;
        } else if (a < 0.0f && b >= 0.0f) {
            kind = Kind::UpCrossing;
            collector.addTrough(list, a < min ? i : minIndex);
            minIndex = -1;
            min = 0.0f;
        } else if (a >= 0.0f && b >= 0.0f) {
            kind = Kind::Positive;
            if (a > max) {
                max = a;
                maxIndex = i;
            }
        } else if (a <= 0.0f && b <= 0.0f) {
            kind = Kind::Negative;
            if (a < min) {
                min = a;
                minIndex = i;
            }
        } else {
            kind = Kind::None;
        }
    };
    // Most of a window lies inside regions: four pairs of one sign at a time add only their
    // largest (smallest) value, at its first index, exactly as taking them one by one does.
    const lanes::v4f zero = lanes::broadcast(0.0f);
    int i = 0;
    for (; i + lanes::kWidth + 1 <= n; i += lanes::kWidth) {
        const lanes::v4f a = lanes::load(v + i);
        const lanes::v4f b = lanes::load(v + i + 1);
        const bool positive = !lanes::any(~((a > zero) & (b > zero)));
        const bool negative = !positive && !lanes::any(~((a < zero) & (b < zero)));
        if (!positive && !negative) {
            for (int k = i; k < i + lanes::kWidth; ++k) {
                take(k);
            }
            continue;
        }
        float extreme = a[0];
        for (int k = 1; k < lanes::kWidth; ++k) {
            extreme =
                positive ? (a[k] > extreme ? a[k] : extreme) : (a[k] < extreme ? a[k] : extreme);
        }
        if (positive ? extreme > max : extreme < min) {
            int at = i;
            while (v[at] != extreme) {
                ++at;
            }
            (positive ? max : min) = extreme;
            (positive ? maxIndex : minIndex) = at;
        }
        kind = positive ? Kind::Positive : Kind::Negative;
    }
    for (; i + 1 < n; ++i) {
        take(i);
    }
    const float last = v[n - 1];
    if (kind == Kind::Positive) {
        collector.addPeak(list, last > max ? n - 1 : maxIndex);
    } else if (kind == Kind::Negative) {
        collector.addTrough(list, last < min ? n - 1 : minIndex);
    }
}

void findUpwardZeroCrossings(std::vector<int>& list, const float* v, int n) {
    // Crossings are rare: four pairs are tested at once, and only a hit is looked at closely.
    const lanes::v4f zero = lanes::broadcast(0.0f);
    int i = 1;
    for (; i + lanes::kWidth <= n; i += lanes::kWidth) {
        if (!lanes::any((lanes::load(v + i - 1) <= zero) & (lanes::load(v + i) > zero))) {
            continue;
        }
        for (int k = i; k < i + lanes::kWidth; ++k) {
            if (v[k - 1] <= 0.0f && v[k] > 0.0f) {
                list.push_back(k);
            }
        }
    }
    for (; i < n; ++i) {
        if (v[i - 1] <= 0.0f && v[i] > 0.0f) {
            list.push_back(i);
        }
    }
}

bool findWholeCycles(std::vector<int>& list, const float* v, int n) {
    list.clear();
    findUpwardZeroCrossings(list, v, n);
    return list.size() >= 2;
}

float rangeMaximum(const float* v, int end, int from) {
    double max = 0.0;
    const auto take = [&](double x) {
        if (x > max) {
            max = x;
        }
    };
    int i = from;
    for (; i + 4 <= end; i += 4) {
        take(v[i]);
        take(v[i + 1]);
        take(v[i + 2]);
        take(v[i + 3]);
    }
    for (; i < end; ++i) {
        take(v[i]);
    }
    return static_cast<float>(max);
}

void rangeMinMax(float* minMax, const float* v, int end, int from) {
    // Starting from zero, a sample can raise the maximum or lower the minimum but never both, so
    // the two run independently, lane by lane, and the lanes' results combine the same way.
    float min = 0.0f;
    float max = 0.0f;
    int i = from;
    if (end - from >= 2 * lanes::kWidth) {
        // Two sets of lanes, so that each comparison waits for the one two steps back.
        lanes::v4f low[2] = {lanes::broadcast(0.0f), lanes::broadcast(0.0f)};
        lanes::v4f high[2] = {low[0], low[0]};
        for (; i + 2 * lanes::kWidth <= end; i += 2 * lanes::kWidth) {
            for (int s = 0; s < 2; ++s) {
                const lanes::v4f x = lanes::load(v + i + s * lanes::kWidth);
                high[s] = lanes::select(x > high[s], x, high[s]);
                low[s] = lanes::select(x < low[s], x, low[s]);
            }
        }
        for (int s = 0; s < 2; ++s) {
            for (int k = 0; k < lanes::kWidth; ++k) {
                max = high[s][k] > max ? high[s][k] : max;
                min = low[s][k] < min ? low[s][k] : min;
            }
        }
    }
    for (; i < end; ++i) {
        const float x = v[i];
        if (x > max) {
            max = x;
        } else if (x < min) {
            min = x;
        }
    }
    minMax[0] = min;
    minMax[1] = max;
}

}  // namespace tanuvo::sound
