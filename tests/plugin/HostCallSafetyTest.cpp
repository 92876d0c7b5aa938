// Host calls the fuzzer found mishandled, kept as plain regression cases.
#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <stdexcept>

#include "plugin/AEffEditor.h"
#include "plugin/AudioEffect.h"
#include "tests/support/Hosts.h"

namespace tanuvo::sound::vst {
namespace {

using tanuvo::sound::vst::testing::quietHost;

struct KeyRecordingEditor : AEffEditor {
    using AEffEditor::AEffEditor;
    bool onKeyDown(VstKeyCode& key) override {
        last = key;
        return true;
    }
    VstKeyCode last{};
};

TEST(HostCallSafety, KeyModifiersOutsideAByteArriveAsNoModifiers) {
    AudioEffectX effect(quietHost, 1, 1);
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

// Every call fails, as an out-of-memory or a library fault would.
struct ThrowingEffect : AudioEffectX {
    using AudioEffectX::AudioEffectX;
    intptr_t dispatcher(int32_t, int32_t, intptr_t, void*, float) override {
        throw std::runtime_error("dispatcher");
    }
    void processReplacing(float**, float** outputs, int32_t) override {
        outputs[0][0] = 7.0f;  // partly written before the fault
        throw std::bad_alloc();
    }
    void setParameter(int32_t, float) override { throw 1; }
    float getParameter(int32_t) override { throw "getParameter"; }
};

TEST(HostCallSafety, NoExceptionReachesTheHost) {
    auto* effect = new ThrowingEffect(quietHost, 1, 1);
    AEffect* record = effect->getAeffect();
    float in[4] = {1, 1, 1, 1}, left[4] = {1, 1, 1, 1}, right[4] = {1, 1, 1, 1};
    float* inputs[] = {in};
    float* outputs[] = {left, right};
    EXPECT_EQ(0, record->dispatcher(record, effGetVstVersion, 0, 0, nullptr, 0.0f));
    record->processReplacing(record, inputs, outputs, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0.0f, left[i]);
        EXPECT_EQ(0.0f, right[i]);
    }
    record->setParameter(record, 0, 0.5f);
    EXPECT_EQ(0.0f, record->getParameter(record, 0));
    // Closing still frees the effect (the leak checker of the sanitizer builds would see it).
    EXPECT_EQ(1, record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f));
}

}  // namespace
}  // namespace tanuvo::sound::vst
