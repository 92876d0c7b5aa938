#pragma once

#include <string>
#include <vector>

#include "plugin/VstAbi.h"

namespace tanuvo::bleepify {

// A plug-in shared object opened with dlopen; its entry creates instances.
class PluginLibrary {
  public:
    // Throws ToolError when the file is missing, is not a loadable library or has no entry.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const std::string& path() const { return path_; }
    VstPluginMainProc entry() const { return entry_; }

  private:
    std::string path_;
    void* handle_ = nullptr;
    VstPluginMainProc entry_ = nullptr;
};

// The plug-in to use when none is given: $BLEEPIFY_PLUGIN, then the installed copy next to the
// executable (../lib/vst), then the one built in the same build tree. Empty when none exists.
std::string defaultPluginPath();

// One effect instance driven the way a host drives it: created through the entry and opened,
// configured while suspended, resumed for processing, and suspended and closed on destruction.
class PluginInstance {
  public:
    // Throws ToolError when the entry refuses or returns something that is not an effect.
    explicit PluginInstance(const PluginLibrary& library);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    int numParams() const { return effect_->numParams; }
    int numPrograms() const { return effect_->numPrograms; }
    int numOutputs() const { return effect_->numOutputs; }

    std::string parameterName(int index);
    std::string parameterDisplay(int index);
    std::string parameterLabel(int index);
    float parameter(int index);
    void setParameter(int index, float value);
    void setProgram(int index);
    int program();

    // Sample rate and block size may only change while suspended.
    void prepare(double sampleRate, int blockSize);
    void resume();
    void suspend();

    // Processes one block of at most the prepared block size, the mono input fed to every
    // input. The input is copied first because a plug-in may render into its input buffer.
    void process(const float* input, int frames);
    // Output channel c (0 or 1) of the last block; a one-output plug-in serves both.
    const float* output(int channel) const;

  private:
    std::string text(int32_t opcode, int index);

    AEffect* effect_ = nullptr;
    bool resumed_ = false;
    int blockSize_ = 0;
    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float*> inputPointers_;
    std::vector<float*> outputPointers_;
};

}  // namespace tanuvo::bleepify
