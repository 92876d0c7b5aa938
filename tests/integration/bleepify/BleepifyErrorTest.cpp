// Every way a user can get bleepify wrong ends in one line on stderr, a non-zero status and no
// output file (an existing one stays as it was, and no temporary file is left behind).

#include <sndfile.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>

#include <gtest/gtest.h>

#include "tests/integration/bleepify/BleepifyTestSupport.h"

using namespace bleepify_test;

namespace {

struct ErrorCase {
    const char* what;
    std::vector<std::string> arguments;  // IN and OUT stand for the scratch files
    const char* mentions;                // a word the message must contain
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ErrorCase& error, std::ostream* out) {
    *out << error.what;
}

class BleepifyError : public ::testing::TestWithParam<ErrorCase> {};

std::string expand(const std::string& argument, const ScratchDirectory& dir) {
    const char* names[] = {"IN",        "OUT", "TEXT",    "DIR",  "MISSING",
                           "NODIR/OUT", "CUT", "DAMAGED", "SLOW", "FAST"};
    const char* files[] = {"in.wav",        "out.wav",  "notes.txt",    "sub",      "missing.wav",
                           "nodir/out.wav", "cut.flac", "damaged.flac", "slow.wav", "fast.wav"};
    for (size_t i = 0; i < std::size(names); ++i) {
        if (argument == names[i]) {
            return dir.path(files[i]);
        }
    }
    if (argument.rfind('@', 0) == 0) {  // any other scratch file by its name
        return dir.path(argument.substr(1));
    }
    if (argument == "NO_ENTRY") {
        return NO_ENTRY_LIBRARY;
    }
    if (argument == "NULL_ENTRY") {
        return NULL_ENTRY_LIBRARY;
    }
    return argument;
}

TEST_P(BleepifyError, PrintsOneLineExitsNonZeroAndLeavesNoOutput) {
    const ErrorCase& error = GetParam();
    ScratchDirectory dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100,
               voicedTone(220.0, 44100, 8000));
    writeText(dir.path("notes.txt"), "not audio, not a plug-in\n");
    // Whole files made and then cut or damaged: FLAC and Ogg in the middle (the Ogg long enough
    // that its headers survive) or before their last frame or page, an AIFF to 14956 of its
    // 44100 frames, an RF64 WAV in half, a streamed stereo WAV (sizes unknown) inside a frame, and
    // a WAV that holds 4410 frames where its data chunk claims 26460000.
    const auto made = [&](const char* name, int format, int channels, int seconds = 1) {
        writeAudio(dir.path(name), format, channels, 44100,
                   voicedTone(220.0, 44100, seconds * 44100));
        std::string bytes = readText(dir.path(name));
        EXPECT_EQ(unlink(dir.path(name).c_str()), 0);
        return bytes;
    };
    std::string flac = made("whole.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1);
    writeText(dir.path("cut.flac"), flac.substr(0, flac.size() / 2));
    writeText(dir.path("frames.flac"), flac.substr(0, flac.rfind("\xFF\xF8")));
    std::fill(flac.begin() + flac.size() / 3, flac.begin() + flac.size() / 2, '\x55');
    writeText(dir.path("damaged.flac"), flac);
    std::string ogg = made("whole.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1, 2);
    writeText(dir.path("cut.ogg"), ogg.substr(0, ogg.size() / 2));
    writeText(dir.path("pages.ogg"), ogg.substr(0, ogg.rfind("OggS")));
    std::fill(ogg.begin() + ogg.size() / 2, ogg.begin() + ogg.size() / 2 + 64, '\x55');
    writeText(dir.path("damaged.ogg"), ogg);
    const std::string aiff = made("whole.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1);
    writeText(dir.path("cut.aiff"), aiff.substr(0, aiff.find("SSND") + 16 + 14956 * 2));
    const std::string rf64 = made("whole.rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 1);
    writeText(dir.path("cut.rf64"), rf64.substr(0, rf64.size() / 2));
    std::string wav = made("whole.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2);
    const size_t data = wav.find("data");
    setLittleEndian32(wav, 4, 0xFFFFFFFF);
    setLittleEndian32(wav, data + 4, 0xFFFFFFFF);
    writeText(dir.path("frame.wav"), wav.substr(0, wav.size() - 1001));
    setLittleEndian32(wav, 4, 26460000 * 4 + data);
    setLittleEndian32(wav, data + 4, 26460000 * 4);
    writeText(dir.path("claims.wav"), wav.substr(0, data + 8 + 4410 * 4));
    // Rates the plug-in refuses, and its highest, which Vorbis cannot encode.
    writeAudio(dir.path("slow.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 800,
               voicedTone(110.0, 800, 800));
    writeAudio(dir.path("fast.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 800000,
               voicedTone(220.0, 800000, 8000));
    writeAudio(dir.path("top.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 768000,
               voicedTone(220.0, 768000, 8000));
    ASSERT_EQ(mkdir(dir.path("sub").c_str(), 0755), 0);
    const std::vector<std::string> before = dir.entries();

    std::vector<std::string> arguments;
    for (const std::string& argument : error.arguments) {
        arguments.push_back(expand(argument, dir));
    }
    const RunResult run = runBleepify(arguments);

    EXPECT_GT(run.status, 0);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.back(), '\n') << run.err;
    EXPECT_NE(run.err.find(error.mentions), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.entries(), before) << "output or temporary file left behind";
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, BleepifyError,
    ::testing::Values(
        ErrorCase{"missing_input", {"MISSING", "OUT"}, "missing.wav"},
        ErrorCase{"input_is_directory", {"DIR", "OUT"}, "directory"},
        ErrorCase{"input_not_audio", {"TEXT", "OUT"}, "notes.txt"},
        ErrorCase{"unsupported_output", {"IN", "out.xyz"}, ".xyz"},
        ErrorCase{"output_without_extension", {"IN", "out"}, "format"},
        ErrorCase{"output_directory_missing", {"IN", "NODIR/OUT"}, "nodir"},
        ErrorCase{"missing_output", {"IN"}, "output"}, ErrorCase{"no_files", {}, "missing"},
        ErrorCase{"plugin_missing", {"--plugin", "MISSING", "IN", "OUT"}, "missing.wav"},
        ErrorCase{"plugin_is_text", {"--plugin", "TEXT", "IN", "OUT"}, "not a plug-in"},
        ErrorCase{"plugin_without_entry", {"--plugin", "NO_ENTRY", "IN", "OUT"}, "not a plug-in"},
        ErrorCase{"plugin_entry_refuses", {"--plugin", "NULL_ENTRY", "IN", "OUT"}, "refused"},
        ErrorCase{"unknown_option", {"--frobnicate", "1", "IN", "OUT"}, "--frobnicate"},
        ErrorCase{"ambiguous_option", {"--d", "0.5", "IN", "OUT"}, "ambiguous"},
        ErrorCase{"option_without_value", {"IN", "OUT", "--mix"}, "--mix"},
        ErrorCase{"value_above_range", {"--mix", "1.5", "IN", "OUT"}, "out of range"},
        ErrorCase{"value_below_range", {"--volume=-0.1", "IN", "OUT"}, "out of range"},
        ErrorCase{"value_not_a_number", {"--depth", "deep", "IN", "OUT"}, "deep"},
        ErrorCase{"value_nan", {"--tone", "nan", "IN", "OUT"}, "nan"},
        ErrorCase{"power_word", {"--power", "maybe", "IN", "OUT"}, "maybe"},
        ErrorCase{"unknown_waveform",
                  {"--effect", "kazoo", "IN", "OUT"},
                  "'kazoo' is not a waveform: use sine, square, triangle, saw, noise-long or "
                  "noise-short"},
        ErrorCase{"program_out_of_range", {"--program", "16", "IN", "OUT"}, "--program"},
        ErrorCase{"block_zero", {"--block", "0", "IN", "OUT"}, "--block"},
        ErrorCase{"block_not_a_number", {"--block", "1k", "IN", "OUT"}, "1k"},
        ErrorCase{"too_many_files", {"IN", "OUT", "OUT"}, "too many"},
        ErrorCase{"pitch_missing_input", {"pitch", "MISSING"}, "missing.wav"},
        ErrorCase{"pitch_with_parameter", {"pitch", "--mix", "1", "IN"}, "--mix"},
        ErrorCase{"input_cut_short", {"CUT", "OUT"}, "cut.flac is cut short"},
        ErrorCase{"input_damaged", {"DAMAGED", "OUT"}, "damaged.flac is damaged"},
        ErrorCase{"pitch_input_cut_short", {"pitch", "CUT"}, "cut.flac is cut short"},
        ErrorCase{"pitch_input_damaged", {"pitch", "DAMAGED"}, "damaged.flac is damaged"},
        ErrorCase{"wav_claims_more", {"@claims.wav", "OUT"}, "promises 26460000 frames"},
        ErrorCase{"pitch_wav_claims_more", {"pitch", "@claims.wav"}, "claims.wav is cut short"},
        ErrorCase{"aiff_cut_short", {"@cut.aiff", "OUT"}, "holds 14956"},
        ErrorCase{"pitch_aiff_cut_short", {"pitch", "@cut.aiff"}, "cut.aiff is cut short"},
        ErrorCase{"rf64_cut_short", {"@cut.rf64", "OUT"}, "cut.rf64 is cut short"},
        ErrorCase{"ogg_cut_short", {"@cut.ogg", "OUT"}, "cut.ogg is cut short"},
        ErrorCase{"pitch_ogg_cut_short", {"pitch", "@cut.ogg"}, "cut.ogg is cut short"},
        ErrorCase{"flac_cut_between_frames", {"@frames.flac", "OUT"}, "the file ends after"},
        ErrorCase{"ogg_cut_between_pages", {"@pages.ogg", "OUT"}, "before the end of its Ogg"},
        ErrorCase{"ogg_damaged", {"@damaged.ogg", "OUT"}, "damaged.ogg is damaged"},
        ErrorCase{"wav_cut_in_a_frame", {"@frame.wav", "OUT"}, "frame.wav is cut short"},
        ErrorCase{"pitch_wav_cut_in_a_frame", {"pitch", "@frame.wav"}, "frame.wav is cut short"},
        ErrorCase{"output_rate_beyond_vorbis", {"@top.wav", "@out.ogg"}, "Vorbis cannot encode"},
        ErrorCase{"input_rate_too_low", {"SLOW", "OUT"}, "800 Hz"},
        ErrorCase{"input_rate_too_high", {"FAST", "OUT"}, "800000 Hz"},
        ErrorCase{"pitch_input_rate_too_low", {"pitch", "SLOW"}, "800 Hz"},
        ErrorCase{"demo_with_effect", {"--demo", "DIR", "--effect", "saw"}, "--effect"},
        ErrorCase{"demo_into_a_file", {"--demo", "IN"}, "directory"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.what); });

TEST(BleepifyErrors, AFailedRunLeavesAnExistingOutputUntouched) {
    ScratchDirectory dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100,
               voicedTone(220.0, 44100, 1000));
    const std::string in = readText(dir.path("in.wav"));
    writeText(dir.path("cut.wav"), in.substr(0, in.size() - 3));
    writeText(dir.path("out.wav"), "precious");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--mix", "2", dir.path("in.wav"), dir.path("out.wav")},
          std::vector<std::string>{"--plugin", NO_ENTRY_LIBRARY, dir.path("in.wav"),
                                   dir.path("out.wav")},
          std::vector<std::string>{dir.path("cut.wav"), dir.path("out.wav")}}) {
        EXPECT_NE(runBleepify(arguments).status, 0);
        EXPECT_EQ(readText(dir.path("out.wav")), "precious");
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"cut.wav", "in.wav", "out.wav"}));
}

TEST(BleepifyErrors, AnInterruptedRenderLeavesNoFiles) {
    ScratchDirectory dir;
    // Block size 1 makes these two seconds render for seconds, far longer than the steps below.
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100,
               voicedTone(220.0, 44100, 2 * 44100));
    const int child = startBleepify({"--block", "1", dir.path("in.wav"), dir.path("out.wav")});
    ASSERT_GT(child, 0);
    // The temporary file has bytes once the writer's header is out: the render is under way.
    const auto temporaryHasBytes = [&] {
        const std::vector<std::string> names = dir.entries();
        return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            struct stat status;
            return name.rfind(".out.wav.", 0) == 0 && stat(dir.path(name).c_str(), &status) == 0 &&
                   status.st_size > 0;
        });
    };
    for (int poll = 0; poll < 6000 && !temporaryHasBytes(); ++poll) {
        usleep(5000);
    }
    // Frozen, the render cannot finish between this look and the interruption.
    int status = 0;
    kill(child, SIGSTOP);
    ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the render ended before it could be interrupted";
    const bool rendering = temporaryHasBytes();
    kill(child, SIGINT);
    kill(child, SIGCONT);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(rendering) << "no render in progress to interrupt";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGINT) << status;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.wav"});
}

TEST(BleepifyErrors, HelpIsNotAnError) {
    const RunResult run = runBleepify({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--demo"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

}  // namespace
