// Parameters and programs as a host sees them through the effect record.
#include <cstring>
#include <string>

#include "MiniCheck.h"
#include "TestHost.h"

namespace {

std::string marked(AEffect* e, int32_t opcode, int32_t index) {
    char text[64];
    std::memset(text, '#', sizeof(text));
    text[63] = 0;
    TestHost::call(e, opcode, index, 0, text);
    return text;
}

}  // namespace

TEST_CASE("parameters: names, labels and displays as hosts read them") {
    AEffect* e = TestHost::instance().create();
    const char* names[] = {"Volume", "Power",     "Effect", "Mix",
                           "Depth",  "DutyRatio", "Tone",   "Steps"};
    for (int i = 0; i < 8; ++i) {
        CHECK_STR(marked(e, effGetParamName, i), names[i]);
    }
    CHECK_STR(marked(e, effGetParamName, 8), std::string(63, '#'));
    CHECK_STR(marked(e, effGetParamLabel, 0), "");
    CHECK_STR(marked(e, effGetParamLabel, 4), "");
    // A fresh instance's defaults, as generic editors first show them.
    const char* defaults[] = {"1.00", "On", "Sine", "1.00", "1.00", "25.0%", "1.00", "0.50"};
    for (int i = 0; i < 8; ++i) {
        CHECK_STR(marked(e, effGetParamDisplay, i), defaults[i]);
    }
    CHECK_STR(marked(e, effGetParamDisplay, 5), "25.0%");
    e->setParameter(e, 5, 0.0f);
    CHECK(e->getParameter(e, 5) == 0.01f);
    // Values set one after another and what each shows.
    const struct {
        int32_t index;
        float value;
        const char* shown;
    } settings[] = {{0, 0.5f, "0.50"},      {5, 0.0f, " 1.0%"}, {5, 1.0f, "99.0%"},
                    {2, 0.34f, "Triangle"}, {1, 0.0f, "Off"},   {3, 0.25f, "0.25"},
                    {4, 0.0f, "0.00"},      {6, 0.75f, "0.75"}, {7, 0.1f, "0.10"}};
    for (const auto& setting : settings) {
        e->setParameter(e, setting.index, setting.value);
        CHECK_STR(marked(e, effGetParamDisplay, setting.index), setting.shown);
    }
    CHECK_STR(marked(e, effGetParamDisplay, 8), "");
    TestHost::close(e);
}

TEST_CASE("parameters: effect selection and reported values") {
    AEffect* e = TestHost::instance().create();
    e->setParameter(e, 2, 1.0f);
    CHECK(e->getParameter(e, 2) == 1.0f);
    CHECK_STR(marked(e, effGetParamDisplay, 2), "Noise(S)");
    e->setParameter(e, 2, 0.5f);
    CHECK(e->getParameter(e, 2) == 0.5f);
    CHECK_STR(marked(e, effGetParamDisplay, 2), "Saw");
    e->setParameter(e, 2, 0.99f);
    CHECK_STR(marked(e, effGetParamDisplay, 2), "Noise(S)");
    e->setParameter(e, 2, -0.5f);
    CHECK(e->getParameter(e, 2) == 0.0f);
    CHECK_STR(marked(e, effGetParamDisplay, 2), "Sine");
    e->setParameter(e, 1, 0.0f);
    CHECK(e->getParameter(e, 1) == 0.0f);
    e->setParameter(e, 1, 0.3f);
    CHECK(e->getParameter(e, 1) == 1.0f);
    CHECK(e->getParameter(e, 8) == 0.0f);
    CHECK(e->getParameter(e, -1) == 0.0f);
    e->setParameter(e, 99, 0.5f);  // ignored
    TestHost::close(e);
}

TEST_CASE("programs: names and values follow the selected program") {
    AEffect* e = TestHost::instance().create();
    for (int i = 0; i < 16; ++i) {
        TestHost::call(e, effSetProgram, 0, i);
        CHECK_STR(TestHost::text(e, effGetProgramName), "Init " + std::to_string(i + 1));
        CHECK_STR(TestHost::text(e, effGetProgramNameIndexed, i), "Init");
    }
    TestHost::call(e, effSetProgram, 0, 2);
    e->setParameter(e, 0, 0.3f);
    TestHost::call(e, effSetProgram, 0, 5);
    CHECK(e->getParameter(e, 0) == 1.0f);
    TestHost::call(e, effSetProgram, 0, 2);
    CHECK(e->getParameter(e, 0) == 0.3f);
    char name[] = "Chip Lead";
    TestHost::call(e, effSetProgram, 0, 3);
    TestHost::call(e, effSetProgramName, 0, 0, name);
    CHECK_STR(TestHost::text(e, effGetProgramName), "Chip Lead");
    CHECK_STR(TestHost::text(e, effGetProgramNameIndexed, 3), "Chip Lead");
    TestHost::close(e);
}
