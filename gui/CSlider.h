#pragma once
// The slider: a handle bitmap moving over a background along one axis, and its vertical form
// with the minimum at the bottom.

#include "gui/CControl.h"
#include "gui/CControlStyles.h"

namespace tanuvo::gui {

class CSlider : public CControl {
  public:
    // minPos and maxPos are the frame coordinates between which the handle's near edge travels.
    CSlider(const CRect& size, CControlListener* listener, long tag, long minPos, long maxPos,
            CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(0, 0),
            const long style = kLeft | kHorizontal);
    ~CSlider() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    long onKeyDown(const KeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;

    // Moves the handle's travel by the point (along the axis) and sets its limits.
    virtual void setOffsetHandle(const CPoint& value);
    const CPoint& getOffsetHandle() const { return offsetHandle; }
    virtual void setOffset(const CPoint& value) { offset = value; }
    const CPoint& getOffset() const { return offset; }
    virtual void setHandle(CBitmap* bitmap);
    CBitmap* getHandle() const { return handle; }
    virtual void setDrawTransparentHandle(bool value) { drawTransparentHandle = value; }
    virtual void setFreeClick(bool value) { freeClick = value; }
    bool getFreeClick() const { return freeClick; }
    virtual void setZoomFactor(float value) { zoomFactor = value; }
    float getZoomFactor() const { return zoomFactor; }
    long getStyle() const { return style; }

    // The handle's rectangle for the current value, in frame coordinates.
    CRect handleRect() const;

  protected:
    bool horizontal() const { return (style & kHorizontal) != 0; }
    void drawParts(CDrawContext* context);

    CPoint offset;
    CPoint offsetHandle;
    CBitmap* handle = nullptr;
    CCoord widthOfSlider = 1;
    CCoord heightOfSlider = 1;
    CCoord widthControl;
    CCoord heightControl;
    CCoord minPos;
    CCoord rangeHandle;
    CCoord minTmp = 0;
    CCoord maxTmp = 0;
    long style;
    float zoomFactor = 10.0f;
    bool drawTransparentHandle = true;
    bool freeClick = true;
};

class CVerticalSlider : public CSlider {
  public:
    CVerticalSlider(const CRect& size, CControlListener* listener, long tag, long minPos,
                    long maxPos, CBitmap* handle, CBitmap* background,
                    const CPoint& offset = CPoint(0, 0), const long style = kBottom);
};

}  // namespace tanuvo::gui
