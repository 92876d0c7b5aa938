#include "gui/CParamDisplay.h"

#include "gui/CBitmap.h"

#include <cstdio>
#include <cstring>

namespace tanuvo::gui {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, const long style)
    : CControl(size, nullptr, 0, background), style(style) {
    if (style & kNoDrawStyle)
        setDirty(false);
}

CParamDisplay::~CParamDisplay() = default;

bool CParamDisplay::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CParamDisplay") == 0) ||
           CControl::isTypeOf(className);
}

void CParamDisplay::draw(CDrawContext* context) {
    char text[256] = "";
    if (stringConvert2)
        stringConvert2(value, text, userData);
    else if (stringConvert)
        stringConvert(value, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", value);
    text[sizeof text - 1] = 0;  // converters are not trusted to terminate
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* substitute) {
    setDirty(false);
    if (style & kNoDrawStyle)
        return;

    CBitmap* picture = substitute ? substitute : background;
    if (picture) {
        CRect rect = size;
        picture->drawTransparentIf(transparencyEnabled, context, rect, backOffset);
    } else if (!transparencyEnabled) {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & (k3DIn | k3DOut | kNoFrame))) {
            context->setFrameColor(frameColor);
            context->drawRect(size);
        }
    }

    if (style & (k3DIn | k3DOut)) {
        // Lit from the top left when raised, from the bottom right when sunken.
        const CColor upperLeft = (style & k3DIn) ? backColor : frameColor;
        const CColor lowerRight = (style & k3DIn) ? frameColor : backColor;
        const CCoord l = size.left, t = size.top, r = size.right - 1, b = size.bottom - 1;
        context->setLineWidth(1);
        context->setFrameColor(upperLeft);
        context->moveTo(CPoint(l, b));
        context->lineTo(CPoint(l, t));
        context->lineTo(CPoint(r, t));
        context->setFrameColor(lowerRight);
        context->moveTo(CPoint(r, t));
        context->lineTo(CPoint(r, b));
        context->lineTo(CPoint(l, b));
    }

    if ((style & kNoTextStyle) || !text)
        return;

    CRect oldClip;
    context->getClipRect(oldClip);
    context->setClipRect(size);
    context->setFont(fontID, 0, txtFace);
    if (style & kShadowText) {
        CRect shadowRect = size;
        shadowRect.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, !textTransparency, horiTxtAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparency, horiTxtAlign);
    context->setClipRect(oldClip);
}

void CParamDisplay::setFont(CFont value) {
    if (assignIfChanged(fontID, value))
        setDirty();
}

void CParamDisplay::setTxtFace(CTxtFace value) {
    if (assignIfChanged(txtFace, value))
        setDirty();
}

void CParamDisplay::setFontColor(CColor color) {
    if (assignIfChanged(fontColor, color))
        setDirty();
}

void CParamDisplay::setBackColor(CColor color) {
    if (assignIfChanged(backColor, color))
        setDirty();
}

void CParamDisplay::setFrameColor(CColor color) {
    if (assignIfChanged(frameColor, color))
        setDirty();
}

void CParamDisplay::setShadowColor(CColor color) {
    if (assignIfChanged(shadowColor, color))
        setDirty();
}

CTextLabel::CTextLabel(const CRect& size, const char* text, CBitmap* background, const long style)
    : CParamDisplay(size, background, style) {
    setText(text);
}

CTextLabel::~CTextLabel() {
    delete[] text;
}

bool CTextLabel::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CTextLabel") == 0) ||
           CParamDisplay::isTypeOf(className);
}

void CTextLabel::setText(const char* value) {
    delete[] text;
    text = nullptr;
    if (value) {
        text = new char[std::strlen(value) + 1];
        std::strcpy(text, value);
    }
}

void CTextLabel::draw(CDrawContext* context) {
    drawText(context, text);
    setDirty(false);
}

}  // namespace tanuvo::gui
