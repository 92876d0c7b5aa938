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

class BleepifierEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
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
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // Read-only views for tests and the picture tool.
    int32_t getCurrentWave() const { return currentWave; }
    VSTGUI::CControl* controlForTag(int32_t tag) const;
    VSTGUI::COnOffButton* getPowerButton() const { return powerButton; }
    VSTGUI::CKickButton* getResetButton() const { return resetButton; }
    VSTGUI::COptionMenu* getWaveMenu() const { return waveMenu; }
    VSTGUI::CBitmap* getWaveBitmap(int index) const;
    // Whether the control is on the panel now (the knob groups come and go with the waveform).
    bool isShown(const VSTGUI::CView* view) const;

  private:
    static constexpr int kParameterCount = 8;

    void applyParameter(int32_t index, float value);
    void applyPendingParameters();
    VSTGUI::CBitmap* load(long id);
    void selectWave(float value);
    void showGroup(const std::vector<VSTGUI::CControl*>& group, bool show);
    void releaseGroups();
    VSTGUI::CAnimKnob* makeKnob(int place, long tag);
    VSTGUI::CTextLabel* makeCaption(int place, const char* text);

    VSTGUI::CVerticalSlider* volumeSlider = nullptr;
    VSTGUI::COnOffButton* powerButton = nullptr;
    VSTGUI::CKickButton* resetButton = nullptr;
    VSTGUI::COptionMenu* waveMenu = nullptr;
    VSTGUI::CAnimKnob* mixKnob = nullptr;
    VSTGUI::CAnimKnob* depthKnob = nullptr;
    VSTGUI::CAnimKnob* dutyKnob = nullptr;
    VSTGUI::CAnimKnob* toneKnob = nullptr;
    VSTGUI::CAnimKnob* stepsKnob = nullptr;
    VSTGUI::CTextLabel* mixLabel = nullptr;
    VSTGUI::CTextLabel* depthLabel = nullptr;
    VSTGUI::CTextLabel* dutyLabel = nullptr;
    VSTGUI::CTextLabel* toneLabel = nullptr;
    VSTGUI::CTextLabel* stepsLabel = nullptr;

    VSTGUI::CBitmap* backgroundBitmap = nullptr;
    VSTGUI::CBitmap* sliderBitmap = nullptr;
    VSTGUI::CBitmap* handleBitmap = nullptr;
    VSTGUI::CBitmap* powerBitmap = nullptr;
    VSTGUI::CBitmap* resetBitmap = nullptr;
    VSTGUI::CBitmap* knobBitmap = nullptr;
    VSTGUI::CBitmap* knobPanelBitmap = nullptr;
    VSTGUI::CBitmap* bottomStripBitmap = nullptr;

    int32_t currentWave = 0;
    std::vector<VSTGUI::CBitmap*> waveBitmaps;
    std::vector<VSTGUI::CBitmap*> bitmaps;  // one reference each
    // One reference each, held by the editor whether or not the frame shows the group.
    std::vector<VSTGUI::CControl*> squareGroup;
    std::vector<VSTGUI::CControl*> triangleGroup;
    std::vector<VSTGUI::CControl*> cursorControls;
    std::map<int32_t, VSTGUI::CControl*> controlsByTag;

    std::array<std::atomic<float>, kParameterCount> pendingValues{};
    std::atomic<uint32_t> pendingMask{0};  // bit i: pendingValues[i] not yet shown
};

}  // namespace tanuvo::sound::vst
