#include "editor/BleepifierEditor.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/platform/Platform.h"
#include "plugin/AudioEffect.h"

#include <algorithm>
#include <utility>

namespace tanuvo::sound::vst {

using namespace tanuvo::gui;

namespace {

// Parameters with their own handling in valueChanged.
constexpr int32_t kEffectTag = kEffect;
constexpr int32_t kDutyTag = kDutyRatio;

// Skin bitmap ids, loaded in this order.
enum BitmapId : long {
    kBackgroundId = 128,
    kSineFaceId = 129,
    kSquareFaceId = 130,
    kTriangleFaceId = 131,
    kSawFaceId = 132,
    kHandleId = 133,
    kSliderId = 134,
    kPowerId = 135,
    kResetId = 136,
    kKnobStripId = 139,
    kLongNoiseFaceId = 140,
    kShortNoiseFaceId = 141,
    kKnobPanelId = 142,
    kBottomStripId = 143,
};

// Layout, in frame pixels.
const CPoint kMenuAt(39, 101);
const CPoint kSliderAt(87, 175);
const CRect kVolumeCaption(110, 260, 132, 270);
const CPoint kPowerAt(45, 249);
const CPoint kResetAt(169, 247);
const CPoint kKnobPanelAt(18, 44);
const CPoint kBottomStripAt(10, 292);

// Knob places from left to right: mix, depth, duty or steps, tone.
constexpr CCoord kKnobLeft = 33;
constexpr CCoord kKnobPitch = 47;
constexpr CCoord kKnobTop = 58;
constexpr CCoord kCaptionTop = 46;
constexpr CCoord kCaptionHeight = 10;
constexpr CCoord kCaptionWidth = 32;
constexpr long kKnobImages = 61;
// The strip's last image is never shown.
constexpr long kKnobSubPixmaps = 60;

constexpr long kCaptionStyle = 1;
const CColor kCaptionBack{110, 0, 5, 255};
const CColor kVolumeCaptionBack{232, 231, 232, 255};
const CColor kVolumeCaptionText{0, 0, 0, 255};

CRect placed(const CPoint& at, const CBitmap* bitmap, CCoord height) {
    return CRect(at.h, at.v, at.h + bitmap->getWidth(), at.v + height);
}
CRect placed(const CPoint& at, const CBitmap* bitmap) {
    return placed(at, bitmap, bitmap->getHeight());
}

}  // namespace

BleepifierEditor::BleepifierEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    backgroundBitmap = load(kBackgroundId);
    for (long id : {kSineFaceId, kSquareFaceId, kTriangleFaceId, kSawFaceId, kLongNoiseFaceId,
                    kShortNoiseFaceId})
        waveBitmaps.push_back(load(id));
    sliderBitmap = load(kSliderId);
    handleBitmap = load(kHandleId);
    powerBitmap = load(kPowerId);
    resetBitmap = load(kResetId);
    knobBitmap = load(kKnobStripId);
    knobPanelBitmap = load(kKnobPanelId);
    bottomStripBitmap = load(kBottomStripId);

    rect.top = 0;
    rect.left = 0;
    rect.bottom = int16_t(backgroundBitmap->getHeight());
    rect.right = int16_t(backgroundBitmap->getWidth());
}

BleepifierEditor::~BleepifierEditor() {
    close();
    for (CBitmap* bitmap : bitmaps)
        bitmap->forget();
}

CBitmap* BleepifierEditor::load(long id) {
    auto* bitmap = new CBitmap(id);
    bitmaps.push_back(bitmap);
    return bitmap;
}

CAnimKnob* BleepifierEditor::makeKnob(int place, long tag) {
    const CCoord size = knobBitmap->getWidth();
    const CCoord imageHeight = knobBitmap->getHeight() / kKnobImages;
    const CCoord left = kKnobLeft + place * kKnobPitch;
    return new CAnimKnob(CRect(left, kKnobTop, left + size, kKnobTop + imageHeight), this, tag,
                         kKnobSubPixmaps, imageHeight, knobBitmap, CPoint(0, 0));
}

CTextLabel* BleepifierEditor::makeCaption(int place, const char* text) {
    // The first caption is narrower and sits inside its knob's width.
    const CCoord left = place == 0 ? 40 : kKnobLeft + place * kKnobPitch + 1;
    const CCoord width = place == 0 ? 18 : kCaptionWidth;
    auto* label =
        new CTextLabel(CRect(left, kCaptionTop, left + width, kCaptionTop + kCaptionHeight), text,
                       nullptr, kCaptionStyle);
    label->setFont(kNormalFontSmall);
    label->setBackColor(kCaptionBack);
    label->setFrameColor(kCaptionBack);
    return label;
}

