// The entry, the effect record and the dispatcher's answers, through the loaded library.
#include <cmath>
#include <cstring>
#include <limits>

#include "MiniCheck.h"
#include "TestHost.h"

namespace {

int32_t fourCC(const char* s) {
    return (s[0] << 24) | (s[1] << 16) | (s[2] << 8) | s[3];
}

}  // namespace

TEST_CASE("entry: both exported names, and a host without VST 2 gets null") {
    TestHost& host = TestHost::instance();
    CHECK(host.library().entry("VSTPluginMain") != nullptr);
    CHECK(host.library().entry("main") == host.library().entry("VSTPluginMain"));
    host.calls.clear();
    CHECK(host.create(0) == nullptr);
    CHECK_EQ(host.calls.size(), size_t{1});
    CHECK_EQ(host.calls[0].opcode, audioMasterVersion);
}

TEST_CASE("entry: the effect record") {
    AEffect* e = TestHost::instance().create();
    CHECK(e != nullptr);
    if (!e) {
        return;
    }
    CHECK_EQ(e->magic, fourCC("VstP"));
    CHECK_EQ(e->numPrograms, 16);
    CHECK_EQ(e->numParams, 8);
    CHECK_EQ(e->numInputs, 1);
    CHECK_EQ(e->numOutputs, 2);
    CHECK_EQ(e->flags, effFlagsHasEditor | effFlagsCanReplacing);
    CHECK_EQ(e->uniqueID, fourCC("Blep"));
    CHECK_EQ(e->version, 1);
    CHECK_EQ(e->initialDelay, 0);
    CHECK(e->ioRatio == 1.0f);
    CHECK(e->object != nullptr);
    CHECK(e->user == nullptr);
    CHECK(e->process != nullptr && e->processReplacing != nullptr &&
          e->processDoubleReplacing != nullptr && e->setParameter && e->getParameter);
    bool futureZero = true;
    for (char c : e->future) {
        futureZero = futureZero && c == 0;
    }
    CHECK(futureZero);
    CHECK_EQ(e->resvd1, intptr_t{0});
    CHECK_EQ(e->realQualities + e->offQualities, 0);
    TestHost::close(e);
}

TEST_CASE("dispatcher: the editor's rectangle before any window exists") {
    AEffect* e = TestHost::instance().create();
    ERect* rect = nullptr;
    CHECK_EQ(TestHost::call(e, effEditGetRect, 0, 0, &rect), intptr_t{1});
    CHECK(rect != nullptr);
    if (rect) {
        CHECK_EQ(rect->top, int16_t{0});
        CHECK_EQ(rect->left, int16_t{0});
        CHECK_EQ(rect->bottom, int16_t{320});
        CHECK_EQ(rect->right, int16_t{240});
    }
    TestHost::close(e);
}

TEST_CASE("dispatcher: identity, versions, names and capabilities") {
    TestHost& host = TestHost::instance();
    AEffect* e = host.create();
    CHECK_EQ(TestHost::call(e, effGetVendorVersion), intptr_t{1000});
    CHECK_EQ(TestHost::call(e, effGetVstVersion), intptr_t{2400});
    CHECK_EQ(TestHost::call(e, effGetPlugCategory), intptr_t{1});
    CHECK_EQ(TestHost::call(e, effIdentify), intptr_t{fourCC("NvEf")});
    char midi[] = "receiveVstMidiEvent";
    char other[] = "sendVstEvents";
    CHECK_EQ(TestHost::call(e, effCanDo, 0, 0, midi), intptr_t{0});
    CHECK_EQ(TestHost::call(e, effCanDo, 0, 0, other), intptr_t{0});
    char name[80];
    CHECK_EQ(TestHost::call(e, effGetEffectName, 0, 0, name), intptr_t{1});
    CHECK_STR(name, "Bleepifier");
    CHECK_EQ(TestHost::call(e, effGetProductString, 0, 0, name), intptr_t{1});
    CHECK_STR(name, "Bleepifier");
    CHECK_EQ(TestHost::call(e, effGetVendorString, 0, 0, name), intptr_t{1});
    CHECK_STR(name, "Tanuvo Soft");
    CHECK_EQ(TestHost::call(e, effCanBeAutomated, 3), intptr_t{1});
    CHECK_EQ(TestHost::call(e, effCanBeAutomated, 99), intptr_t{1});
    CHECK_EQ(TestHost::call(e, effGetCurrentMidiProgram), intptr_t{-1});
    CHECK_EQ(TestHost::call(e, effSetTotalSampleToProcess, 0, 777), intptr_t{777});
    CHECK_EQ(TestHost::call(e, effGetTailSize), intptr_t{0});
    CHECK_EQ(TestHost::call(e, effString2Parameter, 0, 0, name), intptr_t{0});
    // Opcodes with no meaning here answer 0, deprecated and unknown ones included.
    for (int32_t opcode :
         {9,  16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 38, 39, 40, 41, 43, 46,  53,
          54, 55, 57, 62, 64, 65, 66, 67, 68, 70, 71, 72, 74, 75, 76, 77, 78, 200, -1}) {
        CHECK_EQ(TestHost::call(e, opcode, 0, 0, nullptr), intptr_t{0});
    }
    void* inArr = &name;
    void* outArr = &name;
    CHECK_EQ(
        TestHost::call(e, effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inArr), &outArr),
        intptr_t{0});
    CHECK(inArr == nullptr && outArr == nullptr);
    TestHost::close(e);
}

