#include "gui/CKnob.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/ControlStepping.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tanuvo::gui {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr float kLinearRange = 200.0f;  // pixels of pointer travel over the whole range

double wrapAngle(double angle) {
    angle = std::fmod(angle, kTwoPi);
    return angle < 0 ? angle + kTwoPi : angle;
}

}  // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      startAngle(float(5.0 * kPi / 4.0)),
      rangeAngle(float(-3.0 * kPi / 2.0)),
      radius(size.width() / 2) {
    setHandleBitmap(handle);
    compute();
    wantsFocus = true;
}

CKnob::~CKnob() {
    if (handleBitmap)
        handleBitmap->forget();
}

bool CKnob::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CKnob") == 0) || CControl::isTypeOf(className);
}

void CKnob::compute() {
    aCoef = (vmax - vmin) / rangeAngle;
    bCoef = vmin - startAngle * aCoef;
    halfAngle = float((kTwoPi - std::fabs(rangeAngle)) / 2.0);
}

void CKnob::setStartAngle(float angle) {
    startAngle = angle;
    compute();
}

void CKnob::setRangeAngle(float angle) {
    rangeAngle = angle;
    compute();
}

void CKnob::setMin(float value) {
    CControl::setMin(value);
    compute();
}

void CKnob::setMax(float value) {
    CControl::setMax(value);
    compute();
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    replaceReference(handleBitmap, bitmap);
}

void CKnob::valueToPoint(CPoint& point) const {
    const double angle = (double(value) - bCoef) / aCoef;
    const double reach = double(radius - inset);
    point.h = truncateToCoord(radius + std::cos(angle) * reach + 0.5);
    point.v = truncateToCoord(radius - std::sin(angle) * reach + 0.5);
}

float CKnob::valueFromPoint(const CPoint& point) const {
    const double theta = wrapAngle(std::atan2(double(radius - point.v), double(point.h - radius)));
    const double phi = wrapAngle(theta - startAngle - rangeAngle);
    if (phi > halfAngle - rangeAngle)
        return vmax;
    if (phi > -rangeAngle)
        return vmin;
    return float(vmax + aCoef * phi);
}

void CKnob::draw(CDrawContext* context) {
    if (background) {
        CRect rect = size;
        background->drawTransparentIf(transparencyEnabled, context, rect, offset);
    }
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
    CPoint rim;
    valueToPoint(rim);
    if (handleBitmap) {
        const CCoord w = handleBitmap->getWidth(), h = handleBitmap->getHeight();
        CRect rect(0, 0, w, h);
        rect.offset(size.left + rim.h - w / 2, size.top + rim.v - h / 2);
        handleBitmap->drawTransparentIf(transparencyEnabled, context, rect);
        return;
    }
    // A line from the centre to the rim over its shadow.
    const CPoint centre(size.left + radius, size.top + radius);
    const CPoint end(size.left + rim.h, size.top + rim.v);
    context->setLineWidth(1);
    context->setFrameColor(colorShadowHandle);
    context->moveTo(CPoint(centre.h + 1, centre.v + 1));
    context->lineTo(CPoint(end.h + 1, end.v + 1));
    context->setFrameColor(colorHandle);
    context->moveTo(centre);
    context->lineTo(end);
}

void CKnob::mouse(CDrawContext* context, CPoint& where, long buttons) {
    if (!context || !acceptMouse(context, buttons))
        return;
    if (!(buttons & kLButton))
        return;
    if (checkDefaultValue(context, buttons))
        return;

    const long mode = parentFrame ? parentFrame->getKnobMode() : long(kCircularMode);
    const bool alt = (buttons & kAlt) != 0;
    const bool linear = (mode == kLinearMode) != alt;

    const CPoint first = where;
    float entryValue = value;
    float range = (buttons & kShift) ? kLinearRange * zoomFactor : kLinearRange;
    float coef = (vmax - vmin) / range;
    long lastButtons = buttons;
    const float middle = (vmax - vmin) * 0.5f;
    float old = valueFromPoint(CPoint(where.h - size.left, where.v - size.top));

    // Impossible position, so that the press itself counts as a move.
    CPoint last(where.h - 1, where.v - 1);
    beginEdit();
    do {
        buttons = context->getMouseButtons();
        if (where != last) {
            last = where;
            if (linear) {
                const float diff = float((where.h - first.h) + (first.v - where.v));
                if (buttons != lastButtons) {
                    // A new zoom keeps the knob where it is.
                    lastButtons = buttons;
                    range = (buttons & kShift) ? kLinearRange * zoomFactor : kLinearRange;
                    const float newCoef = (vmax - vmin) / range;
                    entryValue += diff * (coef - newCoef);
                    coef = newCoef;
                }
                value = entryValue + diff * coef;
                bounceValue();
            } else {
                value = valueFromPoint(CPoint(where.h - size.left, where.v - size.top));
                // No jump across the dead zone at the bottom.
                if (old - value > middle)
                    value = vmax;
                else if (value - old > middle)
                    value = vmin;
                else
                    old = value;
            }
            if (isDirty() && listener)
                listener->valueChanged(context, this);
        }
        getMouseLocation(context, where);
        doIdleStuff();
    } while ((buttons & kLButton) && inFrame());
    endEdit();
}

bool CKnob::onWheel(CDrawContext* context, const CPoint&, float distance) {
    return stepValueByWheel(*this, context, distance);
}

long CKnob::onKeyDown(const KeyCode& keyCode) {
    return stepValueByKey(*this, keyCode);
}

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset),
      subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {
    inset = 0;
}

CAnimKnob::~CAnimKnob() = default;

bool CAnimKnob::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CAnimKnob") == 0) || CKnob::isTypeOf(className);
}

bool CAnimKnob::isDirty() const {
    if (!dirty) {
        CPoint rim;
        valueToPoint(rim);
        if (rim == lastDrawnPoint)
            return false;
    }
    return CKnob::isDirty();
}

void CAnimKnob::draw(CDrawContext* context) {
    if (value >= 0.0f && heightOfOneImage > 0) {
        const double total = double(subPixmaps - 1) * heightOfOneImage;
        CCoord y = truncateToCoord((inverseBitmap ? 1.0 - value : double(value)) * total);
        y -= y % heightOfOneImage;  // the start of the image holding y
        // Values outside 0..1 show the end images rather than pixels beyond the strip.
        y = std::max(CCoord(0), std::min(y, truncateToCoord(total)));
        if (background) {
            CRect rect = size;
            const CPoint source(offset.h, offset.v + y);
            background->drawTransparentIf(transparencyEnabled, context, rect, source);
        }
        valueToPoint(lastDrawnPoint);
    }
    setDirty(false);
}

}  // namespace tanuvo::gui
