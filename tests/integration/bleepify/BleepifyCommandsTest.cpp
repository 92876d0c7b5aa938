// The commands besides plain rendering: params, pitch and the demo.

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/integration/bleepify/BleepifyTestSupport.h"

using namespace bleepify_test;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

// name -> value column of `bleepify params` output.
std::map<std::string, std::string> parameterValues(const std::string& csv) {
    std::map<std::string, std::string> values;
    for (const std::string& line : lines(csv)) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, ',');) {
            fields.push_back(field);
        }
        if (fields.size() >= 3) {
            values[fields[1]] = fields[2];
        }
    }
    return values;
}

TEST(BleepifyParams, OptionsReachThePluginByItsOwnParameterNames) {
    const RunResult run = runBleepify({"params", "--VOLUME", "0.5", "--power=off", "--duty",
                                       "0.125", "--Mix", "0.25", "--steps", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = lines(run.out);
    ASSERT_EQ(rows.size(), 9u) << run.out;
    EXPECT_EQ(rows[0], "index,name,value,display");
    auto values = parameterValues(run.out);
    EXPECT_EQ(values["Volume"], "0.5");
    EXPECT_EQ(values["Power"], "0");
    EXPECT_EQ(values["DutyRatio"], "0.125");
    EXPECT_EQ(values["Mix"], "0.25");
    EXPECT_EQ(values["Steps"], "1");
}

TEST(BleepifyParams, EveryWaveformNameSelectsItsOwnEffectValue) {
    // The plug-in reports i * (1/6) for waveform i and 1 for the last one.
    const std::vector<std::pair<std::string, std::string>> names = {
        {"sine", "0"},        {"Square", "0.16666667"},     {"triangle wave", "0.33333334"},
        {"SAW", "0.5"},       {"noise-long", "0.66666669"}, {"noise(L)", "0.66666669"},
        {"noise-short", "1"}, {"Noise(Short)", "1"},        {"0.5", "0.5"}};
    for (const auto& [name, expected] : names) {
        const RunResult run = runBleepify({"params", "--effect", name});
        ASSERT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_EQ(parameterValues(run.out)["Effect"], expected) << name;
    }
}

TEST(BleepifyParams, AProgramIsAppliedBeforeTheParameters) {
    const RunResult run = runBleepify({"params", "--volume", "0.25", "--program", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(parameterValues(run.out)["Volume"], "0.25");
}

TEST(BleepifyPitch, PrintsOneRowPerBlockFollowingTheTone) {
    ScratchDirectory dir;
    // 220.5 Hz is a whole lag of 200 samples at 44100 Hz; a second of silence follows.
    std::vector<float> input = voicedTone(220.5, 44100, 44100);
    input.resize(88200, 0.0f);
    writeAudio(dir.path("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100, input);

    for (int block : {1024, 256}) {
        SCOPED_TRACE(block);
        const RunResult run =
            runBleepify({"pitch", "--block", std::to_string(block), dir.path("tone.wav")});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> rows = lines(run.out);
        const size_t blocks = (88200 + block - 1) / block;
        ASSERT_EQ(rows.size(), blocks + 1);
        EXPECT_EQ(rows[0], "time_s,hz");
        int voiced = 0;
        int silent = 0;
        for (size_t i = 1; i < rows.size(); ++i) {
            const double time = std::atof(rows[i].c_str());
            EXPECT_NEAR(time, (i - 1) * block / 44100.0, 1e-5) << rows[i];
            const std::string hz = rows[i].substr(rows[i].find(',') + 1);
            if (time > 0.1 && time < 0.9) {
                voiced += std::abs(std::atof(hz.c_str()) - 220.5) < 1.0;
            } else if (time > 1.1) {
                silent += hz == "none";
            }
        }
        EXPECT_GT(voiced, static_cast<int>(0.8 * 44100 / block * 0.9)) << run.out;
        EXPECT_GT(silent, static_cast<int>(0.9 * 44100 / block * 0.9)) << run.out;
    }
}

TEST(BleepifyDemo, WritesTheInputAndOneSoundAndPicturePerWaveform) {
    ScratchDirectory dir;
    const std::string target = dir.path("demo/out");  // created, parents included
    const RunResult run = runBleepify({"--demo", target, "--block", "512"});
    ASSERT_EQ(run.status, 0) << run.err;

    const Audio input = readAudio(target + "/input.wav");
    EXPECT_EQ(input.channels, 1);
    EXPECT_EQ(input.sampleRate, 44100);
    EXPECT_GE(input.frames, 6 * 44100);
    EXPECT_LE(input.frames, 8 * 44100);

    const char* names[] = {"1-sine", "2-square",     "3-triangle",
                           "4-saw",  "5-noise-long", "6-noise-short"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const Audio out = readAudio(target + "/" + name + ".wav");
        EXPECT_EQ(out.channels, 2);
        EXPECT_EQ(out.sampleRate, 44100);
        EXPECT_EQ(out.frames, input.frames);
        double energy = 0.0;
        for (float sample : out.samples) {
            ASSERT_TRUE(std::isfinite(sample));
            energy += static_cast<double>(sample) * sample;
        }
        EXPECT_GT(energy, 0.0);

        // A PNG signature, then an IHDR chunk with a sensible size.
        const std::string png = readText(target + "/" + name + ".png");
        ASSERT_GT(png.size(), 33u);
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        auto bigEndian = [&](size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) |
                   (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) |
                   static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_GE(bigEndian(16), 800u);
        EXPECT_GE(bigEndian(20), 600u);
    }
    // The editor's picture, at the editor's size.
    const std::string editor = readText(target + "/editor.png");
    ASSERT_GT(editor.size(), 33u);
    EXPECT_EQ(editor.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(editor.substr(16, 8), std::string("\0\0\0\xf0\0\0\x01\x40", 8));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
}

}  // namespace
