#include "tools/bleepify/PluginHost.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

namespace {

// The host's side of the callback: a VST 2.4 host that offers nothing beyond its version.
intptr_t VST_CALL hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

bool isRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string oneLine(const char* text) {
    std::string line = text != nullptr ? text : "unknown reason";
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

std::string executableDirectory() {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) {
        return {};
    }
    std::string path(buffer, static_cast<size_t>(length));
    return path.substr(0, path.find_last_of('/'));
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    if (!isRegularFile(path)) {
        throw ToolError("plug-in " + path + " not found");
    }
    // A bare file name would make dlopen search the library path instead of this directory.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        throw ToolError(path + " is not a plug-in: " + oneLine(dlerror()));
    }
    void* symbol = dlsym(handle_, "VSTPluginMain");
    if (symbol == nullptr) {
        symbol = dlsym(handle_, "main");
    }
    if (symbol == nullptr) {
        dlclose(handle_);
        throw ToolError(path + " is not a plug-in: it exports neither VSTPluginMain nor main");
    }
    entry_ = reinterpret_cast<VstPluginMainProc>(symbol);
}

PluginLibrary::~PluginLibrary() {
    dlclose(handle_);
}

std::string defaultPluginPath() {
    if (const char* fromEnvironment = std::getenv("BLEEPIFY_PLUGIN")) {
        return fromEnvironment;
    }
    const std::string installed = executableDirectory() + "/../lib/vst/Bleepifier.so";
    if (isRegularFile(installed)) {
        return installed;
    }
#ifdef BLEEPIFY_BUILT_PLUGIN
    if (isRegularFile(BLEEPIFY_BUILT_PLUGIN)) {
        return BLEEPIFY_BUILT_PLUGIN;
    }
#endif
    return {};
}

PluginInstance::PluginInstance(const PluginLibrary& library) {
    effect_ = library.entry()(hostCallback);
    if (effect_ == nullptr) {
        throw ToolError(library.path() + " refused to start: its entry returned no effect");
    }
    if (effect_->magic != kEffectMagic || effect_->dispatcher == nullptr) {
        effect_ = nullptr;  // not ours to close: we cannot know what it is
        throw ToolError(library.path() + " is not a plug-in: its entry returned no VST effect");
    }
    effect_->dispatcher(effect_, effOpen, 0, 0, nullptr, 0.0f);
    std::string problem;
    if (effect_->numInputs < 1 || effect_->numOutputs < 1) {
        problem = " is not an audio effect: it has no audio input or output";
    } else if ((effect_->flags & effFlagsCanReplacing) == 0 || !effect_->processReplacing) {
        problem = " cannot process audio by replacing";
    }
    if (!problem.empty()) {
        effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
        effect_ = nullptr;
        throw ToolError(library.path() + problem);
    }
}

PluginInstance::~PluginInstance() {
    if (effect_ == nullptr) {
        return;
    }
    suspend();
    effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
}

std::string PluginInstance::text(int32_t opcode, int index) {
    // Far larger than any limit a plug-in should write, and terminated whatever it writes.
    char buffer[256] = {};
    effect_->dispatcher(effect_, opcode, index, 0, buffer, 0.0f);
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}

std::string PluginInstance::parameterName(int index) {
    return text(effGetParamName, index);
}
std::string PluginInstance::parameterDisplay(int index) {
    return text(effGetParamDisplay, index);
}
std::string PluginInstance::parameterLabel(int index) {
    return text(effGetParamLabel, index);
}

float PluginInstance::parameter(int index) {
    return effect_->getParameter(effect_, index);
}

void PluginInstance::setParameter(int index, float value) {
    effect_->setParameter(effect_, index, value);
}

void PluginInstance::setProgram(int index) {
    effect_->dispatcher(effect_, effSetProgram, 0, index, nullptr, 0.0f);
}

int PluginInstance::program() {
    return static_cast<int>(effect_->dispatcher(effect_, effGetProgram, 0, 0, nullptr, 0.0f));
}

void PluginInstance::prepare(double sampleRate, int blockSize) {
    suspend();
    effect_->dispatcher(effect_, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    effect_->dispatcher(effect_, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    blockSize_ = blockSize;
    const size_t length = static_cast<size_t>(blockSize);
    inputs_.assign(static_cast<size_t>(effect_->numInputs), std::vector<float>(length));
    outputs_.assign(static_cast<size_t>(effect_->numOutputs), std::vector<float>(length));
    inputPointers_.clear();
    outputPointers_.clear();
    for (auto& channel : inputs_) {
        inputPointers_.push_back(channel.data());
    }
    for (auto& channel : outputs_) {
        outputPointers_.push_back(channel.data());
    }
}

void PluginInstance::resume() {
    if (!resumed_) {
        effect_->dispatcher(effect_, effMainsChanged, 0, 1, nullptr, 0.0f);
        resumed_ = true;
    }
}

void PluginInstance::suspend() {
    if (resumed_) {
        effect_->dispatcher(effect_, effMainsChanged, 0, 0, nullptr, 0.0f);
        resumed_ = false;
    }
}

void PluginInstance::process(const float* input, int frames) {
    frames = std::min(frames, blockSize_);
    for (auto& channel : inputs_) {
        std::copy(input, input + frames, channel.begin());
    }
    effect_->processReplacing(effect_, inputPointers_.data(), outputPointers_.data(), frames);
}

const float* PluginInstance::output(int channel) const {
    return outputs_[static_cast<size_t>(std::min(channel, static_cast<int>(outputs_.size()) - 1))]
        .data();
}

}  // namespace tanuvo::bleepify
