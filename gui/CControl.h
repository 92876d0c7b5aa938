#pragma once
// A view with a normalised value that the user changes, reporting every change to its listener.

#include "gui/CView.h"

namespace tanuvo::gui {

class CControl;

class CControlListener {
  public:
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    virtual long controlModifierClicked(CDrawContext* context, CControl* control, long button);

  protected:
    ~CControlListener() = default;
};

class CControl : public CView {
  public:
    CControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
             CBitmap* background = nullptr);
    ~CControl() override;

    void draw(CDrawContext* context) override;
    bool isDirty() const override;
    void setDirty(const bool value = true) override;
    bool isTypeOf(const char* className) const override;

    // Runs the editor's idle-and-wait routine while a control tracks the mouse.
    virtual void doIdleStuff();
    virtual void setValue(float value) { this->value = value; }
    virtual float getValue() const { return value; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual long getTag() const { return tag; }
    virtual void beginEdit();
    virtual void endEdit();
    virtual void bounceValue();
    // Ctrl + left click restores the default value; answers whether it did.
    virtual bool checkDefaultValue(CDrawContext* context, long buttons);

    virtual void setMin(float value) { vmin = value; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float value) { vmax = value; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float value) { oldValue = value; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float value) { defaultValue = value; }
    virtual void setTag(long value) { tag = value; }
    virtual void setWheelInc(float value) { wheelInc = value; }
    virtual float getWheelInc() const { return wheelInc; }
    virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
    virtual const CPoint& getBackOffset() const { return backOffset; }

    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* value) { listener = value; }
    // True when the previous click was within the double-click interval; remembers this click.
    bool isDoubleClick();

  protected:
    // The common start of a mouse press: false when the press must be ignored.
    bool acceptMouse(CDrawContext* context, long& buttons);
    // Whether a tracking loop may go on: not once the view has left the frame.
    bool inFrame() const { return parentFrame != nullptr; }

    CControlListener* listener;
    long tag;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelInc = 0.1f;
    long lastClickTime = -1;
    long delta;
    CPoint backOffset;
    CFrame* editFrame = nullptr;  // one reference from beginEdit to endEdit
};

}  // namespace tanuvo::gui
