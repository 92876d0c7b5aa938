#pragma once
// The rotary knob: 270 degrees clockwise from lower left (minimum) over the top to lower right
// (maximum), tracked circularly or linearly; and the knob that shows its value as one image of
// a film strip.

#include "gui/CControl.h"

namespace tanuvo::gui {

class CKnob : public CControl {
  public:
    // Knob modes of the frame's editor.
    enum { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

    CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = CPoint(0, 0));
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    long onKeyDown(const KeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;
    void setMin(float value) override;
    void setMax(float value) override;

    virtual void drawHandle(CDrawContext* context);
    // The handle's point on the rim for the current value, relative to the knob's corner.
    virtual void valueToPoint(CPoint& point) const;
    // The value of a point relative to the knob's corner; the dead quarter at the bottom snaps
    // to the minimum on its left half and to the maximum on its right half.
    virtual float valueFromPoint(const CPoint& point) const;

    virtual void setStartAngle(float angle);
    virtual void setRangeAngle(float angle);
    float getStartAngle() const { return startAngle; }
    float getRangeAngle() const { return rangeAngle; }
    virtual void setInsetValue(CCoord value) { inset = value; }
    CCoord getInsetValue() const { return inset; }
    virtual void setColorHandle(CColor color) { colorHandle = color; }
    virtual void setColorShadowHandle(CColor color) { colorShadowHandle = color; }
    virtual void setHandleBitmap(CBitmap* bitmap);
    virtual void setZoomFactor(float value) { zoomFactor = value; }
    float getZoomFactor() const { return zoomFactor; }

  protected:
    void compute();

    CPoint offset;
    CColor colorHandle = kWhiteCColor;
    CColor colorShadowHandle = kGreyCColor;
    CBitmap* handleBitmap = nullptr;
    CCoord inset = 3;
    float startAngle;
    float rangeAngle;
    float halfAngle = 0;
    float aCoef = 0;
    float bCoef = 0;
    CCoord radius;
    float zoomFactor = 1.5f;
};

class CAnimKnob : public CKnob {
  public:
    // The strip holds images of heightOfOneImage stacked from top to bottom, of which the first
    // subPixmaps are used.
    CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
    ~CAnimKnob() override;

    void draw(CDrawContext* context) override;
    // Clean while the rounded rim point of the value is the one last drawn.
    bool isDirty() const override;
    bool isTypeOf(const char* className) const override;

    void setInverseBitmap(bool value) { inverseBitmap = value; }
    bool getInverseBitmap() const { return inverseBitmap; }
    long getSubPixmaps() const { return subPixmaps; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

  protected:
    long subPixmaps;
    CCoord heightOfOneImage;
    bool inverseBitmap = false;
    CPoint lastDrawnPoint{-1, -1};
};

}  // namespace tanuvo::gui
