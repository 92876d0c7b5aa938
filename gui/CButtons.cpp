#include "gui/CButtons.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

#include <cstring>

namespace tanuvo::gui {

namespace {

void drawPicture(CBitmap* picture, CDrawContext* context, CRect rect, const CPoint& source,
                 bool transparent) {
    if (!picture)
        return;
    picture->drawTransparentIf(transparent, context, rect, source);
}

}  // namespace

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, long tag,
                           CBitmap* background, long style)
    : CControl(size, listener, tag, background), style(style) {}

COnOffButton::~COnOffButton() = default;

bool COnOffButton::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "COnOffButton") == 0) ||
           CControl::isTypeOf(className);
}

void COnOffButton::draw(CDrawContext* context) {
    const CCoord imageTop = (value != 0.0f && background) ? background->getHeight() / 2 : 0;
    drawPicture(background, context, size, CPoint(0, imageTop), transparencyEnabled);
    setDirty(false);
}

void COnOffButton::mouse(CDrawContext* context, CPoint&, long buttons) {
    if (!acceptMouse(context, buttons))
        return;
    if (!(buttons & kLButton))
        return;
    value = value == 0.0f ? 1.0f : 0.0f;
    auto tellListener = [&] {
        if (!listener)
            return;
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    };
    if (style == kPreListenerUpdate)
        tellListener();
    doIdleStuff();
    // Not once the host has closed the editor during the idle: the gesture has no frame left.
    if (style == kPostListenerUpdate && inFrame())
        tellListener();
}

CKickButton::CKickButton(const CRect& size, CControlListener* listener, long tag,
                         CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      heightOfOneImage(heightOfOneImage) {}

CKickButton::~CKickButton() = default;

bool CKickButton::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CKickButton") == 0) ||
           CControl::isTypeOf(className);
}

void CKickButton::draw(CDrawContext* context) {
    CPoint source = offset;
    if (value != 0.0f)
        source.v += heightOfOneImage;
    drawPicture(background, context, size, source, transparencyEnabled);
    setDirty(false);
}

void CKickButton::mouse(CDrawContext* context, CPoint& where, long buttons) {
    if (!acceptMouse(context, buttons))
        return;
    if (!(buttons & kLButton))
        return;
    const float startValue = value;
    const float pressedValue = startValue == 0.0f ? 1.0f : 0.0f;
    beginEdit();
    if (context && context->getMouseButtons() == kLButton) {
        do {
            // Edges count as inside here.
            const bool inside = where.h >= size.left && where.h <= size.right &&
                                where.v >= size.top && where.v <= size.bottom;
            value = inside ? pressedValue : startValue;
            if (isDirty() && listener)
                listener->valueChanged(context, this);
            getMouseLocation(context, where);
            doIdleStuff();
        } while (inFrame() && context->getMouseButtons() == kLButton);
    } else {
        // Released already (or held with modifiers): one flip.
        value = pressedValue;
        if (listener)
            listener->valueChanged(context, this);
    }
    value = 0.0f;
    if (listener)
        listener->valueChanged(context, this);
    endEdit();
}

}  // namespace tanuvo::gui
