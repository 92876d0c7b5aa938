#pragma once
// Two bitmap buttons: the on/off button flips its value on each click; the kick button is 1 only
// while held down over it, and always ends at 0.

#include "gui/CControl.h"

namespace tanuvo::gui {

class COnOffButton : public CControl {
  public:
    enum ListenerTiming { kPostListenerUpdate = 0, kPreListenerUpdate = 1 };

    // The background holds the off image above the on image.
    COnOffButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                 long style = kPostListenerUpdate);
    ~COnOffButton() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool isTypeOf(const char* className) const override;

    long getStyle() const { return style; }
    void setStyle(long value) { style = value; }

  protected:
    long style;
};

class CKickButton : public CControl {
  public:
    // The background holds the released image above the pressed one, heightOfOneImage apart.
    CKickButton(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));
    ~CKickButton() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool isTypeOf(const char* className) const override;

    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

  protected:
    CPoint offset;
    CCoord heightOfOneImage;
};

}  // namespace tanuvo::gui
