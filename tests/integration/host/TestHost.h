#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PluginLoader.h"
#include "plugin/VstAbi.h"

// One host call the plug-in made.
struct HostCall {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    float opt;
};

// A minimal host: loads the plug-in, creates effects through the entry, records the plug-in's
// calls back, and offers typed helpers for the dispatcher.
class TestHost {
  public:
    static TestHost& instance();
    void load(const std::string& path);
    const PluginLoader& library() const { return *loader; }

    // A new effect through the entry, or null; the host answers version with versionAnswer.
    AEffect* create(intptr_t versionAnswer = 2400);
    static intptr_t call(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
    static std::string text(AEffect* e, int32_t opcode, int32_t index = 0);
    static void close(AEffect* e) { call(e, effClose); }

    std::vector<HostCall> calls;
    intptr_t versionAnswer = 2400;
    intptr_t sizeWindowAnswer = 0;
    // Called after each recorded call: what a host does there (its message loop may run, and
    // close the editor).
    void (*onCall)(AEffect* effect, int32_t opcode) = nullptr;

  private:
    static intptr_t VST_CALL callback(AEffect* effect, int32_t opcode, int32_t index,
                                      intptr_t value, void* ptr, float opt);
    PluginLoader* loader = nullptr;
};
