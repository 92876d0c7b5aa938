// A host that measures or compares built plug-in binaries through their exported entry, natively
// or as a Win32 program under Wine, where Google Benchmark is not available.
//
//   bench_host PLUGIN [REFERENCE]   real-time factor (seconds of audio per CPU second) per
//                                   waveform and host block size on the demo phrase at 44.1 kHz;
//                                   with a reference binary, both are timed in turn, cell by cell
//   bench_host --compare REFERENCE PLUGIN
//                                   renders the demo phrase through both for every waveform and
//                                   block size and prints the differences of the outputs
// Options: --blocks 32,64,... --waves 0,1,... --seconds S (CPU time per measurement, default
// 0.5; under Wine the thread's CPU time advances in steps of 10 ms) --rounds N (measurements per
// cell, the best counts; default 3) --tolerance T (largest RMS difference --compare accepts,
// default 1e-6) --set INDEX=VALUE (a parameter value set after the waveform, repeatable).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "PluginLoader.h"
#include "plugin/ParameterTable.h"
#include "tools/bleepify/DemoPhrase.h"
#include "tests/support/Hosts.h"

namespace {

constexpr int kRate = 44100;
constexpr int kEffectParameter = 2;

double threadCpuSeconds() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) * 1e-7;
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
#endif
}

using tanuvo::sound::vst::testing::quietHost;

const std::vector<float>& demoPhrase() {
    static const std::vector<float> phrase = tanuvo::bleepify::makeDemoPhrase(kRate);
    return phrase;
}

struct Setting {
    int index;
    float value;
};

// One effect of a loaded binary, prepared as a host does for one waveform and block size.
class Effect {
  public:
    Effect(VstPluginMainProc entry, int waveform, int blockSize,
           const std::vector<Setting>& settings)
        : blockSize(blockSize), in(blockSize), left(blockSize), right(blockSize) {
        effect = entry ? entry(quietHost) : nullptr;
        if (!effect) {
            return;
        }
        call(effOpen);
        call(effSetSampleRate, 0, 0, static_cast<float>(kRate));
        call(effSetBlockSize, 0, blockSize);
        call(effMainsChanged, 0, 1);
        effect->setParameter(effect, kEffectParameter,
                             waveform == 5 ? 1.0f : static_cast<float>(waveform) / 6.0f);
        for (const Setting& s : settings) {
            effect->setParameter(effect, s.index, s.value);
        }
    }
    ~Effect() {
        if (effect) {
            call(effMainsChanged, 0, 0);
            call(effClose);
        }
    }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    bool ok() const { return effect != nullptr; }

    // Plays every whole block of the phrase once; keeps the left output when asked to.
    void play(std::vector<float>* output = nullptr) {
        const std::vector<float>& phrase = demoPhrase();
        float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        for (size_t start = 0; start + blockSize <= phrase.size(); start += blockSize) {
            std::copy(phrase.begin() + start, phrase.begin() + start + blockSize, in.begin());
            effect->processReplacing(effect, inputs, outputs, blockSize);
            if (output) {
                output->insert(output->end(), left.begin(), left.end());
            }
        }
    }

    double phraseSeconds() const {
        return static_cast<double>(demoPhrase().size() / blockSize * blockSize) / kRate;
    }

  private:
    void call(int32_t opcode, int32_t index = 0, intptr_t value = 0, float opt = 0.0f) {
        effect->dispatcher(effect, opcode, index, value, nullptr, opt);
    }

    AEffect* effect = nullptr;
    int blockSize;
    std::vector<float> in, left, right;
};

struct Options {
    std::vector<int> blocks{32, 64, 128, 256, 512, 1024, 2048};
    std::vector<int> waves{0, 1, 2, 3, 4, 5};
    double seconds = 0.5;
    int rounds = 3;
    double tolerance = 1e-6;
    bool compare = false;
    std::vector<Setting> settings;
    std::vector<std::string> plugins;
};

std::vector<int> parseList(const char* text) {
    std::vector<int> values;
    for (const char* p = text; *p;) {
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p) {
            break;
        }
        values.push_back(static_cast<int>(v));
        p = *end == ',' ? end + 1 : end;
    }
    return values;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--compare") {
            o.compare = true;
        } else if (a == "--blocks" && hasValue) {
            o.blocks = parseList(argv[++i]);
        } else if (a == "--waves" && hasValue) {
            o.waves = parseList(argv[++i]);
        } else if (a == "--seconds" && hasValue) {
            o.seconds = std::atof(argv[++i]);
        } else if (a == "--rounds" && hasValue) {
            o.rounds = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--tolerance" && hasValue) {
            o.tolerance = std::atof(argv[++i]);
        } else if (a == "--set" && hasValue) {
            const char* text = argv[++i];
            const char* equals = std::strchr(text, '=');
            if (!equals) {
                return false;
            }
            o.settings.push_back({std::atoi(text), static_cast<float>(std::atof(equals + 1))});
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else {
            o.plugins.push_back(a);
        }
    }
    for (int w : o.waves) {
        if (w < 0 || w > 5) {
            return false;
        }
    }
    for (int b : o.blocks) {
        if (b < 1 || b > 16384) {
            return false;
        }
    }
    const size_t wanted = o.compare ? 2 : o.plugins.size();
    return !o.plugins.empty() && o.plugins.size() <= 2 && o.plugins.size() == wanted;
}

