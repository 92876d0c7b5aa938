// The platform interface on Windows: each operation is the Win32, GDI, msimg32 or OLE call it is
// shaped after. Handles pass through unchanged as the opaque pointer types.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include "gui/platform/Platform.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace tanuvo::gui {
namespace platform {

namespace {

template <typename To, typename From>
To as(From from) {
    return reinterpret_cast<To>(from);
}
HDC hdc(DC dc) {
    return as<HDC>(dc);
}
HWND hwnd(Window w) {
    return as<HWND>(w);
}

HINSTANCE moduleInstance() {
    // The module holding this code: the plug-in DLL, or the test program that links it.
    static HINSTANCE instance = [] {
        HMODULE module = nullptr;
        GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&moduleInstance), &module);
        return module;
    }();
    return instance;
}

RECT toRECT(const IntRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace

// ---- drawing objects ----

Pen createPen(int style, int width, ColorRef color) {
    int ps = PS_SOLID;
    if (style == kPenDash)
        ps = PS_DASH;
    if (style == kPenDot)
        ps = PS_DOT;
    if (style == kPenNull)
        ps = PS_NULL;
    return as<Pen>(CreatePen(ps, width, color));
}
Pen nullPen() {
    return as<Pen>(GetStockObject(NULL_PEN));
}
Brush createSolidBrush(ColorRef color) {
    return as<Brush>(CreateSolidBrush(color));
}

Font createFont(const FontRequest& s) {
    return as<Font>(CreateFontA(s.height, 0, 0, 0, s.weight, s.italic, s.underline, 0, 0,
                                DWORD(s.outPrecision), DWORD(s.clipPrecision), 0,
                                DWORD(s.pitchAndFamily), s.face));
}

namespace {
void deleteObject(void* object) {
    if (object)
        DeleteObject(as<HGDIOBJ>(object));
}
}  // namespace

void deletePen(Pen pen) {
    deleteObject(pen);
}
void deleteBrush(Brush brush) {
    deleteObject(brush);
}
void deleteFont(Font font) {
    deleteObject(font);
}
void deleteBitmap(Bitmap bitmap) {
    deleteObject(bitmap);
}

// ---- device contexts ----

DC getWindowDC(Window window) {
    return as<DC>(GetDC(hwnd(window)));
}
void releaseWindowDC(Window window, DC dc) {
    ReleaseDC(hwnd(window), hdc(dc));
}
DC createCompatibleDC(DC dc) {
    return as<DC>(CreateCompatibleDC(hdc(dc)));
}
void deleteDC(DC dc) {
    if (dc)
        DeleteDC(hdc(dc));
}

Pen selectPen(DC dc, Pen pen) {
    return as<Pen>(SelectObject(hdc(dc), as<HGDIOBJ>(pen)));
}
Brush selectBrush(DC dc, Brush brush) {
    return as<Brush>(SelectObject(hdc(dc), as<HGDIOBJ>(brush)));
}
Font selectFont(DC dc, Font font) {
    return as<Font>(SelectObject(hdc(dc), as<HGDIOBJ>(font)));
}
Bitmap selectBitmap(DC dc, Bitmap bitmap) {
    return as<Bitmap>(SelectObject(hdc(dc), as<HGDIOBJ>(bitmap)));
}

ColorRef setBkColor(DC dc, ColorRef color) {
    return SetBkColor(hdc(dc), color);
}
ColorRef setTextColor(DC dc, ColorRef color) {
    return SetTextColor(hdc(dc), color);
}
void setBkModeOpaque(DC dc, bool opaque) {
    SetBkMode(hdc(dc), opaque ? OPAQUE : TRANSPARENT);
}
void setRop2(DC dc, int mode) {
    SetROP2(hdc(dc), mode);
}

void setClipRect(DC dc, const IntRect& r) {
    HRGN region = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    SelectClipRgn(hdc(dc), region);
    DeleteObject(region);
}

void moveTo(DC dc, int x, int y) {
    MoveToEx(hdc(dc), x, y, nullptr);
}
void lineTo(DC dc, int x, int y) {
    LineTo(hdc(dc), x, y);
}

void fillRect(DC dc, const IntRect& rect, Brush brush) {
    RECT r = toRECT(rect);
    FillRect(hdc(dc), &r, as<HBRUSH>(brush));
}

void drawText(DC dc, const char* text, const IntRect& rect, int align) {
    if (!text)
        return;
    RECT r = toRECT(rect);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (align == kTextCenter)
        format |= DT_CENTER;
    if (align == kTextRight)
        format |= DT_RIGHT;
    DrawTextA(hdc(dc), text, -1, &r, format);
}

// ---- bitmaps and blits ----

Bitmap createCompatibleBitmap(DC dc, int width, int height) {
    HDC screen = dc ? hdc(dc) : GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (!dc)
        ReleaseDC(nullptr, screen);
    return as<Bitmap>(bitmap);
}

Bitmap createMonochromeBitmap(int width, int height) {
    return as<Bitmap>(CreateBitmap(width, height, 1, 1, nullptr));
}

Bitmap createBitmapFromRGBA(int width, int height, const std::uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba)
        return nullptr;
    std::vector<std::uint8_t> bgra(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        bgra[i] = rgba[i + 2];
        bgra[i + 1] = rgba[i + 1];
        bgra[i + 2] = rgba[i];
        bgra[i + 3] = 0;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (bitmap)
        SetDIBits(screen, bitmap, 0, UINT(height), bgra.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return as<Bitmap>(bitmap);
}

Bitmap loadBitmapResource(int id) {
    return as<Bitmap>(LoadBitmapA(moduleInstance(), MAKEINTRESOURCEA(id)));
}

bool getBitmapSize(Bitmap bitmap, int* width, int* height) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(as<HGDIOBJ>(bitmap), sizeof info, &info))
        return false;
    if (width)
        *width = info.bmWidth;
    if (height)
        *height = info.bmHeight;
    return true;
}

