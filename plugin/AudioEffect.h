#pragma once

#include <atomic>
#include <cstdint>

#include "plugin/VstAbi.h"

namespace tanuvo::sound::vst {

class AEffEditor;

// The effect layer: owns the effect record handed to the host, turns dispatcher opcodes into
// virtual calls, and wraps the host callback.
class AudioEffect {
  public:
    AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~AudioEffect();

    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    // Answers one host opcode; every opcode without a meaning here answers 0.
    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume();
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int32_t size) { blockSize = size; }
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames);

    virtual void setParameter(int32_t /*index*/, float /*value*/) {}
    virtual float getParameter(int32_t /*index*/) { return 0.0f; }
    // Sets the parameter and tells the host, as when the user moves a control.
    virtual void setParameterAutomated(int32_t index, float value);

    virtual int32_t getProgram() { return curProgram; }
    virtual void setProgram(int32_t program) { curProgram = program; }
    virtual void setProgramName(const char* /*name*/) {}
    virtual void getProgramName(char* name) { name[0] = 0; }
    virtual void getParameterLabel(int32_t /*index*/, char* /*label*/) {}
    virtual void getParameterDisplay(int32_t /*index*/, char* /*text*/) {}
    virtual void getParameterName(int32_t /*index*/, char* /*text*/) {}

    AEffect* getAeffect() { return &cEffect; }
    AEffEditor* getEditor() const { return editor; }
    // Stores the editor (owned from now on) and advertises it to the host.
    void setEditor(AEffEditor* newEditor);
    float getSampleRate() const { return sampleRate; }
    int32_t getBlockSize() const { return blockSize; }

    // Host calls.
    intptr_t masterIdle();

    // Decimal text of value, at most maxLength characters plus NUL.
    static void int2string(int32_t value, char* text, int32_t maxLength);

    // Record entries the host calls.
    static intptr_t VST_CALL dispatchEffectClass(AEffect* e, int32_t opcode, int32_t index,
                                                 intptr_t value, void* ptr, float opt);
    static void VST_CALL processClass(AEffect* e, float** inputs, float** outputs,
                                      int32_t sampleFrames);
    static void VST_CALL processDoubleClass(AEffect* e, double** inputs, double** outputs,
                                            int32_t sampleFrames);
    static void VST_CALL processReplacingClass(AEffect* e, float** inputs, float** outputs,
                                               int32_t sampleFrames);
    static void VST_CALL setParameterClass(AEffect* e, int32_t index, float value);
    static float VST_CALL getParameterClass(AEffect* e, int32_t index);

  protected:
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    // The effect's MIDI wish, made from the constructor and from resume.
    void applyMidiRule();
    virtual int32_t canDoText(const char* /*text*/) { return 0; }

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    int32_t blockSize = 1024;
    int32_t numPrograms;
    int32_t numParams;
    std::atomic<int32_t> curProgram{0};  // read by parameter calls on any host thread
    AEffect cEffect;
};

// The VST 2 extension of the layer: the extended dispatcher opcodes and host calls.
class AudioEffectX : public AudioEffect {
  public:
    AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
        : AudioEffect(audioMaster, numPrograms, numParams) {}

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;

    virtual bool getProgramNameIndexed(int32_t /*category*/, int32_t /*index*/, char* /*text*/) {
        return false;
    }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual int32_t getPlugCategory() { return 0; }
    virtual int32_t canDo(const char* /*text*/) { return 0; }
    virtual int32_t getVstVersion() { return 2400; }

    // Host calls.
    bool sizeWindow(int32_t width, int32_t height);
    bool canHostDo(const char* text);
    // Virtual for effects whose host is not a VST host (the LV2 UI's stand-in).
    virtual bool beginEdit(int32_t index);
    virtual bool endEdit(int32_t index);

  protected:
    int32_t canDoText(const char* text) override { return canDo(text); }
};

}  // namespace tanuvo::sound::vst
