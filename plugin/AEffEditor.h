#pragma once

#include "plugin/VstAbi.h"

namespace tanuvo::sound::vst {

class AudioEffect;

// The editor interface the plug-in's dispatcher forwards its editor opcodes to.
// Kept header-only so the effect layer needs no link dependency on the editor library.
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        if (rect) {
            *rect = nullptr;
        }
        return false;
    }
    virtual bool open(void* window) {
        systemWindow = window;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(int /*mode*/) { return false; }
    // A parameter value exactly as the host gave it; may come from any host thread.
    virtual void setParameter(int32_t /*index*/, float /*value*/) {}

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};

}  // namespace tanuvo::sound::vst