void bitBlt(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, RasterOp op) {
    BitBlt(hdc(dst), x, y, w, h, hdc(src), sx, sy, DWORD(op));
}

namespace {

using TransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                     BLENDFUNCTION);

struct BlendLibrary {
    int users = 0;
    HMODULE module = nullptr;
    TransparentBltProc transparentBlt = nullptr;
    AlphaBlendProc alphaBlend = nullptr;
    bool originCopy = false;
} gBlend;

template <typename Proc>
Proc lookUp(HMODULE module, const char* name) {
    Proc proc;
    FARPROC address = GetProcAddress(module, name);
    static_assert(sizeof proc == sizeof address, "function pointer sizes");
    std::memcpy(&proc, &address, sizeof proc);
    return proc;
}

OSVERSIONINFOA systemVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;  // 156
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    return version;
}

}  // namespace

bool loadBlendLibrary() {
    if (gBlend.users++ > 0)
        return gBlend.module != nullptr;
    gBlend.module = LoadLibraryA("msimg32.dll");
    if (!gBlend.module)
        return false;
    gBlend.alphaBlend = lookUp<AlphaBlendProc>(gBlend.module, "AlphaBlend");
    const OSVERSIONINFOA version = systemVersion();
    // Older systems' TransparentBlt leaks; use it on the NT family only.
    if (version.dwPlatformId > 1)
        gBlend.transparentBlt = lookUp<TransparentBltProc>(gBlend.module, "TransparentBlt");
    gBlend.originCopy =
        version.dwMajorVersion == 4 && version.dwMinorVersion == 10 && version.dwPlatformId == 1;
    return true;
}

void freeBlendLibrary() {
    if (gBlend.users == 0 || --gBlend.users > 0)
        return;
    // The entry points die with the library: forget them before unloading.
    gBlend.transparentBlt = nullptr;
    gBlend.alphaBlend = nullptr;
    if (gBlend.module)
        FreeLibrary(gBlend.module);
    gBlend.module = nullptr;
}

bool hasTransparentBlt() {
    return gBlend.transparentBlt != nullptr;
}
bool hasAlphaBlend() {
    return gBlend.alphaBlend != nullptr;
}
bool alphaBlendNeedsOriginCopy() {
    return gBlend.originCopy;
}

bool transparentBlt(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
                    ColorRef transparent) {
    return gBlend.transparentBlt &&
           gBlend.transparentBlt(hdc(dst), x, y, w, h, hdc(src), sx, sy, sw, sh, transparent);
}

