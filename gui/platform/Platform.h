#pragma once
// The only door from the toolkit to the operating system. Everything here is shaped like the
// Win32/GDI calls the toolkit needs; gui/platform/win32 makes those calls, gui/platform/soft
// reproduces them on an RGBA framebuffer. Exactly one implementation is linked.

#include <cstddef>
#include <cstdint>

namespace tanuvo::gui {
namespace platform {

struct DCObject;
struct PenObject;
struct BrushObject;
struct FontObject;
struct BitmapObject;
struct WindowObject;
struct CursorObject;
struct MenuObject;
struct DropTargetObject;
using DC = DCObject*;
using Pen = PenObject*;
using Brush = BrushObject*;
using Font = FontObject*;
using Bitmap = BitmapObject*;
using Window = WindowObject*;
using Cursor = CursorObject*;
using Menu = MenuObject*;
using DropTarget = DropTargetObject*;

// red | green << 8 | blue << 16, as GDI takes colours.
using ColorRef = std::uint32_t;
constexpr ColorRef makeColorRef(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}

struct IntRect {
    std::int32_t left, top, right, bottom;
};

// ---- drawing objects ----
enum PenStyle { kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenNull = 5 };
Pen createPen(int style, int width, ColorRef color);
Pen nullPen();  // stock object, never deleted
Brush createSolidBrush(ColorRef color);

struct FontRequest {
    int height;  // negative: character height in pixels
    int weight;  // 400 normal, 700 bold
    bool italic;
    bool underline;
    int outPrecision;
    int clipPrecision;
    int pitchAndFamily;
    const char* face;
};
Font createFont(const FontRequest& request);

void deletePen(Pen pen);
void deleteBrush(Brush brush);
void deleteFont(Font font);
void deleteBitmap(Bitmap bitmap);

// ---- device contexts ----
DC getWindowDC(Window window);
void releaseWindowDC(Window window, DC dc);
DC createCompatibleDC(DC dc);  // dc may be null: compatible with the screen
void deleteDC(DC dc);

Pen selectPen(DC dc, Pen pen);  // each answers the previously selected object
Brush selectBrush(DC dc, Brush brush);
Font selectFont(DC dc, Font font);
Bitmap selectBitmap(DC dc, Bitmap bitmap);

ColorRef setBkColor(DC dc, ColorRef color);  // answers the previous colour
ColorRef setTextColor(DC dc, ColorRef color);
void setBkModeOpaque(DC dc, bool opaque);
void setRop2(DC dc, int mode);  // 13 copy pen, 7 xor pen
// Clip to one rectangle in device coordinates.
void setClipRect(DC dc, const IntRect& rect);

void moveTo(DC dc, int x, int y);
void lineTo(DC dc, int x, int y);  // the end point is not drawn
void fillRect(DC dc, const IntRect& rect, Brush brush);

enum TextAlign { kTextLeft = 0, kTextCenter = 1, kTextRight = 2 };
// One line, vertically centred in rect, no prefix processing.
void drawText(DC dc, const char* text, const IntRect& rect, int align);

// ---- bitmaps and blits ----
Bitmap createCompatibleBitmap(DC dc, int width, int height);
Bitmap createMonochromeBitmap(int width, int height);
// Colour bitmap from rows of red, green, blue, alpha bytes, top row first.
Bitmap createBitmapFromRGBA(int width, int height, const std::uint8_t* rgba);
Bitmap loadBitmapResource(int id);  // null when the library holds no such bitmap
bool getBitmapSize(Bitmap bitmap, int* width, int* height);

enum RasterOp : std::uint32_t {
    kSrcCopy = 0x00CC0020,
    kSrcInvert = 0x00660046,
    kSrcAnd = 0x008800C6,
};
void bitBlt(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, RasterOp op);

// The optional blend library ("msimg32"): counted, entry points valid while loaded.
bool loadBlendLibrary();
void freeBlendLibrary();
bool hasTransparentBlt();
bool hasAlphaBlend();
bool transparentBlt(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
                    ColorRef transparent);
bool alphaBlend(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
                std::uint8_t alpha);
// Old systems blend only from the origin of a bitmap (version 4.10, platform 1).
bool alphaBlendNeedsOriginCopy();

// Reads pixels back as red, green, blue, alpha bytes (alpha 255); w*h*4 bytes.
bool readPixels(DC dc, int x, int y, int w, int h, std::uint8_t* rgba);

// ---- windows ----
class IWindowHandler {
  public:
    virtual ~IWindowHandler() = default;
    virtual void onPaint(DC dc, const IntRect& updateRect) = 0;
    virtual void onMouseDown(int x, int y) = 0;
    virtual void onWheel(int x, int y, float distance) = 0;
    virtual void onDestroy() = 0;
    // Owner-drawn menus and edit colours go to the focus view; answer false when unhandled.
    virtual bool onMeasureMenuItem(void* itemData, int* width, int* height) = 0;
    virtual bool onDrawMenuItem(void* itemData, DC dc, const IntRect& rect, int state) = 0;
    virtual Brush onEditColor(DC dc) = 0;
};

bool isValidParentWindow(void* parent);
// Registers the frame window class; answers its name. Counting is the caller's.
bool registerFrameClass();
void unregisterFrameClass();
const char* frameClassName();
bool mouseButtonsSwapped();  // system setting, read at registration

Window createFrameWindow(void* parent, int width, int height, IWindowHandler* handler);
void setWindowHandler(Window window, IWindowHandler* handler);  // null detaches
void destroyWindow(Window window);
void invalidateWindow(Window window, const IntRect* rect);  // null: all
void setWindowSize(Window window, int width, int height);
// Resizes the window and the MDI windows around it itself; false when it gave up.
bool resizeEnclosingWindows(Window window, void* parent, int width, int height);
bool getWindowPositionInParent(Window window, void* parent, int* x, int* y);
bool getWindowScreenOrigin(Window window, int* x, int* y);
bool getCursorScreenPos(int* x, int* y);
void* nativeWindowHandle(Window window);

// ---- input, time, messages ----
enum KeyBits {
    kKeyLeft = 1,
    kKeyMiddle = 2,
    kKeyRight = 4,
    kKeyShift = 8,
    kKeyCtrl = 16,
    kKeyAlt = 32
};
int asyncKeyState();  // physical buttons and modifiers, KeyBits
std::uint32_t tickCount();
void sleepMs(int ms);
void dispatchOnePendingPaint();
// Delivers the window's pending system events where no host message loop does (on Win32 the
// host's loop delivers them, so this does nothing there).
void processWindowEvents(Window window);
unsigned doubleClickTime();

// ---- cursors ----
Cursor currentCursor();
Cursor standardCursor(int type);  // the frame's cursor table; null for types without one
void setCursor(Cursor cursor);

// ---- pop-up menus ----
enum MenuFlags {
    kMenuChecked = 1,
    kMenuDisabled = 2,
    kMenuGrayed = 4,
    kMenuSeparator = 8,
    kMenuColumnBreak = 16
};
Menu createPopupMenu();
void appendMenuItem(Menu menu, int flags, int commandId, const char* text, Menu subMenu);
void destroyMenu(Menu menu);
// Shows the menu at a screen point, owned by the window; answers the chosen command or -1.
int trackPopupMenu(Menu menu, bool rightButton, int x, int y, Window owner);

// ---- OLE and drag and drop ----
// True when OLE was initialised and a matching oleUninitialize is due: a thread that is already
// in another COM apartment refuses, and uninitialising then would undo the host's own set-up.
bool oleInitialize();
void oleUninitialize();

class IDropHandler {
  public:
    virtual ~IDropHandler() = default;
    virtual void onDragEnter(int itemCount, int x, int y) = 0;
    virtual void onDragMove(int x, int y) = 0;
    virtual void onDragLeave() = 0;
    virtual void onDrop(int x, int y) = 0;
};
DropTarget registerDropTarget(Window window, IDropHandler* handler);
void revokeDropTarget(Window window, DropTarget target);

}  // namespace platform
}  // namespace tanuvo::gui