bool BleepifierEditor::open(void* window) {
    // A second open without a close replaces the first frame rather than leaking it.
    if (frame)
        close();
    AEffGUIEditor::open(window);

    auto* created = new CFrame(
        CRect(0, 0, backgroundBitmap->getWidth(), backgroundBitmap->getHeight()), window, this);
    if (!created->isOpen()) {
        // No window to draw in (not a window handle): report the failure instead of a blank
        // editor.
        created->forget();
        systemWindow = nullptr;
        return false;
    }
    created->setBackground(backgroundBitmap);

    waveMenu = new COptionMenu(placed(kMenuAt, waveBitmaps[0]), this, kEffectTag, waveBitmaps[0],
                               nullptr, kPopupStyle | kCheckStyle | kNoTextStyle);
    for (const WaveformNames& names : kWaveforms)
        waveMenu->addEntry(names.menu);
    created->addView(waveMenu);

    // The handle's top travels from the slot's top down to where the handle meets its bottom.
    const CRect sliderRect = placed(kSliderAt, sliderBitmap);
    const long handleLowest =
        sliderRect.top - 1 + sliderBitmap->getHeight() - handleBitmap->getHeight();
    volumeSlider = new CVerticalSlider(sliderRect, this, kVolume, sliderRect.top, handleLowest,
                                       handleBitmap, sliderBitmap, CPoint(0, 0), kBottom);
    created->addView(volumeSlider);

    auto* volumeCaption = new CTextLabel(kVolumeCaption, "VOL", nullptr, kCaptionStyle);
    volumeCaption->setFont(kNormalFontSmall);
    volumeCaption->setFontColor(kVolumeCaptionText);
    volumeCaption->setBackColor(kVolumeCaptionBack);
    volumeCaption->setFrameColor(kVolumeCaptionBack);
    created->addView(volumeCaption);

    powerButton = new COnOffButton(placed(kPowerAt, powerBitmap, powerBitmap->getHeight() / 2),
                                   this, kPower, powerBitmap);
    created->addView(powerButton);

    const CCoord resetImage = resetBitmap->getHeight() / 2;
    resetButton = new CKickButton(placed(kResetAt, resetBitmap, resetImage), this, kResetTag,
                                  resetImage, resetBitmap, CPoint(0, 0));
    created->addView(resetButton);

    created->addView(new CTextLabel(placed(kKnobPanelAt, knobPanelBitmap), "", knobPanelBitmap, 0));

    mixLabel = makeCaption(0, "MIX");
    created->addView(mixLabel);
    mixKnob = makeKnob(0, kMix);
    created->addView(mixKnob);
    depthLabel = makeCaption(1, "DEPTH");
    created->addView(depthLabel);
    depthKnob = makeKnob(1, kDepth);
    created->addView(depthKnob);

    // The two groups are attached by selectWave, once the waveform is known.
    dutyLabel = makeCaption(2, "DUTY");
    dutyKnob = makeKnob(2, kDutyRatio);
    toneLabel = makeCaption(3, "TONE");
    toneKnob = makeKnob(3, kTone);
    stepsLabel = makeCaption(2, "STEPS");
    stepsKnob = makeKnob(2, kSteps);

    created->addView(
        new CTextLabel(placed(kBottomStripAt, bottomStripBitmap), "", bottomStripBitmap, 0));

    controlsByTag = {{kVolume, volumeSlider}, {kPower, powerButton}, {kEffect, waveMenu},
                     {kDutyRatio, dutyKnob},  {kMix, mixKnob},       {kDepth, depthKnob},
                     {kTone, toneKnob},       {kSteps, stepsKnob}};
    squareGroup = {dutyKnob, dutyLabel, toneKnob, toneLabel};
    triangleGroup = {stepsKnob, stepsLabel};
    cursorControls = {powerButton, resetButton, waveMenu,  mixKnob,     dutyKnob,
                      depthKnob,   toneKnob,    stepsKnob, volumeSlider};

    frame = created;
    pendingMask.store(0, std::memory_order_relaxed);
    for (const auto& [tag, control] : controlsByTag) {
        (void)control;
        applyParameter(tag, effect ? effect->getParameter(tag) : 0.0f);
    }
    return true;
}

