#include "gui/CDrawContext.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

#include <algorithm>

namespace tanuvo::gui {

const CFontTableEntry kFontTable[kNumStandardFonts] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

namespace {

constexpr int kRopCopyPen = 13;
constexpr int kRopMergePen = 15;
constexpr int kRopXorPen = 7;

platform::IntRect toIntRect(const CRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

platform::Font makeFont(CFont index, long style) {
    platform::FontRequest request{};
    request.height = -kFontTable[index].size;
    // The system font is always bold.
    request.weight = (style & kBoldFace) || index == kSystemFont ? 700 : 400;
    request.italic = (style & kItalicFace) != 0;
    request.underline = (style & kUnderlineFace) != 0;
    request.outPrecision = 1;
    request.clipPrecision = 2;
    request.pitchAndFamily = index == kSymbolFont ? 80 : 34;
    request.face = kFontTable[index].face;
    return platform::createFont(request);
}

}  // namespace

CDrawContext::CDrawContext(CFrame* frame) : frame(frame) {
    clipRect = frame ? frame->getViewSize() : CRect(0, 0, 1000, 1000);
}

CDrawContext::CDrawContext(CFrame* frame, platform::DC systemContext, platform::Window window)
    : CDrawContext(frame) {
    this->window = window;
    dc = systemContext;
    if (!dc && window) {
        dc = platform::getWindowDC(window);
        fetchedDC = dc;
    }
    if (window)
        platform::getWindowScreenOrigin(window, &offsetScreen.h, &offsetScreen.v);
    initDeviceContext();
}

void CDrawContext::initDeviceContext() {
    if (!dc)
        return;
    pen = platform::createPen(platform::kPenSolid, frameWidth, toColorRef(frameColor));
    oldPen = platform::selectPen(dc, pen);
    brush = platform::createSolidBrush(toColorRef(fillColor));
    oldBrush = platform::selectBrush(dc, brush);
    font = makeFont(fontId, fontStyle);
    oldFont = platform::selectFont(dc, font);
    platform::setBkColor(dc, toColorRef(fillColor));
    platform::setTextColor(dc, toColorRef(fontColor));
    platform::setBkModeOpaque(dc, false);
    platform::setRop2(dc, kRopCopyPen);
}

void CDrawContext::releaseDeviceObjects() {
    if (dc) {
        if (oldPen)
            platform::selectPen(dc, oldPen);
        if (oldBrush)
            platform::selectBrush(dc, oldBrush);
        if (oldFont)
            platform::selectFont(dc, oldFont);
    }
    platform::deletePen(pen);
    platform::deleteBrush(brush);
    platform::deleteFont(font);
    pen = nullptr;
    brush = nullptr;
    font = nullptr;
    oldPen = nullptr;
    oldBrush = nullptr;
    oldFont = nullptr;
}

CDrawContext::~CDrawContext() {
    releaseDeviceObjects();
    if (fetchedDC)
        platform::releaseWindowDC(window, fetchedDC);
}

void CDrawContext::makePen() {
    if (!dc)
        return;
    int style = lineStyle == kLineOnOffDash ? platform::kPenDot : platform::kPenSolid;
    platform::Pen newPen = platform::createPen(style, frameWidth, toColorRef(frameColor));
    if (!newPen)
        return;
    platform::selectPen(dc, newPen);
    platform::deletePen(pen);
    pen = newPen;
}

void CDrawContext::setLineStyle(CLineStyle style) {
    if (assignIfChanged(lineStyle, style))
        makePen();
}

void CDrawContext::setLineWidth(CCoord width) {
    if (assignIfChanged(frameWidth, width))
        makePen();
}

void CDrawContext::setFrameColor(const CColor color) {
    if (assignIfChanged(frameColor, color))
        makePen();
}

void CDrawContext::setDrawMode(CDrawMode mode) {
    if (!assignIfChanged(drawMode, mode))
        return;
    if (dc)
        platform::setRop2(dc, mode == kXorMode  ? kRopXorPen
                              : mode == kOrMode ? kRopMergePen
                                                : kRopCopyPen);
}

void CDrawContext::setFillColor(const CColor color) {
    if (!assignIfChanged(fillColor, color))
        return;
    if (!dc)
        return;
    platform::setBkColor(dc, toColorRef(color));
    platform::Brush newBrush = platform::createSolidBrush(toColorRef(color));
    if (!newBrush)
        return;  // the previous brush stays selected
    platform::selectBrush(dc, newBrush);
    platform::deleteBrush(brush);
    brush = newBrush;
}

void CDrawContext::setFontColor(const CColor color) {
    fontColor = color;
    if (dc)
        platform::setTextColor(dc, toColorRef(color));
}

void CDrawContext::setFont(CFont fontID, const long /*size*/, long style) {
    if (fontID < 0 || fontID >= kNumStandardFonts)
        fontID = kSystemFont;
    const long tableSize = kFontTable[fontID].size;
    if (fontID == fontId && tableSize == fontSize && style == fontStyle && font)
        return;
    fontId = fontID;
    fontSize = tableSize;
    fontStyle = style;
    if (!dc)
        return;
    platform::Font newFont = makeFont(fontID, style);
    if (!newFont)
        return;
    platform::selectFont(dc, newFont);
    platform::deleteFont(font);
    font = newFont;
}

void CDrawContext::setClipRect(const CRect& clip) {
    CRect device = clip;
    device.offset(offset.h, offset.v);
    if (!assignIfChanged(clipRect, device))
        return;
    if (dc)
        platform::setClipRect(dc, toIntRect(device));
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.offset(-offset.h, -offset.v);
    return clip;
}

void CDrawContext::resetClipRect() {
    CRect full = frame ? frame->getViewSize() : CRect(0, 0, 1000, 1000);
    clipRect = full;
    if (dc)
        platform::setClipRect(dc, toIntRect(full));
}

void CDrawContext::moveTo(const CPoint& point) {
    if (dc)
        platform::moveTo(dc, point.h + offset.h, point.v + offset.v);
}

void CDrawContext::lineTo(const CPoint& point) {
    if (dc)
        platform::lineTo(dc, point.h + offset.h, point.v + offset.v);
}

void CDrawContext::drawRect(const CRect& rect) {
    // The outline's far edges are the last pixels inside the rectangle.
    const CCoord l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    moveTo(CPoint(l, t));
    lineTo(CPoint(r, t));
    lineTo(CPoint(r, b));
    lineTo(CPoint(l, b));
    lineTo(CPoint(l, t));
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!dc)
        return;
    CRect r(rect.left + 1, rect.top + 1, rect.right, rect.bottom);
    r.offset(offset.h, offset.v);
    platform::Pen previous = platform::selectPen(dc, platform::nullPen());
    platform::fillRect(dc, toIntRect(r), brush);
    platform::selectPen(dc, previous);
}

void CDrawContext::drawString(const char* text, const CRect& rect, short opaque,
                              CHoriTxtAlign hAlign) {
    if (!dc || !text)
        return;
    platform::setBkModeOpaque(dc, opaque != 0);
    CRect r = rect;
    r.offset(offset.h, offset.v);
    int align = platform::kTextLeft;
    if (hAlign == kCenterText)
        align = platform::kTextCenter;
    else if (hAlign == kRightText)
        align = platform::kTextRight;
    else
        r.left += 1;
    platform::drawText(dc, text, toIntRect(r), align);
    platform::setBkModeOpaque(dc, false);
}

long CDrawContext::getMouseButtons() {
    const int state = platform::asyncKeyState();
    long buttons = 0;
    const bool swapped = CFrame::buttonsSwapped();
    if (state & platform::kKeyLeft)
        buttons |= swapped ? kRButton : kLButton;
    if (state & platform::kKeyMiddle)
        buttons |= kMButton;
    if (state & platform::kKeyRight)
        buttons |= swapped ? kLButton : kRButton;
    if (state & platform::kKeyShift)
        buttons |= kShift;
    if (state & platform::kKeyCtrl)
        buttons |= kControl;
    if (state & platform::kKeyAlt)
        buttons |= kAlt;
    return buttons;
}

void CDrawContext::getMouseLocation(CPoint& point) {
    int x = 0, y = 0;
    platform::getCursorScreenPos(&x, &y);
    point = CPoint(x - offsetScreen.h - offset.h, y - offsetScreen.v - offset.v);
}

// ---- COffscreenContext ----

COffscreenContext::COffscreenContext(CFrame* frame, long width, long height,
                                     const CColor backgroundColor)
    : CDrawContext(frame), width(width), height(height), backgroundColor(backgroundColor) {
    if (width > 0 && height > 0)
        clipRect = CRect(0, 0, width, height);
    platform::Window frameWindow = frame ? frame->getPlatformWindow() : nullptr;
    platform::DC windowDC = platform::getWindowDC(frameWindow);
    dc = platform::createCompatibleDC(windowDC);
    bitmap = platform::createCompatibleBitmap(windowDC, int(std::max(1L, width)),
                                              int(std::max(1L, height)));
    ownsBitmap = true;
    if (dc && bitmap)
        previousBitmap = platform::selectBitmap(dc, bitmap);
    if (windowDC)
        platform::releaseWindowDC(frameWindow, windowDC);
    initDeviceContext();
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    fillRect(CRect(0, 0, width, height));
    drawRect(CRect(0, 0, width, height));
}

COffscreenContext::COffscreenContext(CDrawContext* context, CBitmap* bitmapReference,
                                     bool /*drawInBitmap*/)
    : CDrawContext(context ? context->getFrame() : nullptr),
      bitmapReference(bitmapReference),
      width(bitmapReference ? bitmapReference->getWidth() : 0),
      height(bitmapReference ? bitmapReference->getHeight() : 0),
      backgroundColor(kBlackCColor) {
    if (width > 0 && height > 0)
        clipRect = CRect(0, 0, width, height);
    if (bitmapReference)
        bitmapReference->remember();
    dc = platform::createCompatibleDC(context ? context->getSystemContext() : nullptr);
    bitmap = bitmapReference ? bitmapReference->getHandle() : nullptr;
    if (dc && bitmap)
        previousBitmap = platform::selectBitmap(dc, bitmap);
    initDeviceContext();
}

COffscreenContext::~COffscreenContext() {
    releaseDeviceObjects();
    if (dc && previousBitmap)
        platform::selectBitmap(dc, previousBitmap);
    platform::deleteDC(dc);
    dc = nullptr;
    if (ownsBitmap)
        platform::deleteBitmap(bitmap);
    if (bitmapReference)
        bitmapReference->forget();
}

void COffscreenContext::copyFrom(CDrawContext* destination, CRect destinationRect, CPoint source) {
    if (!destination || !destination->getSystemContext() || !dc)
        return;
    platform::bitBlt(destination->getSystemContext(), destinationRect.left + destination->offset.h,
                     destinationRect.top + destination->offset.v, destinationRect.width(),
                     destinationRect.height(), dc, source.h, source.v, platform::kSrcCopy);
}

}  // namespace tanuvo::gui