TEST_CASE("dispatcher: chunks, MIDI and the life cycle") {
    TestHost& host = TestHost::instance();
    AEffect* e = host.create();
    void* chunk = &host;
    CHECK_EQ(TestHost::call(e, effGetChunk, 0, 0, &chunk), intptr_t{0});
    CHECK(chunk == &host);
    host.calls.clear();
    CHECK_EQ(TestHost::call(e, effOpen), intptr_t{0});
    CHECK_EQ(TestHost::call(e, effMainsChanged, 0, 1), intptr_t{0});
    CHECK_EQ(TestHost::call(e, effMainsChanged, 0, 0), intptr_t{0});
    bool wantedMidi = false;
    for (const HostCall& c : host.calls) {
        wantedMidi = wantedMidi || c.opcode == audioMasterWantMidi;
    }
    CHECK(!wantedMidi);
    CHECK_EQ(TestHost::call(e, effClose), intptr_t{1});
}

TEST_CASE("dispatcher: programs") {
    AEffect* e = TestHost::instance().create();
    CHECK_EQ(TestHost::call(e, effGetProgram), intptr_t{0});
    TestHost::call(e, effSetProgram, 0, 15);
    CHECK_EQ(TestHost::call(e, effGetProgram), intptr_t{15});
    TestHost::call(e, effSetProgram, 0, 16);
    CHECK_EQ(TestHost::call(e, effGetProgram), intptr_t{15});
    TestHost::call(e, effSetProgram, 0, -1);
    CHECK_EQ(TestHost::call(e, effGetProgram), intptr_t{15});
    CHECK_STR(TestHost::text(e, effGetProgramName), "Init 16");

    char longName[64];
    std::memset(longName, 'x', sizeof(longName));  // deliberately unterminated within 64 bytes
    TestHost::call(e, effSetProgramName, 0, 0, longName);
    CHECK_STR(TestHost::text(e, effGetProgramName), std::string(23, 'x'));

    char name[64];
    CHECK_EQ(TestHost::call(e, effGetProgramNameIndexed, 3, 0, name), intptr_t{1});
    CHECK_STR(name, "Init");
    CHECK_EQ(TestHost::call(e, effGetProgramNameIndexed, 15, 0, name), intptr_t{1});
    CHECK_STR(name, std::string(23, 'x'));
    CHECK_EQ(TestHost::call(e, effGetProgramNameIndexed, 16, 0, name), intptr_t{0});
    CHECK_EQ(TestHost::call(e, effGetProgramNameIndexed, -1, 0, name), intptr_t{0});
    TestHost::close(e);
}

TEST_CASE("dispatcher: null pointers answer 0 and touch nothing") {
    AEffect* e = TestHost::instance().create();
    for (int32_t opcode :
         {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
          effGetParamName, effGetProgramNameIndexed, effGetEffectName, effGetVendorString,
          effGetProductString, effCanDo, effEditGetRect, effEditOpen}) {
        CHECK_EQ(TestHost::call(e, opcode, 0, 0, nullptr), intptr_t{0});
    }
    CHECK_STR(TestHost::text(e, effGetProgramName), "Init 1");
    TestHost::close(e);
}

TEST_CASE("dispatcher: bad sample rates and block sizes keep the previous settings") {
    AEffect* e = TestHost::instance().create();
    const float bad[] = {0.0f, -44100.0f, std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
    for (float rate : bad) {
        CHECK_EQ(TestHost::call(e, effSetSampleRate, 0, 0, nullptr, rate), intptr_t{0});
    }
    for (intptr_t size : {intptr_t{0}, intptr_t{-256}}) {
        CHECK_EQ(TestHost::call(e, effSetBlockSize, 0, size), intptr_t{0});
    }
    // Still working: a block runs through and the dry signal (silence) comes out finite.
    float in[512] = {};
    float out0[512];
    float out1[512];
    float* ins[] = {in};
    float* outs[] = {out0, out1};
    e->processReplacing(e, ins, outs, 512);
    bool finite = true;
    for (float v : out0) {
        finite = finite && std::isfinite(v);
    }
    CHECK(finite);
    TestHost::close(e);
}

TEST_CASE("entry: a Windows build carries its manifest, asInvoker without UI access") {
    if (!PluginLoader::hasWin32Resources()) {
        return;
    }
    const int kManifestId = 2;
    const int kManifestType = 24;
    std::string manifest = TestHost::instance().library().resource(kManifestId, kManifestType);
    CHECK(manifest.find("level=\"asInvoker\"") != std::string::npos);
    CHECK(manifest.find("uiAccess=\"false\"") != std::string::npos);
}