void BleepifierEditor::close() {
    if (frame) {
        CFrame* closing = frame;
        frame = nullptr;
        // The window and the views go now; a gesture in progress may still hold the frame.
        closing->close();
        closing->forget();
    }
    releaseGroups();
    controlsByTag.clear();
    cursorControls.clear();
    volumeSlider = nullptr;
    powerButton = nullptr;
    resetButton = nullptr;
    waveMenu = nullptr;
    mixKnob = depthKnob = dutyKnob = toneKnob = stepsKnob = nullptr;
    mixLabel = depthLabel = dutyLabel = toneLabel = stepsLabel = nullptr;
}

void BleepifierEditor::releaseGroups() {
    for (auto* group : {&squareGroup, &triangleGroup}) {
        for (CControl* control : *group)
            control->forget();
        group->clear();
    }
}

void BleepifierEditor::idle() {
    if (!frame)
        return;
    applyPendingParameters();
    int x = 0, y = 0, originX = 0, originY = 0;
    if (platform::getCursorScreenPos(&x, &y) &&
        platform::getWindowScreenOrigin(frame->getPlatformWindow(), &originX, &originY)) {
        CView* under = frame->getViewAt(CPoint(x - originX, y - originY));
        if (under &&
            std::find(cursorControls.begin(), cursorControls.end(), under) != cursorControls.end())
            frame->setCursor(kCursorHand);
    }
    AEffGUIEditor::idle();
}

void BleepifierEditor::setParameter(int32_t index, float value) {
    if (index < 0 || index >= kParameterCount)
        return;
    pendingValues[index].store(value, std::memory_order_relaxed);
    pendingMask.fetch_or(1u << index, std::memory_order_release);
}

void BleepifierEditor::applyPendingParameters() {
    uint32_t mask = pendingMask.exchange(0, std::memory_order_acquire);
    for (int32_t index = 0; mask != 0; ++index, mask >>= 1) {
        if (mask & 1u)
            applyParameter(index, pendingValues[index].load(std::memory_order_relaxed));
    }
}

void BleepifierEditor::applyParameter(int32_t index, float value) {
    if (!frame)
        return;
    if (index == kEffectTag) {
        if (waveMenu)
            selectWave(value);
        return;
    }
    auto found = controlsByTag.find(index);
    if (found != controlsByTag.end() && found->second)
        found->second->setValue(value);
}

void BleepifierEditor::selectWave(float value) {
    const int i = waveformIndex(value);
    currentWave = i;
    waveMenu->setValue(float(i));
    waveMenu->setBackground(waveBitmaps[i]);
    showGroup(squareGroup, i == 1);
    showGroup(triangleGroup, i == 2);
}

void BleepifierEditor::showGroup(const std::vector<CControl*>& group, bool show) {
    for (CControl* control : group) {
        const bool held = frame->isChild(control);
        if (show && !held) {
            // The frame's reference is its own; the editor keeps the group's.
            control->remember();
            frame->addView(control);
            frame->setDirty(true);
        } else if (!show && held) {
            frame->removeView(control, true);
            frame->setDirty(true);
        }
    }
}

void BleepifierEditor::valueChanged(CDrawContext* /*context*/, CControl* control) {
    if (!control || !effect)
        return;
    // The host may close the editor when it hears of the change.
    ScopedReference<CControl> keep(control);
    const long tag = control->getTag();
    const float value = control->getValue();
    switch (tag) {
        case kEffectTag:
            effect->setParameterAutomated(kEffect, waveformValue(int32_t(value)));
            break;
        case kDutyTag:
            effect->setParameterAutomated(kDutyRatio, withinRange(kParameters[kDutyRatio], value));
            break;
        case kResetTag: {
            // Everything but the power and the waveform returns to its default, each parameter in
            // a gesture of its own, as touch-automation recording needs.
            for (int32_t index : {kVolume, kDutyRatio, kMix, kDepth, kTone, kSteps}) {
                beginEdit(index);
                effect->setParameterAutomated(index, kParameters[index].defaultValue);
                endEdit(index);
            }
            break;
        }
        default:
            effect->setParameterAutomated(int32_t(tag), value);
            break;
    }
    // A user's change is on the user-interface thread already: show its effects (a new
    // waveform's knobs, the reset values) at once.
    applyPendingParameters();
    control->setDirty(true);
}

CControl* BleepifierEditor::controlForTag(int32_t tag) const {
    auto found = controlsByTag.find(tag);
    return found == controlsByTag.end() ? nullptr : found->second;
}

CBitmap* BleepifierEditor::getWaveBitmap(int index) const {
    return index >= 0 && index < int(waveBitmaps.size()) ? waveBitmaps[index] : nullptr;
}

bool BleepifierEditor::isShown(const CView* view) const {
    return frame && view && frame->isChild(const_cast<CView*>(view));
}

}  // namespace tanuvo::sound::vst
