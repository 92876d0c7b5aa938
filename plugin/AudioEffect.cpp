#include "plugin/AudioEffect.h"

#include <cmath>
#include <cstring>

#include "plugin/AEffEditor.h"

namespace tanuvo::sound::vst {

namespace {

constexpr int32_t kIdentify = 0x4E764566;   // 'NvEf'
constexpr int32_t kDefaultId = 0x4E6F4566;  // 'NoEf'

AudioEffect* effectOf(AEffect* e) {
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

// Opcodes whose pointer the plug-in reads or writes: a null pointer answers 0 and touches nothing.
bool needsPointer(int32_t opcode) {
    switch (opcode) {
        case effSetProgramName:
        case effGetProgramName:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effGetProgramNameIndexed:
        case effGetEffectName:
        case effGetVendorString:
        case effGetProductString:
        case effCanDo:
        case effEditGetRect:
        case effEditOpen:
            return true;
        default:
            return false;
    }
}

// The key opcodes carry the modifier bits in opt; a value that is no byte (negative, too large,
// NaN) must not be converted, and means no modifiers.
uint8_t modifierBits(float opt) {
    return opt >= 0.0f && opt < 256.0f ? static_cast<uint8_t>(opt) : 0;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = kDefaultId;
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingClass;
    cEffect.processDoubleReplacing = processDoubleClass;
}

AudioEffect::~AudioEffect() {
    delete editor;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    if (editor) {
        cEffect.flags |= effFlagsHasEditor;
    } else {
        cEffect.flags &= ~effFlagsHasEditor;
    }
}

void AudioEffect::resume() {
    applyMidiRule();
}

void AudioEffect::applyMidiRule() {
    if ((cEffect.flags & effFlagsIsSynth) || canDoText("receiveVstMidiEvent") == 1) {
        callHost(audioMasterWantMidi, 0, 1);
    }
}

void AudioEffect::processReplacing(float** /*inputs*/, float** /*outputs*/,
                                   int32_t /*sampleFrames*/) {}

void AudioEffect::setParameterAutomated(int32_t index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

intptr_t AudioEffect::masterIdle() {
    return callHost(audioMasterIdle);
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::int2string(int32_t value, char* text, int32_t maxLength) {
    if (!text || maxLength <= 0) {
        return;
    }
    char digits[16];
    int count = 0;
    // Work on the negative side so the most negative value has no overflow.
    int64_t rest = value;
    bool negative = rest < 0;
    if (negative) {
        rest = -rest;
    }
    do {  // at least one digit, so that 0 reads "0"
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest > 0 && count < 15);
    int length = 0;
    if (negative && length < maxLength) {
        text[length++] = '-';
    }
    while (count > 0 && length < maxLength) {
        text[length++] = digits[--count];
    }
    text[length] = 0;
}

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
    if (ptr == nullptr && needsPointer(opcode)) {
        return 0;
    }
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 1;
        case effSetProgram:
            if (value >= 0 && value < numPrograms) {
                setProgram(static_cast<int32_t>(value));
            }
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            setProgramName(static_cast<const char*>(ptr));
            return 0;
        case effGetProgramName:
            getProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetParamLabel:
            getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            getParameterDisplay(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effSetSampleRate:
            // Zero, negative, infinite or NaN rates would break every length derived from them.
            if (std::isfinite(opt) && opt > 0.0f) {
                setSampleRate(opt);
            }
            return 0;
        case effSetBlockSize:
            if (value > 0 && value <= INT32_MAX) {
                setBlockSize(static_cast<int32_t>(value));
            }
            return 0;
        case effMainsChanged:
            if (value == 0) {
                suspend();
            } else {
                resume();
            }
            return 0;
        case effEditGetRect:
            return editor && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        case effEditOpen:
            return editor && editor->open(ptr) ? 1 : 0;
        case effEditClose:
            if (editor) {
                editor->close();
            }
            return 0;
        case effEditIdle:
            if (editor) {
                editor->idle();
            }
            return 0;
        case effIdentify:
            return kIdentify;
        default:
            return 0;
    }
}

// The entries the host calls let no exception escape into it: a failed call answers 0 (and a
// process call silence) instead.
intptr_t VST_CALL AudioEffect::dispatchEffectClass(AEffect* e, int32_t opcode, int32_t index,
                                                   intptr_t value, void* ptr, float opt) {
    AudioEffect* effect = effectOf(e);
    if (!effect) {
        return 0;
    }
    if (opcode == effClose) {
        try {
            effect->dispatcher(opcode, index, value, ptr, opt);
        } catch (...) {
        }
        delete effect;
        return 1;
    }
    try {
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VST_CALL AudioEffect::processClass(AEffect*, float**, float**, int32_t) {}

void VST_CALL AudioEffect::processDoubleClass(AEffect*, double**, double**, int32_t) {}

void VST_CALL AudioEffect::processReplacingClass(AEffect* e, float** inputs, float** outputs,
                                                 int32_t sampleFrames) {
    AudioEffect* effect = effectOf(e);
    if (!effect) {
        return;
    }
    try {
        effect->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
        if (outputs && sampleFrames > 0) {
            for (int32_t channel = 0; channel < e->numOutputs; ++channel) {
                if (outputs[channel]) {
                    std::memset(outputs[channel], 0, sizeof(float) * sampleFrames);
                }
            }
        }
    }
}

void VST_CALL AudioEffect::setParameterClass(AEffect* e, int32_t index, float value) {
    if (AudioEffect* effect = effectOf(e)) {
        try {
            effect->setParameter(index, value);
        } catch (...) {
        }
    }
}

float VST_CALL AudioEffect::getParameterClass(AEffect* e, int32_t index) {
    AudioEffect* effect = effectOf(e);
    if (!effect) {
        return 0.0f;
    }
    try {
        return effect->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}

// ---------------------------------------------------------------------------------------------

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
    if (ptr == nullptr && needsPointer(opcode)) {
        return 0;
    }
    switch (opcode) {
        case effCanBeAutomated:
            return 1;
        case effGetProgramNameIndexed:
            return getProgramNameIndexed(static_cast<int32_t>(value), index,
                                         static_cast<char*>(ptr))
                       ? 1
                       : 0;
        case effGetPlugCategory:
            return getPlugCategory();
        case effGetEffectName:
            return getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorString:
            return getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetProductString:
            return getProductString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effCanDo:
            return canDo(static_cast<const char*>(ptr));
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) {
                return 0;
            }
            VstKeyCode key{index, static_cast<uint8_t>(value), modifierBits(opt)};
            bool handled = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
            return handled ? 1 : 0;
        }
        case effSetEditKnobMode:
            return editor && editor->setKnobMode(static_cast<int32_t>(value)) ? 1 : 0;
        case effGetCurrentMidiProgram:
            return -1;
        case effGetSpeakerArrangement:
            // Both out-pointers are cleared: the plug-in keeps no arrangement of its own.
            if (value) {
                *reinterpret_cast<void**>(value) = nullptr;
            }
            if (ptr) {
                *static_cast<void**>(ptr) = nullptr;
            }
            return 0;
        case effSetTotalSampleToProcess:
            return value;
        default:
            return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

bool AudioEffectX::sizeWindow(int32_t width, int32_t height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::canHostDo(const char* text) {
    return text && callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)) != 0;
}

// Gestures name parameters: controls without one (the editor's reset button) stay unheard.
bool AudioEffectX::beginEdit(int32_t index) {
    return index >= 0 && index < numParams && callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(int32_t index) {
    return index >= 0 && index < numParams && callHost(audioMasterEndEdit, index) != 0;
}

}  // namespace tanuvo::sound::vst
