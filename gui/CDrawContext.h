#pragma once
// Stateful drawing on a device context: colours, line style, font and clip, with an origin offset
// added to every coordinate. COffscreenContext draws into a memory bitmap for flicker-free
// updates and is copied to the screen afterwards.

#include "gui/CGraphicsTypes.h"
#include "gui/CReferenceCounter.h"
#include "gui/platform/Platform.h"

namespace tanuvo::gui {

class CFrame;
class CBitmap;

enum CLineStyle { kLineSolid = 0, kLineOnOffDash };
enum CDrawMode { kCopyMode = 0, kOrMode, kXorMode };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };
enum CTxtFace { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };
// Indices of the standard font table.
enum CFont {
    kSystemFont = 0,
    kNormalFontVeryBig,
    kNormalFontBig,
    kNormalFont,
    kNormalFontSmall,
    kNormalFontSmaller,
    kNormalFontVerySmall,
    kSymbolFont,
    kNumStandardFonts
};

struct CFontTableEntry {
    const char* face;
    int size;
};
extern const CFontTableEntry kFontTable[kNumStandardFonts];

class CDrawContext : public CReferenceCounter {
  public:
    // Without a device context but with a window, the window's device context is fetched.
    CDrawContext(CFrame* frame, platform::DC systemContext, platform::Window window = nullptr);
    ~CDrawContext() override;

    void moveTo(const CPoint& point);
    void lineTo(const CPoint& point);
    void drawRect(const CRect& rect);
    void fillRect(const CRect& rect);
    void drawString(const char* text, const CRect& rect, short opaque = false,
                    CHoriTxtAlign hAlign = kCenterText);

    void setLineStyle(CLineStyle style);
    CLineStyle getLineStyle() const { return lineStyle; }
    void setLineWidth(CCoord width);
    CCoord getLineWidth() const { return frameWidth; }
    void setDrawMode(CDrawMode mode);
    CDrawMode getDrawMode() const { return drawMode; }

    // Clip rectangles are given and answered in this context's coordinates.
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();

    void setFillColor(const CColor color);
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor color);
    CColor getFrameColor() const { return frameColor; }
    void setFontColor(const CColor color);
    CColor getFontColor() const { return fontColor; }
    // Index outside the table selects index 0; the size always comes from the table.
    void setFont(CFont fontID, const long size = 0, long style = 0);
    CFont getFont() const { return fontId; }
    long getFontSize() const { return fontSize; }
    long getFontStyle() const { return fontStyle; }

    // Buttons and modifiers held now, with swapped mouse buttons already exchanged.
    long getMouseButtons();
    void getMouseLocation(CPoint& point);

    platform::DC getSystemContext() const { return dc; }
    platform::Window getWindow() const { return window; }
    CFrame* getFrame() const { return frame; }

    CPoint offset;        // added to every coordinate
    CPoint offsetScreen;  // the window's top-left corner on the screen

  protected:
    // For contexts that create their device context later (offscreen).
    explicit CDrawContext(CFrame* frame);
    // Selects the initial pen, brush and font and sets the initial modes.
    void initDeviceContext();
    void releaseDeviceObjects();
    void makePen();

    platform::DC dc = nullptr;
    platform::Window window = nullptr;
    CFrame* frame;

    CFont fontId = kSystemFont;
    long fontStyle = kBoldFace;
    long fontSize = 12;
    CCoord frameWidth = 1;
    CColor frameColor = kWhiteCColor;
    CColor fillColor = kBlackCColor;
    CColor fontColor = kWhiteCColor;
    CLineStyle lineStyle = kLineSolid;
    CDrawMode drawMode = kCopyMode;
    CRect clipRect;  // device coordinates

    platform::Pen pen = nullptr;
    platform::Brush brush = nullptr;
    platform::Font font = nullptr;
    platform::Pen oldPen = nullptr;
    platform::Brush oldBrush = nullptr;
    platform::Font oldFont = nullptr;
    platform::DC fetchedDC = nullptr;  // released on destruction
};

class COffscreenContext : public CDrawContext {
  public:
    COffscreenContext(CFrame* frame, long width, long height,
                      const CColor backgroundColor = kBlackCColor);
    // Draws into (or from) an existing bitmap, which is remembered until destruction.
    COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawInBitmap = false);
    ~COffscreenContext() override;

    // Copies the rectangle's size from the source point of this bitmap to the destination.
    void copyFrom(CDrawContext* destination, CRect destinationRect, CPoint source = CPoint(0, 0));

    long getWidth() const { return width; }
    long getHeight() const { return height; }
    CColor getBackgroundColor() const { return backgroundColor; }

  protected:
    platform::Bitmap bitmap = nullptr;
    platform::Bitmap previousBitmap = nullptr;
    bool ownsBitmap = false;
    CBitmap* bitmapReference = nullptr;
    long width;
    long height;
    CColor backgroundColor;
};

}  // namespace tanuvo::gui