bool alphaBlend(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
                std::uint8_t alpha) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    return gBlend.alphaBlend &&
           gBlend.alphaBlend(hdc(dst), x, y, w, h, hdc(src), sx, sy, sw, sh, blend);
}

bool readPixels(DC dc, int x, int y, int w, int h, std::uint8_t* rgba) {
    if (!dc || !rgba || w <= 0 || h <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(hdc(dc), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits)
        return false;
    HDC memory = CreateCompatibleDC(hdc(dc));
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, hdc(dc), x, y, SRCCOPY);
    GdiFlush();
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < std::size_t(w) * h * 4; i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
    return true;
}

// ---- windows ----

namespace {

bool gSwapped = false;

IWindowHandler* handlerOf(HWND window) {
    return reinterpret_cast<IWindowHandler*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IWindowHandler* handler = handlerOf(window);
    if (!handler)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_DESTROY:
            handler->onDestroy();
            break;
        case WM_PAINT: {
            RECT update;
            if (GetUpdateRect(window, &update, FALSE)) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(window, &paint);
                handler->onPaint(as<DC>(dc), IntRect{paint.rcPaint.left, paint.rcPaint.top,
                                                     paint.rcPaint.right, paint.rcPaint.bottom});
                EndPaint(window, &paint);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            handler->onMouseDown(short(LOWORD(lParam)), short(HIWORD(lParam)));
            return 0;
        case WM_MOUSEWHEEL: {
            // The wheel message carries screen coordinates; views want window coordinates.
            POINT where{short(LOWORD(lParam)), short(HIWORD(lParam))};
            ScreenToClient(window, &where);
            handler->onWheel(where.x, where.y, float(short(HIWORD(wParam))) * 0.008333334f);
            break;
        }
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item && item->CtlType == ODT_MENU && item->itemData) {
                int w = int(item->itemWidth), h = int(item->itemHeight);
                if (handler->onMeasureMenuItem(reinterpret_cast<void*>(item->itemData), &w, &h)) {
                    item->itemWidth = UINT(w);
                    item->itemHeight = UINT(h);
                }
                return 1;
            }
            break;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (item && item->CtlType == ODT_MENU && item->itemData) {
                handler->onDrawMenuItem(
                    reinterpret_cast<void*>(item->itemData), as<DC>(item->hDC),
                    IntRect{item->rcItem.left, item->rcItem.top, item->rcItem.right,
                            item->rcItem.bottom},
                    int(item->itemState & (ODS_SELECTED | ODS_DISABLED | ODS_CHECKED)));
                return 1;
            }
            break;
        }
        case WM_CTLCOLOREDIT:
            if (Brush brush = handler->onEditColor(as<DC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool isValidParentWindow(void* parent) {
    return parent && IsWindow(static_cast<HWND>(parent));
}

const char* frameClassName() {
    static char name[64] = {};
    if (!name[0])
        std::snprintf(name, sizeof name, "Plugin%p", static_cast<void*>(moduleInstance()));
    return name;
}

bool registerFrameClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = frameWindowProc;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = frameClassName();
    if (!RegisterClassA(&windowClass))
        return false;
    gSwapped = GetSystemMetrics(SM_SWAPBUTTON) > 0;
    return true;
}

void unregisterFrameClass() {
    UnregisterClassA(frameClassName(), moduleInstance());
}

bool mouseButtonsSwapped() {
    return gSwapped;
}

Window createFrameWindow(void* parent, int width, int height, IWindowHandler* handler) {
    HWND window = CreateWindowExA(
        0, frameClassName(), "Window", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
        0, width, height, static_cast<HWND>(parent), nullptr, moduleInstance(), nullptr);
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
    return as<Window>(window);
}

void setWindowHandler(Window window, IWindowHandler* handler) {
    if (IsWindow(hwnd(window)))
        SetWindowLongPtrA(hwnd(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
}

void destroyWindow(Window window) {
    if (IsWindow(hwnd(window)))
        DestroyWindow(hwnd(window));
}

void invalidateWindow(Window window, const IntRect* rect) {
    if (!rect) {
        InvalidateRect(hwnd(window), nullptr, FALSE);
        return;
    }
    RECT r = toRECT(*rect);
    InvalidateRect(hwnd(window), &r, FALSE);
}

void setWindowSize(Window window, int width, int height) {
    SetWindowPos(hwnd(window), HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
}

bool resizeEnclosingWindows(Window window, void*, int width, int height) {
    HWND frameWindow = hwnd(window);
    if (!IsWindow(frameWindow))
        return false;
    // Measure the borders of the host's window (and of the MDI child frames around it) before
    // anything changes size, then grow the outermost one by the new size plus those borders.
    HWND child = frameWindow;
    HWND outer = GetParent(child);
    int borderWidth = 0, borderHeight = 0;
    while (outer) {
        RECT inner, around;
        GetWindowRect(child, &inner);
        GetWindowRect(outer, &around);
        const int dw = (around.right - around.left) - (inner.right - inner.left);
        const int dh = (around.bottom - around.top) - (inner.bottom - inner.top);
        if (dw > 80 || dh > 80) {  // not a plain frame around us: leave it alone
            outer = nullptr;
            break;
        }
        borderWidth += dw;
        borderHeight += dh;
        HWND next = GetParent(outer);
        char className[32] = {};
        if (!next || !GetClassNameA(next, className, sizeof className) ||
            std::strcmp(className, "MDIClient") != 0)
            break;
        child = outer;
        outer = next;
    }
    SetWindowPos(frameWindow, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
    if (outer)
        SetWindowPos(outer, HWND_TOP, 0, 0, width + borderWidth, height + borderHeight,
                     SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

bool getWindowPositionInParent(Window window, void* parent, int* x, int* y) {
    RECT r;
    if (!GetWindowRect(hwnd(window), &r))
        return false;
    POINT corner{r.left, r.top};
    MapWindowPoints(HWND_DESKTOP, static_cast<HWND>(parent), &corner, 1);
    *x = corner.x;
    *y = corner.y;
    return true;
}

bool getWindowScreenOrigin(Window window, int* x, int* y) {
    POINT origin{0, 0};
    if (!ClientToScreen(hwnd(window), &origin))
        return false;
    *x = origin.x;
    *y = origin.y;
    return true;
}

bool getCursorScreenPos(int* x, int* y) {
    POINT p;
    if (!GetCursorPos(&p))
        return false;
    *x = p.x;
    *y = p.y;
    return true;
}

void* nativeWindowHandle(Window window) {
    return hwnd(window);
}

// ---- input, time, messages ----

int asyncKeyState() {
    static constexpr struct {
        int virtualKey;
        int bit;
    } kKeys[] = {{VK_LBUTTON, kKeyLeft}, {VK_MBUTTON, kKeyMiddle}, {VK_RBUTTON, kKeyRight},
                 {VK_SHIFT, kKeyShift},  {VK_CONTROL, kKeyCtrl},   {VK_MENU, kKeyAlt}};
    int bits = 0;
    for (const auto& key : kKeys)
        if (GetAsyncKeyState(key.virtualKey) < 0)
            bits |= key.bit;
    return bits;
}

std::uint32_t tickCount() {
    return GetTickCount();
}
void sleepMs(int ms) {
    Sleep(DWORD(ms));
}

void dispatchOnePendingPaint() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
}

// The host's message loop delivers the window's messages.
void processWindowEvents(Window) {}

unsigned doubleClickTime() {
    return GetDoubleClickTime();
}

// ---- cursors ----

Cursor currentCursor() {
    return as<Cursor>(GetCursor());
}

Cursor standardCursor(int type) {
    // The system cursor of each cursor type; 0 where the type has none.
    static constexpr WORD kCursorIds[] = {
        0,
        32514,  // IDC_WAIT
        32644,  // IDC_SIZEWE
        32645,  // IDC_SIZENS
        32646,  // IDC_SIZEALL
        32643,  // IDC_SIZENESW
        32642,  // IDC_SIZENWSE
        0,
        32648,  // IDC_NO
        32649,  // IDC_HAND
    };
    if (type < 0 || type >= int(std::size(kCursorIds)) || kCursorIds[type] == 0)
        return nullptr;
    return as<Cursor>(LoadCursorA(nullptr, MAKEINTRESOURCEA(kCursorIds[type])));
}

void setCursor(Cursor cursor) {
    SetCursor(as<HCURSOR>(cursor));
}

// ---- pop-up menus ----

Menu createPopupMenu() {
    return as<Menu>(CreatePopupMenu());
}

void appendMenuItem(Menu menu, int flags, int commandId, const char* text, Menu subMenu) {
    if (flags & kMenuSeparator) {
        AppendMenuA(as<HMENU>(menu), MF_SEPARATOR, 0, nullptr);
        return;
    }
    static constexpr struct {
        int flag;
        UINT menuFlag;
    } kFlags[] = {{kMenuChecked, MF_CHECKED},
                  {kMenuDisabled, MF_DISABLED},
                  {kMenuGrayed, MF_GRAYED},
                  {kMenuColumnBreak, MF_MENUBARBREAK}};
    UINT f = MF_STRING;
    for (const auto& pair : kFlags)
        if (flags & pair.flag)
            f |= pair.menuFlag;
    UINT_PTR id = UINT_PTR(commandId);
    if (subMenu) {
        f |= MF_POPUP;
        id = reinterpret_cast<UINT_PTR>(subMenu);
    }
    AppendMenuA(as<HMENU>(menu), f, id, text ? text : "");
}

void destroyMenu(Menu menu) {
    if (menu)
        DestroyMenu(as<HMENU>(menu));
}

int trackPopupMenu(Menu menu, bool rightButton, int x, int y, Window owner) {
    const UINT flags = TPM_LEFTALIGN | (rightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    TrackPopupMenu(as<HMENU>(menu), flags, x, y, 0, hwnd(owner), nullptr);
    MSG message;
    if (!PeekMessageA(&message, hwnd(owner), WM_COMMAND, WM_COMMAND, PM_REMOVE))
        return -1;
    return message.wParam > 0xFFFF ? -1 : int(message.wParam);
}

// ---- OLE and drag and drop ----

bool oleInitialize() {
    return SUCCEEDED(OleInitialize(nullptr));
}
void oleUninitialize() {
    OleUninitialize();
}

namespace {

// The frame window's drop target: counts the dropped items and reports positions in window
// coordinates. No view takes a drop, so every drag is answered with "none": a source that honours
// "move" would otherwise delete what the user dragged.
class FrameDropTarget : public IDropTarget {
  public:
    FrameDropTarget(HWND window, IDropHandler* handler) : window(window), handler(handler) {}
    virtual ~FrameDropTarget() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL pt,
                                        DWORD* effect) override {
        POINT p = toClient(pt);
        handler->onDragEnter(itemCount(data), p.x, p.y);
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL pt, DWORD* effect) override {
        POINT p = toClient(pt);
        handler->onDragMove(p.x, p.y);
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        handler->onDragLeave();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL pt, DWORD* effect) override {
        POINT p = toClient(pt);
        handler->onDrop(p.x, p.y);
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }

  private:
    POINT toClient(POINTL pt) const {
        POINT p{pt.x, pt.y};
        ScreenToClient(window, &p);
        return p;
    }
    static int itemCount(IDataObject* data) {
        if (!data)
            return 0;
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->QueryGetData(&format) != S_OK || data->GetData(&format, &medium) != S_OK)
            return 1;
        int count = 1;
        if (HDROP drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
            count = int(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
        return count;
    }

    HWND window;
    IDropHandler* handler;
    ULONG references = 0;
};

}  // namespace

DropTarget registerDropTarget(Window window, IDropHandler* handler) {
    if (!IsWindow(hwnd(window)) || !handler)
        return nullptr;
    auto* target = new FrameDropTarget(hwnd(window), handler);
    target->AddRef();  // ours, dropped on revoke
    if (RegisterDragDrop(hwnd(window), target) != S_OK) {
        target->Release();
        return nullptr;
    }
    return as<DropTarget>(static_cast<IDropTarget*>(target));
}

void revokeDropTarget(Window window, DropTarget target) {
    if (!target)
        return;
    RevokeDragDrop(hwnd(window));
    as<IDropTarget*>(target)->Release();
}

}  // namespace platform
}  // namespace tanuvo::gui