// Real-time factor of one measurement: whole phrase passes until the CPU time is spent.
double measure(Effect& effect, double seconds) {
    const double start = threadCpuSeconds();
    int passes = 0;
    double spent = 0.0;
    do {
        effect.play();
        ++passes;
        spent = threadCpuSeconds() - start;
    } while (spent < seconds);
    return passes * effect.phraseSeconds() / spent;
}

int timeTable(const Options& o, const std::vector<VstPluginMainProc>& entries) {
    const bool versus = entries.size() == 2;
    std::printf("%-9s %6s %10s", "waveform", "block", "rtf");
    if (versus) {
        std::printf(" %10s %7s", "reference", "ratio");
    }
    std::printf("\n");
    for (int wave : o.waves) {
        for (int block : o.blocks) {
            std::vector<std::unique_ptr<Effect>> effects;
            for (VstPluginMainProc entry : entries) {
                effects.push_back(std::make_unique<Effect>(entry, wave, block, o.settings));
                if (!effects.back()->ok()) {
                    std::printf("the entry gave no effect\n");
                    return 1;
                }
                effects.back()->play();  // warm-up: fills the caches
            }
            // Rounds alternate between the binaries so that both see the same machine load.
            std::vector<double> best(entries.size(), 0.0);
            for (int r = 0; r < o.rounds; ++r) {
                for (size_t k = 0; k < effects.size(); ++k) {
                    best[k] = std::max(best[k], measure(*effects[k], o.seconds));
                }
            }
            std::printf("%-9s %6d %10.1f", tanuvo::sound::vst::kWaveforms[wave].display, block,
                        best[0]);
            if (versus) {
                std::printf(" %10.1f %7.2f", best[1], best[0] / best[1]);
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    return 0;
}

int compareOutputs(const Options& o, const std::vector<VstPluginMainProc>& entries) {
    std::printf("%-9s %6s %12s %12s\n", "waveform", "block", "rms diff", "max diff");
    double worst = 0.0;
    for (int wave : o.waves) {
        for (int block : o.blocks) {
            std::vector<float> out[2];
            for (int k = 0; k < 2; ++k) {
                Effect effect(entries[k], wave, block, o.settings);
                if (!effect.ok()) {
                    std::printf("the entry gave no effect\n");
                    return 1;
                }
                effect.play(&out[k]);
            }
            double sum = 0.0, largest = 0.0;
            for (size_t i = 0; i < out[0].size(); ++i) {
                const double d = static_cast<double>(out[0][i]) - out[1][i];
                sum += d * d;
                largest = std::max(largest, std::fabs(d));
            }
            const double rms = out[0].empty() ? 0.0 : std::sqrt(sum / out[0].size());
            worst = std::max(worst, std::isnan(rms) ? 1.0 : rms);
            std::printf("%-9s %6d %12.3g %12.3g\n", tanuvo::sound::vst::kWaveforms[wave].display,
                        block, rms, largest);
            std::fflush(stdout);
        }
    }
    std::printf("largest rms difference %.3g (tolerance %.3g)\n", worst, o.tolerance);
    return worst <= o.tolerance ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::printf(
            "usage: %s [options] PLUGIN [REFERENCE]\n"
            "       %s [options] --compare REFERENCE PLUGIN\n"
            "options: --blocks 32,64,... --waves 0,...,5 --seconds S --rounds N"
            " --tolerance T\n",
            argv[0], argv[0]);
        return 2;
    }
    std::vector<std::unique_ptr<PluginLoader>> loaders;
    std::vector<VstPluginMainProc> entries;
    for (const std::string& path : o.plugins) {
        loaders.push_back(std::make_unique<PluginLoader>(path));
        VstPluginMainProc entry = loaders.back()->entry("VSTPluginMain");
        if (!entry) {
            std::printf("cannot load %s: %s\n", path.c_str(), loaders.back()->error().c_str());
            return 1;
        }
        entries.push_back(entry);
    }
    return o.compare ? compareOutputs(o, entries) : timeTable(o, entries);
}
