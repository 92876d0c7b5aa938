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
    // Five seconds of FLAC, cut in half or with a damaged middle.
    writeAudio(dir.path("whole.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 44100,
               voicedTone(220.0, 44100, 5 * 44100));
    std::string flac = readText(dir.path("whole.flac"));
    ASSERT_EQ(unlink(dir.path("whole.flac").c_str()), 0);
    writeText(dir.path("cut.flac"), flac.substr(0, flac.size() / 2));
    std::fill(flac.begin() + flac.size() / 3, flac.begin() + flac.size() / 2, '\x55');
    writeText(dir.path("damaged.flac"), flac);
    // Rates the plug-in refuses.
    writeAudio(dir.path("slow.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 800,
               voicedTone(110.0, 800, 800));
    writeAudio(dir.path("fast.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 800000,
               voicedTone(220.0, 800000, 8000));
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
        ErrorCase{"unknown_waveform", {"--effect", "kazoo", "IN", "OUT"}, "kazoo"},
        ErrorCase{"program_out_of_range", {"--program", "16", "IN", "OUT"}, "--program"},
        ErrorCase{"block_zero", {"--block", "0", "IN", "OUT"}, "--block"},
        ErrorCase{"block_not_a_number", {"--block", "1k", "IN", "OUT"}, "1k"},
        ErrorCase{"too_many_files", {"IN", "OUT", "OUT"}, "too many"},
        ErrorCase{"pitch_missing_input", {"pitch", "MISSING"}, "missing.wav"},
        ErrorCase{"pitch_with_parameter", {"pitch", "--mix", "1", "IN"}, "--mix"},
        ErrorCase{"input_cut_short", {"CUT", "OUT"}, "cut.flac"},
        ErrorCase{"input_damaged", {"DAMAGED", "OUT"}, "damaged.flac"},
        ErrorCase{"pitch_input_cut_short", {"pitch", "CUT"}, "cut.flac"},
        ErrorCase{"pitch_input_damaged", {"pitch", "DAMAGED"}, "damaged.flac"},
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
    writeText(dir.path("out.wav"), "precious");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--mix", "2", dir.path("in.wav"), dir.path("out.wav")},
          std::vector<std::string>{"--plugin", NO_ENTRY_LIBRARY, dir.path("in.wav"),
                                   dir.path("out.wav")}}) {
        EXPECT_NE(runBleepify(arguments).status, 0);
        EXPECT_EQ(readText(dir.path("out.wav")), "precious");
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

TEST(BleepifyErrors, AnInterruptedRenderLeavesNoFiles) {
    ScratchDirectory dir;
    // Long enough that the render is still running when the temporary file shows up.
    std::vector<float> input = voicedTone(220.0, 44100, 44100);
    std::vector<float> longInput;
    for (int second = 0; second < 120; ++second) {
        longInput.insert(longInput.end(), input.begin(), input.end());
    }
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100, longInput);
    const int child = startBleepify({dir.path("in.wav"), dir.path("out.wav")});
    ASSERT_GT(child, 0);
    bool sawTemporary = false;
    for (int poll = 0; poll < 2000 && !sawTemporary; ++poll) {
        sawTemporary = dir.entries().size() > 1;
        if (!sawTemporary) {
            usleep(5000);
        }
    }
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        GTEST_SKIP() << "the render finished before it could be interrupted";
    }
    EXPECT_TRUE(sawTemporary);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.wav"});
}

TEST(BleepifyErrors, HelpIsNotAnError) {
    const RunResult run = runBleepify({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--demo"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

}  // namespace
