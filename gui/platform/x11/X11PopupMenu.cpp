// Pop-up menus drawn with the software canvas and shown in an override-redirect window that grabs
// the pointer and keyboard while it is open: the arrows, Home and End move the highlight, Return
// or Space choose, Escape closes; a click on an entry chooses it, a press outside closes the menu.
// Sub-menus open to the right of their entry on a click, Return or the right arrow.

#include "gui/platform/x11/X11PopupMenu.h"

#include "gui/platform/soft/SoftObjects.h"
#include "gui/platform/x11/X11Support.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace tanuvo::gui {
namespace platform {
namespace x11 {

namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 8;
constexpr int kBorder = 1;
constexpr int kCheckArea = 22;  // left of the text
constexpr int kArrowArea = 22;  // right of the text
constexpr int kMinimumWidth = 80;
constexpr int kDismissed = -1;
constexpr int kBack = -2;  // a sub-menu closed itself; its parent stays open
constexpr int kMoveThreshold = 3;

const ColorRef kBackground = makeColorRef(240, 240, 240);
const ColorRef kText = makeColorRef(0, 0, 0);
const ColorRef kGreyText = makeColorRef(150, 150, 150);
const ColorRef kHighlight = makeColorRef(0, 110, 200);
const ColorRef kHighlightText = makeColorRef(255, 255, 255);
const ColorRef kEdge = makeColorRef(110, 110, 110);
const ColorRef kSeparator = makeColorRef(190, 190, 190);

constexpr long kPointerMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr long kWindowMask = kPointerMask | ExposureMask | KeyPressMask;

struct Entry {
    const MenuObject::Item* item;
    IntRect rect;  // in the pop-up window
};

bool selectable(const MenuObject::Item& item) {
    return !(item.flags & (kMenuSeparator | kMenuDisabled | kMenuGrayed));
}

// A device context on a fresh bitmap with the menu font selected; frees everything with it.
class Canvas {
  public:
    Canvas(int width, int height)
        : dc(createCompatibleDC(nullptr)), bitmap(createCompatibleBitmap(nullptr, width, height)) {
        previousBitmap = selectBitmap(dc, bitmap);
        FontRequest menuFont{};
        menuFont.height = -12;
        menuFont.weight = 400;
        menuFont.pitchAndFamily = 34;
        menuFont.face = "Arial";
        font = createFont(menuFont);
        previousFont = selectFont(dc, font);
        setBkModeOpaque(dc, false);
    }
    ~Canvas() {
        selectFont(dc, previousFont);
        selectBitmap(dc, previousBitmap);
        deleteFont(font);
        deleteDC(dc);
        deleteBitmap(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void fill(const IntRect& rect, ColorRef color) {
        Brush brush = createSolidBrush(color);
        fillRect(dc, rect, brush);
        deleteBrush(brush);
    }
    void line(int x0, int y0, int x1, int y1, ColorRef color) {
        Pen pen = createPen(kPenSolid, 1, color);
        Pen previous = selectPen(dc, pen);
        moveTo(dc, x0, y0);
        lineTo(dc, x1, y1);
        selectPen(dc, previous);
        deletePen(pen);
    }
    void text(const char* s, const IntRect& rect, ColorRef color) {
        setTextColor(dc, color);
        drawText(dc, s, rect, kTextLeft);
    }
    const Surface& surface() const { return bitmap->surface; }

  private:
    DC dc;
    Bitmap bitmap;
    Bitmap previousBitmap = nullptr;
    Font font = nullptr;
    Font previousFont = nullptr;
};

// Width of the ink of a text in the menu font.
int textWidth(const std::string& text) {
    const int width = 600;
    Canvas canvas(width, kItemHeight);
    canvas.fill({0, 0, width, kItemHeight}, kBackground);
    canvas.text(text.c_str(), {0, 0, width, kItemHeight}, kText);
    const std::uint32_t background = canvas.surface().pixels[0];
    int right = 0;
    for (int y = 0; y < kItemHeight; ++y)
        for (int x = right; x < width; ++x)
            if (canvas.surface().pixels[std::size_t(y) * width + x] != background)
                right = x + 1;
    return right;
}

class Popup {
  public:
    Popup(Display* display, int screen, Menu menu) : display(display), screen(screen), menu(menu) {
        layout();
    }

    int run(int x, int y) {
        if (entries.empty() || !chooseVisual(display, screen, &visual))
            return kDismissed;
        if (!open(x, y))
            return kDismissed;  // open has released the window and the colormap
        int result = loop();
        close();
        return result;
    }

  private:
    void layout() {
        int column = 0, columnX = kBorder, columnWidth = 0, y = kBorder;
        std::vector<std::size_t> inColumn;
        auto finishColumn = [&]() {
            columnWidth = std::max(columnWidth, kMinimumWidth);
            for (std::size_t i : inColumn) {
                entries[i].rect.left = columnX;
                entries[i].rect.right = columnX + columnWidth;
            }
            columnX += columnWidth;
            inColumn.clear();
            columnWidth = 0;
        };
        for (const auto& item : menu->items) {
            if ((item.flags & kMenuColumnBreak) && !inColumn.empty()) {
                finishColumn();
                ++column;
                y = kBorder;
            }
            const int h = (item.flags & kMenuSeparator) ? kSeparatorHeight : kItemHeight;
            entries.push_back({&item, {0, y, 0, y + h}});
            inColumn.push_back(entries.size() - 1);
            if (!(item.flags & kMenuSeparator))
                columnWidth = std::max(columnWidth, kCheckArea + textWidth(item.text) + kArrowArea);
            y += h;
            height = std::max(height, y + kBorder);
        }
        if (!inColumn.empty())
            finishColumn();
        width = columnX + kBorder;
    }

    bool open(int x, int y) {
        ErrorTrap trap(display);
        const int screenWidth = DisplayWidth(display, screen);
        const int screenHeight = DisplayHeight(display, screen);
        // Kept on screen, as system menus are.
        left = std::max(0, std::min(x, screenWidth - width));
        top = std::max(0, std::min(y, screenHeight - height));
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.colormap = visual.colormap;
        attributes.border_pixel = 0;
        attributes.background_pixmap = None;
        attributes.event_mask = kWindowMask;
        window = XCreateWindow(display, RootWindow(display, screen), left, top, unsigned(width),
                               unsigned(height), 0, visual.depth, InputOutput, visual.visual,
                               CWOverrideRedirect | CWSaveUnder | CWColormap | CWBorderPixel |
                                   CWBackPixmap | CWEventMask,
                               &attributes);
        gc = XCreateGC(display, window, 0, nullptr);
        XMapRaised(display, window);
        if (trap.sync() || !image.resize(display, visual, width, height)) {
            destroyWindow();
            return false;
        }
        grab();
        ::Window root = 0, child = 0;
        int wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(display, window, &root, &child, &startX, &startY, &wx, &wy, &mask);
        draw();
        return true;
    }

    // The pointer may still be grabbed by whoever held it a moment ago: retry briefly.
    void grab() {
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (XGrabPointer(display, window, False, kPointerMask, GrabModeAsync, GrabModeAsync,
                             None, None, CurrentTime) == GrabSuccess)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
                GrabSuccess)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    void destroyWindow() {
        image.release();
        if (gc)
            XFreeGC(display, gc);
        if (window)
            XDestroyWindow(display, window);
        XFreeColormap(display, visual.colormap);
        gc = nullptr;
        window = 0;
    }

    void close() {
        ErrorTrap trap(display);
        XUngrabPointer(display, CurrentTime);
        XUngrabKeyboard(display, CurrentTime);
        const ::Window closing = window;
        destroyWindow();
        XSync(display, False);
        // Nothing of this window may stay in the connection's queue.
        XEvent event;
        while (XCheckWindowEvent(display, closing, kWindowMask | StructureNotifyMask, &event)) {
        }
    }

    void draw() {
        Canvas canvas(width, height);
        canvas.fill({0, 0, width, height}, kBackground);
        canvas.line(0, 0, width - 1, 0, kEdge);
        canvas.line(width - 1, 0, width - 1, height - 1, kEdge);
        canvas.line(width - 1, height - 1, 0, height - 1, kEdge);
        canvas.line(0, height - 1, 0, 0, kEdge);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const MenuObject::Item& item = *e.item;
            const IntRect& r = e.rect;
            if (item.flags & kMenuSeparator) {
                const int y = (r.top + r.bottom) / 2;
                canvas.line(r.left + 4, y, r.right - 4, y, kSeparator);
                continue;
            }
            const bool lit = int(i) == highlighted;
            if (lit)
                canvas.fill(r, kHighlight);
            const ColorRef ink = lit                          ? kHighlightText
                                 : (item.flags & kMenuGrayed) ? kGreyText
                                                              : kText;
            canvas.text(item.text.c_str(),
                        {r.left + kCheckArea, r.top, r.right - kArrowArea, r.bottom}, ink);
            const int mid = (r.top + r.bottom) / 2;
            if (item.flags & kMenuChecked) {
                const int x = r.left + 6;
                for (int t = 0; t < 2; ++t) {
                    canvas.line(x, mid - 1 + t, x + 3, mid + 2 + t, ink);
                    canvas.line(x + 3, mid + 2 + t, x + 10, mid - 5 + t, ink);
                }
            }
            if (item.subMenu) {
                const int x = r.right - 12;
                for (int d = 0; d <= 3; ++d)
                    canvas.line(x + d, mid - 3 + d, x + d, mid + 4 - d, ink);
            }
        }
        ErrorTrap trap(display);
        image.put(display, window, gc, canvas.surface().pixels.data(), width, height);
    }

    int entryAt(int x, int y) const {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const IntRect& r = entries[i].rect;
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                return int(i);
        }
        return -1;
    }

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    void highlight(int index) {
        if (index >= 0 && !selectable(*entries[std::size_t(index)].item))
            index = -1;
        if (index == highlighted)
            return;
        highlighted = index;
        draw();
    }

