#include "gui/CSlider.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/ControlStepping.h"

#include <algorithm>
#include <cstring>

namespace tanuvo::gui {

CSlider::CSlider(const CRect& size, CControlListener* listener, long tag, long minPos, long maxPos,
                 CBitmap* handle, CBitmap* background, const CPoint& offset, const long style)
    : CControl(size, listener, tag, background),
      offset(offset),
      widthControl(size.width()),
      heightControl(size.height()),
      minPos(CCoord(minPos) - ((style & kHorizontal) ? size.left : size.top)),
      rangeHandle(CCoord(maxPos - minPos)),
      style(style) {
    setHandle(handle);
    setOffsetHandle(CPoint(0, 0));
    wantsFocus = true;
}

CSlider::~CSlider() {
    if (handle)
        handle->forget();
}

bool CSlider::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CSlider") == 0) || CControl::isTypeOf(className);
}

void CSlider::setHandle(CBitmap* bitmap) {
    replaceReference(handle, bitmap);
    widthOfSlider = handle ? handle->getWidth() : 1;
    heightOfSlider = handle ? handle->getHeight() : 1;
}

void CSlider::setOffsetHandle(const CPoint& value) {
    offsetHandle = value;
    if (horizontal()) {
        minTmp = minPos + offsetHandle.h;
        maxTmp = minTmp + rangeHandle + widthOfSlider;
    } else {
        minTmp = minPos + offsetHandle.v;
        maxTmp = minTmp + rangeHandle + heightOfSlider;
    }
}

CRect CSlider::handleRect() const {
    const bool fromStart = (style & (kLeft | kTop)) != 0;
    const double travel = rangeHandle * double(fromStart ? value : 1.0f - value);
    const CCoord length = horizontal() ? widthOfSlider : heightOfSlider;
    CCoord start = truncateToCoord(travel) + (horizontal() ? offsetHandle.h : offsetHandle.v);
    if (start + length > maxTmp)
        start = maxTmp - length;
    if (start < minTmp)
        start = minTmp;
    CRect rect;
    if (horizontal())
        rect = CRect(start, offsetHandle.v, start + widthOfSlider, offsetHandle.v + heightOfSlider);
    else
        rect = CRect(offsetHandle.h, start, offsetHandle.h + widthOfSlider, start + heightOfSlider);
    return rect.offset(size.left, size.top);
}

void CSlider::draw(CDrawContext* context) {
    if (!transparencyEnabled && context && context->getSystemContext()) {
        // Composed off screen, so that the plate never shows without its handle.
        COffscreenContext offscreen(parentFrame, widthControl, heightControl, kBlackCColor);
        offscreen.offset = CPoint(-size.left, -size.top);
        drawParts(&offscreen);
        offscreen.copyFrom(context, size);
    } else {
        drawParts(context);
    }
    setDirty(false);
}

void CSlider::drawParts(CDrawContext* context) {
    if (background) {
        CRect rect = size;
        background->drawTransparentIf(transparencyEnabled, context, rect, offset);
    }
    if (handle) {
        CRect rect = handleRect();
        handle->drawTransparentIf(drawTransparentHandle, context, rect);
    }
}

void CSlider::mouse(CDrawContext* context, CPoint& where, long buttons) {
    if (!context || !acceptMouse(context, buttons))
        return;
    if (checkDefaultValue(context, buttons))
        return;
    if (!(buttons & kLButton))
        return;

    // Where on the handle the pointer holds it.
    CCoord grab = horizontal() ? widthOfSlider / 2 - 1 : heightOfSlider / 2 - 1;
    if (!freeClick) {
        const CRect current = handleRect();
        if (!current.pointInside(where))
            return;
        grab = horizontal() ? where.h - current.left : where.v - current.top;
    }
    const CCoord origin = horizontal() ? size.left + offsetHandle.h : size.top + offsetHandle.v;
    const bool fromEnd = (style & (kRight | kBottom)) != 0;
    const float range = rangeHandle != 0 ? float(rangeHandle) : 1.0f;

    float reference = value;
    beginEdit();
    while (true) {
        buttons = context->getMouseButtons();
        if (!(buttons & kLButton))
            break;
        const CCoord p = (horizontal() ? where.h : where.v) - origin - grab;
        value = float(p) / range;
        if (fromEnd)
            value = 1.0f - value;
        // With Shift the pointer moves the value zoomFactor times less from where Shift began.
        if (buttons & kShift)
            value = (value - reference) / zoomFactor + reference;
        bounceValue();
        if (!(buttons & kShift))
            reference = value;
        if (isDirty() && listener)
            listener->valueChanged(context, this);
        getMouseLocation(context, where);
        doIdleStuff();
        if (!inFrame())
            break;
    }
    endEdit();
}

bool CSlider::onWheel(CDrawContext* context, const CPoint&, float distance) {
    return stepValueByWheel(*this, context, distance);
}

long CSlider::onKeyDown(const KeyCode& keyCode) {
    return stepValueByKey(*this, keyCode);
}

CVerticalSlider::CVerticalSlider(const CRect& size, CControlListener* listener, long tag,
                                 long minPos, long maxPos, CBitmap* handle, CBitmap* background,
                                 const CPoint& offset, const long style)
    : CSlider(size, listener, tag, minPos, maxPos, handle, background, offset, style | kVertical) {}

}  // namespace tanuvo::gui
