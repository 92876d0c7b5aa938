// Host calls the fuzzer found mishandled, kept as plain regression cases.
#include <gtest/gtest.h>

#include <limits>

#include "plugin/AEffEditor.h"
#include "plugin/AudioEffect.h"

namespace tanuvo::sound::vst {
namespace {

intptr_t VST_CALL hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct KeyRecordingEditor : AEffEditor {
    using AEffEditor::AEffEditor;
    bool onKeyDown(VstKeyCode& key) override {
        last = key;
        return true;
    }
    VstKeyCode last{};
};

TEST(HostCallSafety, KeyModifiersOutsideAByteArriveAsNoModifiers) {
    AudioEffectX effect(hostCallback, 1, 1);
    auto* editor = new KeyRecordingEditor(&effect);
    effect.setEditor(editor);  // owned by the effect from here
    AEffect* record = effect.getAeffect();

    const float odd[] = {-1.0f, 256.0f, 1.0e9f, -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
    for (float opt : odd) {
        SCOPED_TRACE(opt);
        EXPECT_EQ(1, record->dispatcher(record, effEditKeyDown, 'a', VKEY_LEFT, nullptr, opt));
        EXPECT_EQ('a', editor->last.character);
        EXPECT_EQ(VKEY_LEFT, editor->last.virt);
        EXPECT_EQ(0, editor->last.modifier);
    }
    record->dispatcher(record, effEditKeyDown, 'b', 0, nullptr,
                       static_cast<float>(MODIFIER_SHIFT | MODIFIER_CONTROL));
    EXPECT_EQ(MODIFIER_SHIFT | MODIFIER_CONTROL, editor->last.modifier);
}

}  // namespace
}  // namespace tanuvo::sound::vst
