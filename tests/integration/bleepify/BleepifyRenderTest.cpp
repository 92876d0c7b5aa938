// Rendering files through the real plug-in: the plumbing around the audio (formats, channels,
// lengths, rates, block sizes, bypass) rather than the sound itself.

#include <sndfile.h>

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/integration/bleepify/BleepifyTestSupport.h"

using namespace bleepify_test;

namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

void expectTwoEqualFiniteChannels(const Audio& audio) {
    ASSERT_EQ(audio.channels, 2);
    for (int64_t i = 0; i < audio.frames; ++i) {
        ASSERT_TRUE(std::isfinite(audio.at(i, 0))) << "frame " << i;
        ASSERT_EQ(audio.at(i, 0), audio.at(i, 1)) << "frame " << i;
    }
}

// Runs bleepify on arguments that end in the output file, which must succeed, and reads that file.
Audio rendered(const std::vector<std::string>& arguments) {
    const RunResult run = runBleepify(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return readAudio(arguments.back());
}

TEST(BleepifyRender, OutputIsStereoWithTheInputsLengthAndRateForEveryBlockSize) {
    ScratchDirectory dir;
    // A length that no block size below divides, so the last block is always partial.
    const int64_t frames = 44100 + 17;
    writeAudio(dir.path("in.wav"), kFloatWav, 1, 44100, voicedTone(220.0, 44100, frames));
    for (const char* block : {"64", "256", "1024", "1500"}) {
        SCOPED_TRACE(block);
        const RunResult run = runBleepify(
            {"--block", block, "--effect", "square", dir.path("in.wav"), dir.path("out.wav")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const Audio out = readAudio(dir.path("out.wav"));
        EXPECT_EQ(out.sampleRate, 44100);
        EXPECT_EQ(out.frames, frames);
        expectTwoEqualFiniteChannels(out);
    }
    // The lowest and highest rates the plug-in takes (one step beyond each is an error).
    for (const int rate : {1000, 768000}) {
        SCOPED_TRACE(rate);
        writeAudio(dir.path("edge.wav"), kFloatWav, 1, rate, voicedTone(110.0, rate, 3000));
        const Audio out = rendered({dir.path("edge.wav"), dir.path("out.wav")});
        EXPECT_EQ(out.sampleRate, rate);
        EXPECT_EQ(out.frames, 3000);
        expectTwoEqualFiniteChannels(out);
    }
}

TEST(BleepifyRender, PowerOffAndZeroMixPassTheInputThroughBitExactly) {
    ScratchDirectory dir;
    const int64_t frames = 30000 + 7;
    const std::vector<float> input = voicedTone(330.0, 44100, frames);
    writeAudio(dir.path("in.wav"), kFloatWav, 1, 44100, input);
    const std::vector<std::vector<std::string>> bypasses = {
        {"--power", "off"}, {"--POWER=0"}, {"--mix", "0", "--volume", "0.5"}};
    for (const auto& options : bypasses) {
        SCOPED_TRACE(options[0]);
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(),
                         {"--block", "300", dir.path("in.wav"), dir.path("out.wav")});
        const RunResult run = runBleepify(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const Audio out = readAudio(dir.path("out.wav"));
        ASSERT_EQ(out.frames, frames);
        ASSERT_EQ(out.channels, 2);
        for (int64_t i = 0; i < frames; ++i) {
            ASSERT_EQ(out.at(i, 0), input[static_cast<size_t>(i)]) << "frame " << i;
            ASSERT_EQ(out.at(i, 1), input[static_cast<size_t>(i)]) << "frame " << i;
        }
    }
}

TEST(BleepifyRender, MultichannelInputIsMixedDownAndKeepsItsSampleRate) {
    ScratchDirectory dir;
    const int64_t frames = 12000;
    const std::vector<float> left = voicedTone(200.0, 48000, frames);
    const std::vector<float> right = voicedTone(300.0, 48000, frames);
    std::vector<float> stereo;
    for (int64_t i = 0; i < frames; ++i) {
        stereo.push_back(left[static_cast<size_t>(i)]);
        stereo.push_back(right[static_cast<size_t>(i)]);
    }
    writeAudio(dir.path("stereo.wav"), kFloatWav, 2, 48000, stereo);

    const Audio out = rendered({"--power", "off", dir.path("stereo.wav"), dir.path("out.wav")});
    EXPECT_EQ(out.sampleRate, 48000);
    ASSERT_EQ(out.frames, frames);
    ASSERT_EQ(out.channels, 2);
    for (int64_t i = 0; i < frames; ++i) {
        const float mono = (left[static_cast<size_t>(i)] + right[static_cast<size_t>(i)]) / 2.0f;
        ASSERT_FLOAT_EQ(out.at(i, 0), mono) << "frame " << i;
    }

    // Processing (not only bypass) at another rate.
    const Audio saw = rendered({"--effect", "saw", dir.path("stereo.wav"), dir.path("saw.wav")});
    EXPECT_EQ(saw.sampleRate, 48000);
    EXPECT_EQ(saw.frames, frames);
    expectTwoEqualFiniteChannels(saw);
}

TEST(BleepifyRender, ReadsAndWritesWavAiffFlacAndOgg) {
    ScratchDirectory dir;
    const int64_t frames = 22050;
    const std::vector<float> input = voicedTone(250.0, 22050, frames);
    writeAudio(dir.path("in.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 22050, input);
    writeAudio(dir.path("in.aiff"), SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 1, 22050, input);
    writeAudio(dir.path("in.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1, 22050, input);

    struct Case {
        const char* in;
        const char* out;
        bool exactLength;  // a lossy stream's length is not guaranteed to the frame
    };
    for (const Case& c : {Case{"in.flac", "out.aiff", true}, Case{"in.aiff", "out.flac", true},
                          Case{"in.flac", "out.ogg", false}, Case{"in.ogg", "out.wav", false}}) {
        SCOPED_TRACE(std::string(c.in) + " -> " + c.out);
        const Audio out = rendered({"--power", "off", dir.path(c.in), dir.path(c.out)});
        EXPECT_EQ(out.channels, 2);
        EXPECT_EQ(out.sampleRate, 22050);
        if (c.exactLength) {
            ASSERT_EQ(out.frames, frames);
            // Bypassed, so only the formats' quantisation separates output from input.
            for (int64_t i = 0; i < frames; i += 97) {
                EXPECT_NEAR(out.at(i, 0), input[static_cast<size_t>(i)], 1.0 / 32768);
            }
        } else {
            EXPECT_NEAR(static_cast<double>(out.frames), static_cast<double>(frames), 2048.0);
        }
    }

    // Whole files in layouts that a check for cut files must not mistake for cut ones.
    std::vector<float> six;
    for (const float sample : input) {
        six.insert(six.end(), 6, sample);
    }
    struct Layout {
        const char* name;
        int format;
        const std::vector<float>& samples;
    };
    for (const Layout& layout : {Layout{"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, six},
                                 Layout{"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, input},
                                 Layout{"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, input},
                                 Layout{"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, input},
                                 Layout{"rf64.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_32, input},
                                 Layout{"float.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, six},
                                 Layout{"stream.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, six},
                                 Layout{"trailer.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, input}}) {
        SCOPED_TRACE(layout.name);
        const int channels = static_cast<int>(layout.samples.size() / input.size());
        writeAudio(dir.path(layout.name), layout.format, channels, 22050, layout.samples);
        std::string bytes = readText(dir.path(layout.name));
        if (layout.name == std::string("stream.wav")) {
            // Written to a pipe: the sizes were never filled in.
            setLittleEndian32(bytes, 4, 0xFFFFFFFF);
            setLittleEndian32(bytes, bytes.find("data") + 4, 0xFFFFFFFF);
        } else if (layout.name == std::string("trailer.wav")) {
            // A chunk after the audio data.
            bytes += std::string("note\x05\0\0\0hello\0", 14);
            setLittleEndian32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));
        }
        writeText(dir.path(layout.name), bytes);
        for (const char* command : {"render", "pitch"}) {
            const RunResult run =
                command == std::string("pitch")
                    ? runBleepify({"pitch", dir.path(layout.name)})
                    : runBleepify({"--power", "off", dir.path(layout.name), dir.path("out.wav")});
            ASSERT_EQ(run.status, 0) << command << ": " << run.err;
        }
        EXPECT_EQ(readAudio(dir.path("out.wav")).frames, frames);
    }
}

TEST(BleepifyRender, ExplicitPluginPathAndProgramAreAccepted) {
    ScratchDirectory dir;
    writeAudio(dir.path("in.wav"), kFloatWav, 1, 44100, voicedTone(220.0, 44100, 5000));
    const RunResult run = runBleepify({"--plugin", BLEEPIFIER_PLUGIN, "--program", "15",
                                       dir.path("in.wav"), dir.path("out.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readAudio(dir.path("out.wav")).frames, 5000);

    // A bare file name means the file in the current directory, not a library search.
    std::filesystem::copy_file(BLEEPIFIER_PLUGIN, dir.path("copy.so"));
    const RunResult bare = runBleepify({"params", "--plugin", "copy.so"}, dir.path(""));
    EXPECT_EQ(bare.status, 0) << bare.err;
}

TEST(BleepifyRender, OverwritesAnExistingOutputAndMayReplaceItsOwnInput) {
    ScratchDirectory dir;
    const std::vector<float> input = voicedTone(220.0, 44100, 4000);
    writeAudio(dir.path("in.wav"), kFloatWav, 1, 44100, input);
    writeText(dir.path("out.wav"), "an old file");
    ASSERT_EQ(runBleepify({dir.path("in.wav"), dir.path("out.wav")}).status, 0);
    EXPECT_EQ(readAudio(dir.path("out.wav")).channels, 2);

    // In place: the input is read to the end before the result replaces it.
    ASSERT_EQ(runBleepify({"--power", "off", dir.path("in.wav"), dir.path("in.wav")}).status, 0);
    const Audio replaced = readAudio(dir.path("in.wav"));
    ASSERT_EQ(replaced.frames, 4000);
    EXPECT_EQ(replaced.at(1234, 1), input[1234]);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

}  // namespace
