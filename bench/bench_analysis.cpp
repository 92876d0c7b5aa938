// Speed of the pitch analysis: the real DFT at the lengths the plug-in uses, one NSDF and one
// pitch detection of a 1024-sample window, each beside a peer built on FFTW when it is installed.
#include "sound/NSDFCalculatorOFFT.h"
#include "sound/PitchDetectorNSDF.h"
#include "sound/RealDft.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#ifdef BLEEP_HAVE_FFTW
#include <fftw3.h>
#endif

using namespace tanuvo::sound;

namespace {

std::vector<double> randomSignal(int n) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x) {
        v = dist(rng);
    }
    return x;
}

std::vector<float> voiceWindow(int count, double sampleRate) {
    std::vector<float> x(count);
    for (int i = 0; i < count; ++i) {
        const double phase = 2 * 3.14159265358979323846 * 220.0 * i / sampleRate;
        x[i] = static_cast<float>(0.5 * std::sin(phase) + 0.2 * std::sin(2 * phase + 0.3) +
                                  0.1 * std::sin(3 * phase + 0.7));
    }
    return x;
}

// The machine may be shared: each figure is repeated and the fastest repetition is reported
// beside the median, as the least disturbed measurement.
void repeated(benchmark::internal::Benchmark* b) {
    b->Repetitions(9)->ReportAggregatesOnly(true)->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

struct Tables {
    explicit Tables(int n)
        : ip(static_cast<int>(std::floor(std::sqrt(n * 0.5))) + 2, 0), w(n / 2, 0.0) {}
    std::vector<int> ip;
    std::vector<double> w;
};

// The transforms work in place, so every timed call starts from a fresh copy of the input; the
// copy alone is timed too, so that it can be subtracted.
void BM_CopyOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = randomSignal(n);
    std::vector<double> a(n);
    for (auto _ : state) {
        std::memcpy(a.data(), x.data(), n * sizeof(double));
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyOnly)->Arg(2048)->Arg(4096)->Apply(repeated);

// One direction of the transform, on a fresh copy of the input each call.
void timeRealDft(benchmark::State& state, int direction) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = randomSignal(n);
    std::vector<double> a(x);
    Tables t(n);
    realDft(n, direction, a.data(), t.ip.data(), t.w.data());
    for (auto _ : state) {
        std::memcpy(a.data(), x.data(), n * sizeof(double));
        realDft(n, direction, a.data(), t.ip.data(), t.w.data());
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
}

void BM_RealDftForward(benchmark::State& state) {
    timeRealDft(state, 1);
}
BENCHMARK(BM_RealDftForward)->Arg(2048)->Arg(4096)->Apply(repeated);

void BM_RealDftInverse(benchmark::State& state) {
    timeRealDft(state, -1);
}
BENCHMARK(BM_RealDftInverse)->Arg(2048)->Arg(4096)->Apply(repeated);

constexpr int kWindow = 1024;
constexpr double kRate = 44100.0;

void BM_ComputeNsdf(benchmark::State& state) {
    const std::vector<float> x = voiceWindow(kWindow, kRate);
    std::vector<float> out(kWindow);
    NSDFCalculatorOFFT calculator(kRate, kWindow);
    calculator.computeNsdf(out.data(), x.data(), kWindow);
    for (auto _ : state) {
        calculator.computeNsdf(out.data(), x.data(), kWindow);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeNsdf)->Apply(repeated);

void BM_DetectPitch(benchmark::State& state) {
    const std::vector<float> x = voiceWindow(kWindow, kRate);
    NSDFCalculatorOFFT calculator(kRate, kWindow);
    PitchDetectorNSDF detector(kRate, kWindow, &calculator);
    double pitch = detector.detectPitch(x.data(), kWindow);
    for (auto _ : state) {
        pitch = detector.detectPitch(x.data(), kWindow);
        benchmark::DoNotOptimize(pitch);
    }
    state.counters["hz"] = pitch;
}
BENCHMARK(BM_DetectPitch)->Apply(repeated);

#ifdef BLEEP_HAVE_FFTW

// Times one FFTW plan and destroys it; a plan that overwrites its input gets a fresh copy of
// `fresh` before each call.
void timePlan(benchmark::State& state, fftw_plan plan, double* in, const std::vector<double>& fresh,
              const void* out) {
    for (auto _ : state) {
        if (!fresh.empty())
            std::memcpy(in, fresh.data(), fresh.size() * sizeof(double));
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
}

// FFTW's fastest real-to-complex double transform (out of place, input preserved).
void BM_FftwR2c(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    const std::vector<double> x = randomSignal(n);
    std::memcpy(in, x.data(), n * sizeof(double));
    timePlan(state, plan, in, {}, out);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_FftwR2c)->Arg(2048)->Arg(4096)->Apply(repeated);

// FFTW's complex-to-real inverse; it overwrites its input, so it gets a fresh copy each call.
void BM_FftwC2r(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    fftw_complex* in = fftw_alloc_complex(n / 2 + 1);
    double* out = fftw_alloc_real(n);
    fftw_plan plan = fftw_plan_dft_c2r_1d(n, in, out, FFTW_MEASURE);
    timePlan(state, plan, reinterpret_cast<double*>(in), randomSignal(n + 2), out);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_FftwC2r)->Arg(2048)->Arg(4096)->Apply(repeated);

// FFTW's in-place half-complex transform, fed a fresh copy like the in-place transform above.
void BM_FftwR2hcInPlace(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double* a = fftw_alloc_real(n);
    fftw_plan plan = fftw_plan_r2r_1d(n, a, a, FFTW_R2HC, FFTW_MEASURE);
    timePlan(state, plan, a, randomSignal(n), a);
    fftw_free(a);
}
BENCHMARK(BM_FftwR2hcInPlace)->Arg(2048)->Arg(4096)->Apply(repeated);

// The same NSDF built on FFTW's r2c and c2r transforms.
class FftwNsdf {
  public:
    explicit FftwNsdf(int window) : window_(window), energy_(window) {
        while (n_ < 2 * window) {
            n_ *= 2;
        }
        signal_ = fftw_alloc_real(n_);
        spectrum_ = fftw_alloc_complex(n_ / 2 + 1);
        forward_ = fftw_plan_dft_r2c_1d(n_, signal_, spectrum_, FFTW_MEASURE);
        inverse_ = fftw_plan_dft_c2r_1d(n_, spectrum_, signal_, FFTW_MEASURE);
    }
    ~FftwNsdf() {
        fftw_destroy_plan(inverse_);
        fftw_destroy_plan(forward_);
        fftw_free(spectrum_);
        fftw_free(signal_);
    }

    void compute(float* out, const float* x) {
        float sum = 0.0f;
        for (int tau = window_ - 1; tau >= 0; --tau) {
            sum += x[tau] * x[tau] + x[window_ - 1 - tau] * x[window_ - 1 - tau];
            energy_[tau] = sum;
        }
        for (int j = 0; j < window_; ++j) {
            signal_[j] = x[j];
        }
        for (int j = window_; j < n_; ++j) {
            signal_[j] = 0.0;
        }
        fftw_execute(forward_);
        for (int k = 0; k <= n_ / 2; ++k) {
            const float re = static_cast<float>(spectrum_[k][0]);
            const float im = static_cast<float>(spectrum_[k][1]);
            spectrum_[k][0] = re * re + im * im;
            spectrum_[k][1] = 0.0;
        }
        fftw_execute(inverse_);
        const double scale = 1.0 / n_;
        for (int tau = 0; tau < window_; ++tau) {
            out[tau] = static_cast<float>(signal_[tau] * scale) * 2.0f / energy_[tau];
        }
    }

  private:
    int window_;
    int n_ = 1;
    std::vector<float> energy_;
    double* signal_;
    fftw_complex* spectrum_;
    fftw_plan forward_;
    fftw_plan inverse_;
};

void BM_FftwNsdf(benchmark::State& state) {
    const std::vector<float> x = voiceWindow(kWindow, kRate);
    std::vector<float> out(kWindow);
    FftwNsdf nsdf(kWindow);
    for (auto _ : state) {
        nsdf.compute(out.data(), x.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FftwNsdf)->Apply(repeated);

#endif

}  // namespace

BENCHMARK_MAIN();
