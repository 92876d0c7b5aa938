#include "editor/AEffGUIEditor.h"

#include "gui/CDrawContext.h"
#include "gui/platform/Platform.h"
#include "plugin/AudioEffect.h"

namespace tanuvo::sound::vst {

namespace {
constexpr int kIdleInterval = 100;  // ms between full idles while tracking
constexpr int kWaitStep = 4;        // ms slept by a call that comes too early
constexpr int kEarlySlack = 50;     // ms before the due time that still count as due

AudioEffectX* extended(AudioEffect* effect) {
    return dynamic_cast<AudioEffectX*>(effect);
}

// The host's key record in the toolkit's terms. Named keys the toolkit does not know arrive as
// VirtualKey::none with their character, which every view leaves alone.
tanuvo::gui::KeyCode toolkitKey(const VstKeyCode& key) {
    using tanuvo::gui::VirtualKey;
    struct NamedKey {
        std::uint8_t host;
        VirtualKey toolkit;
    };
    static constexpr NamedKey kNamedKeys[] = {
        {VKEY_BACK, VirtualKey::back},   {VKEY_TAB, VirtualKey::tab},
        {VKEY_CLEAR, VirtualKey::clear}, {VKEY_RETURN, VirtualKey::enter},
        {VKEY_PAUSE, VirtualKey::pause}, {VKEY_ESCAPE, VirtualKey::escape},
        {VKEY_SPACE, VirtualKey::space}, {VKEY_NEXT, VirtualKey::pageDown},
        {VKEY_END, VirtualKey::end},     {VKEY_HOME, VirtualKey::home},
        {VKEY_LEFT, VirtualKey::left},   {VKEY_UP, VirtualKey::up},
        {VKEY_RIGHT, VirtualKey::right}, {VKEY_DOWN, VirtualKey::down},
    };
    struct Modifier {
        std::uint8_t host;
        std::uint8_t toolkit;
    };
    static constexpr Modifier kModifiers[] = {
        {MODIFIER_SHIFT, tanuvo::gui::kModifierShift},
        {MODIFIER_ALTERNATE, tanuvo::gui::kModifierAlternate},
        {MODIFIER_COMMAND, tanuvo::gui::kModifierCommand},
        {MODIFIER_CONTROL, tanuvo::gui::kModifierControl},
    };
    tanuvo::gui::KeyCode translated;
    translated.character = key.character;
    for (const NamedKey& named : kNamedKeys)
        if (key.virt == named.host)
            translated.virtualKey = named.toolkit;
    for (const Modifier& modifier : kModifiers)
        if (key.modifier & modifier.host)
            translated.modifiers |= modifier.toolkit;
    return translated;
}
}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect)
    : AEffEditor(effect), lastTicks(int32_t(tanuvo::gui::platform::tickCount())) {
    if (effect)
        effect->setEditor(this);
    oleInitialized = tanuvo::gui::platform::oleInitialize();
}

AEffGUIEditor::~AEffGUIEditor() {
    // A plug-in deleted with its editor open must not leave the window behind.
    if (frame) {
        tanuvo::gui::CFrame* open = frame;
        frame = nullptr;
        open->forget();
    }
    if (oleInitialized)
        tanuvo::gui::platform::oleUninitialize();
}

bool AEffGUIEditor::getRect(ERect** out) {
    if (!out)
        return false;
    *out = &rect;
    return true;
}

void AEffGUIEditor::idle() {
    if (inIdleStuff)
        return;
    if (frame)
        frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    // A key may change a value, and the host may close the editor when it hears of it.
    tanuvo::gui::ScopedReference<tanuvo::gui::CFrame> keep(frame);
    return frame && frame->onKeyDown(toolkitKey(keyCode)) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    return frame && frame->onKeyUp(toolkitKey(keyCode)) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame)
        return false;
    tanuvo::gui::ScopedReference<tanuvo::gui::CFrame> keep(frame);
    auto* context = new tanuvo::gui::CDrawContext(frame, nullptr, frame->getPlatformWindow());
    int x = 0, y = 0;
    tanuvo::gui::platform::getCursorScreenPos(&x, &y);
    tanuvo::gui::CPoint where(x - context->offsetScreen.h, y - context->offsetScreen.v);
    const bool handled = frame->onWheel(context, where, distance);
    context->forget();
    return handled;
}

bool AEffGUIEditor::setKnobMode(int mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::beginEdit(int32_t index) {
    if (AudioEffectX* x = extended(effect))
        x->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (AudioEffectX* x = extended(effect))
        x->endEdit(index);
}

void AEffGUIEditor::doIdleStuff() {
    // Tick differences rather than raw comparisons keep this working across the counter's wrap.
    uint32_t now = tanuvo::gui::platform::tickCount();
    if (int32_t(now - uint32_t(lastTicks)) < 0) {
        tanuvo::gui::platform::sleepMs(kWaitStep);
        now += kWaitStep;
        if (int32_t(now - uint32_t(lastTicks)) < -kEarlySlack)
            return;
    }
    idle();
    tanuvo::gui::platform::dispatchOnePendingPaint();
    lastTicks = int32_t(now + kIdleInterval);
    inIdleStuff = true;
    if (effect)
        effect->masterIdle();
    inIdleStuff = false;
}

bool AEffGUIEditor::canHostSizeWindow() {
    AudioEffectX* x = extended(effect);
    return x && x->canHostDo("sizeWindow");
}

bool AEffGUIEditor::hostSizeWindow(int32_t width, int32_t height) {
    AudioEffectX* x = extended(effect);
    return x && x->sizeWindow(width, height);
}

}  // namespace tanuvo::sound::vst
