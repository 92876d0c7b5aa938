#pragma once
// The plug-in's skinned editor: a fixed panel of bitmaps with the volume slider, the power
// button, the waveform menu, the knobs of the chosen waveform and the reset button. Each
// control's tag is the parameter it drives.

#include "editor/AEffGUIEditor.h"
#include "gui/CButtons.h"
#include "gui/CControl.h"
#include "gui/CKnob.h"
#include "gui/COptionMenu.h"
#include "gui/CParamDisplay.h"
#include "gui/CSlider.h"
#include "plugin/ParameterTable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

namespace tanuvo::sound::vst {

class BleepifierEditor : public AEffGUIEditor, public tanuvo::gui::CControlListener {
  public:
    // The reset button's tag; no parameter has this index.
    static constexpr long kResetTag = 9;

    // Loads the skin; no window exists until open().
    explicit BleepifierEditor(AudioEffect* effect);
    ~BleepifierEditor() override;

    bool open(void* window) override;
    void close() override;
    // Moves the controls to the parameter values that arrived since the last idle, then redraws.
    void idle() override;
    // May be called on any host thread (automation often plays on the audio thread): the value
    // is only recorded here and reaches the controls on the user-interface thread, in idle.
    void setParameter(int32_t index, float value) override;
    void valueChanged(tanuvo::gui::CDrawContext* context, tanuvo::gui::CControl* control) override;

    // Read-only views for tests and the picture tool.
    int32_t getCurrentWave() const { return currentWave; }
    tanuvo::gui::CControl* controlForTag(int32_t tag) const;
    tanuvo::gui::COnOffButton* getPowerButton() const { return powerButton; }
    tanuvo::gui::CKickButton* getResetButton() const { return resetButton; }
    tanuvo::gui::COptionMenu* getWaveMenu() const { return waveMenu; }
    tanuvo::gui::CBitmap* getWaveBitmap(int index) const;
    // Whether the control is on the panel now (the knob groups come and go with the waveform).
    bool isShown(const tanuvo::gui::CView* view) const;

  private:
    static constexpr int kParameterCount = 8;

    void applyParameter(int32_t index, float value);
    void applyPendingParameters();
    tanuvo::gui::CBitmap* load(long id);
    void selectWave(float value);
    void showGroup(const std::vector<tanuvo::gui::CControl*>& group, bool show);
    void releaseGroups();
    tanuvo::gui::CAnimKnob* makeKnob(int place, long tag);
    tanuvo::gui::CTextLabel* makeCaption(int place, const char* text);

    tanuvo::gui::CVerticalSlider* volumeSlider = nullptr;
    tanuvo::gui::COnOffButton* powerButton = nullptr;
    tanuvo::gui::CKickButton* resetButton = nullptr;
    tanuvo::gui::COptionMenu* waveMenu = nullptr;
    tanuvo::gui::CAnimKnob* mixKnob = nullptr;
    tanuvo::gui::CAnimKnob* depthKnob = nullptr;
    tanuvo::gui::CAnimKnob* dutyKnob = nullptr;
    tanuvo::gui::CAnimKnob* toneKnob = nullptr;
    tanuvo::gui::CAnimKnob* stepsKnob = nullptr;
    tanuvo::gui::CTextLabel* mixLabel = nullptr;
    tanuvo::gui::CTextLabel* depthLabel = nullptr;
    tanuvo::gui::CTextLabel* dutyLabel = nullptr;
    tanuvo::gui::CTextLabel* toneLabel = nullptr;
    tanuvo::gui::CTextLabel* stepsLabel = nullptr;

    tanuvo::gui::CBitmap* backgroundBitmap = nullptr;
    tanuvo::gui::CBitmap* sliderBitmap = nullptr;
    tanuvo::gui::CBitmap* handleBitmap = nullptr;
    tanuvo::gui::CBitmap* powerBitmap = nullptr;
    tanuvo::gui::CBitmap* resetBitmap = nullptr;
    tanuvo::gui::CBitmap* knobBitmap = nullptr;
    tanuvo::gui::CBitmap* knobPanelBitmap = nullptr;
    tanuvo::gui::CBitmap* bottomStripBitmap = nullptr;

    int32_t currentWave = 0;
    std::vector<tanuvo::gui::CBitmap*> waveBitmaps;
    std::vector<tanuvo::gui::CBitmap*> bitmaps;  // one reference each
    // One reference each, held by the editor whether or not the frame shows the group.
    std::vector<tanuvo::gui::CControl*> squareGroup;
    std::vector<tanuvo::gui::CControl*> triangleGroup;
    std::vector<tanuvo::gui::CControl*> cursorControls;
    std::map<int32_t, tanuvo::gui::CControl*> controlsByTag;

    std::array<std::atomic<float>, kParameterCount> pendingValues{};
    std::atomic<uint32_t> pendingMask{0};  // bit i: pendingValues[i] not yet shown
};

}  // namespace tanuvo::sound::vst