    void step(int direction) {
        const int n = int(entries.size());
        int i = highlighted;
        for (int tries = 0; tries < n; ++tries) {
            i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
            if (selectable(*entries[std::size_t(i)].item)) {
                highlight(i);
                return;
            }
        }
    }

    // Chooses the highlighted entry: its command, or what its sub-menu answers.
    bool activate(int* result) {
        if (highlighted < 0)
            return false;
        const Entry& e = entries[std::size_t(highlighted)];
        if (!e.item->subMenu) {
            *result = e.item->commandId;
            return true;
        }
        Popup sub(display, screen, e.item->subMenu);
        sub.nested = true;
        const int answer = sub.run(left + e.rect.right, top + e.rect.top);
        if (answer == kBack) {
            grab();
            return false;
        }
        *result = answer;
        return true;
    }

    int loop() {
        bool pressedInside = false;
        bool moved = false;
        int result = kDismissed;
        for (;;) {
            XEvent event;
            if (!XCheckWindowEvent(display, window, kWindowMask, &event)) {
                pollfd fd{ConnectionNumber(display), POLLIN, 0};
                poll(&fd, 1, 50);
                continue;
            }
            switch (event.type) {
                case Expose:
                    if (event.xexpose.count == 0)
                        draw();
                    break;
                case MotionNotify: {
                    const XMotionEvent& m = event.xmotion;
                    if (std::abs(m.x_root - startX) + std::abs(m.y_root - startY) >= kMoveThreshold)
                        moved = true;
                    if (inside(m.x, m.y))
                        highlight(entryAt(m.x, m.y));
                    break;
                }
                case ButtonPress: {
                    const XButtonEvent& b = event.xbutton;
                    if (b.button > Button3)
                        break;
                    if (!inside(b.x, b.y))
                        return kDismissed;
                    pressedInside = true;
                    highlight(entryAt(b.x, b.y));
                    break;
                }
                case ButtonRelease: {
                    const XButtonEvent& b = event.xbutton;
                    if (b.button > Button3 || !inside(b.x, b.y) || !(pressedInside || moved))
                        break;
                    highlight(entryAt(b.x, b.y));
                    if (activate(&result))
                        return result;
                    break;
                }
                case KeyPress: {
                    const KeySym key = XLookupKeysym(&event.xkey, 0);
                    if (key == XK_Escape || (nested && key == XK_Left))
                        return nested ? kBack : kDismissed;
                    if (key == XK_Up)
                        step(-1);
                    else if (key == XK_Down)
                        step(1);
                    else if (key == XK_Home) {
                        highlighted = -1;
                        step(1);
                    } else if (key == XK_End) {
                        highlighted = -1;
                        step(-1);
                    } else if (key == XK_Return || key == XK_KP_Enter || key == XK_space ||
                               (key == XK_Right && highlighted >= 0 &&
                                entries[std::size_t(highlighted)].item->subMenu)) {
                        if (activate(&result))
                            return result;
                    }
                    break;
                }
                default:
                    break;
            }
        }
    }

    Display* display;
    int screen;
    Menu menu;
    std::vector<Entry> entries;
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int startX = 0;
    int startY = 0;
    int highlighted = -1;
    bool nested = false;
    VisualChoice visual;
    ::Window window = 0;
    GC gc = nullptr;
    SurfaceImage image;
};

}  // namespace

int runPopupMenu(Display* display, int screen, Menu menu, int x, int y) {
    if (!display || !menu)
        return kDismissed;
    Popup popup(display, screen, menu);
    const int result = popup.run(x, y);
    return result < 0 ? kDismissed : result;
}

}  // namespace x11
}  // namespace platform
}  // namespace tanuvo::gui
