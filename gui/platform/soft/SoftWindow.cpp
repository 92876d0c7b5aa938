// Windows, input, time, cursors, menus and drag and drop of the software platform. Windows are
// framebuffers with a handler; "messages" are delivered by the functions of SoftPlatform.h.

#include "gui/platform/soft/NativeWindowSystem.h"
#include "gui/platform/soft/SoftObjects.h"
#include "gui/platform/soft/SoftPlatform.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <thread>

namespace tanuvo::gui {
namespace platform {

struct CursorObject {
    int type;
};

struct DropTargetObject {
    IDropHandler* handler;
};

namespace {

struct HostWindow {
    int width;
    int height;
    std::vector<Window> children;
};

struct State {
    std::vector<std::unique_ptr<HostWindow>> hosts;
    std::set<Window> live;  // handles of destroyed windows stay harmless, as on a real system
    int classRegistrations = 0;
    bool classRegistered = false;
    int keyState = 0;
    std::function<int()> keyProvider;
    bool swapped = false;
    int cursorX = 0;
    int cursorY = 0;
    CursorObject cursors[10] = {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}};
    Cursor current = &cursors[0];
    int nextMenuChoice = -1;
    std::vector<soft::MenuItemRecord> lastMenu;
    bool oleRefuses = false;
    int oleDepth = 0;
};

State& state() {
    static State s;
    return s;
}

bool alive(Window w) {
    return w && state().live.count(w) != 0;
}

HostWindow* findHost(void* handle) {
    for (auto& h : state().hosts)
        if (h.get() == handle)
            return h.get();
    return nullptr;
}

void addInvalid(Window w, const IntRect& r) {
    IntRect c{std::max(0, r.left), std::max(0, r.top), std::min(w->surface.width, r.right),
              std::min(w->surface.height, r.bottom)};
    if (c.right <= c.left || c.bottom <= c.top)
        return;
    if (!w->hasInvalid) {
        w->invalid = c;
        w->hasInvalid = true;
        return;
    }
    w->invalid = {std::min(w->invalid.left, c.left), std::min(w->invalid.top, c.top),
                  std::max(w->invalid.right, c.right), std::max(w->invalid.bottom, c.bottom)};
}

void recordMenu(Menu menu, std::vector<soft::MenuItemRecord>* out) {
    for (const auto& item : menu->items)
        out->push_back({item.flags, item.commandId, item.text, item.subMenu != nullptr});
}

}  // namespace

Surface* windowSurface(Window window) {
    return alive(window) ? &window->surface : nullptr;
}

// ---- windows ----

bool isValidParentWindow(void* parent) {
    if (findHost(parent))
        return true;
    INativeWindowSystem* native = nativeWindowSystem();
    return native && native->isValidParent(parent);
}

bool registerFrameClass() {
    ++state().classRegistrations;
    state().classRegistered = true;
    return true;
}
void unregisterFrameClass() {
    state().classRegistered = false;
}
const char* frameClassName() {
    return "PluginSoftFrame";
}
bool mouseButtonsSwapped() {
    return state().swapped;
}

Window createFrameWindow(void* parent, int width, int height, IWindowHandler* handler) {
    HostWindow* host = findHost(parent);
    INativeWindowSystem* native = host ? nullptr : nativeWindowSystem();
    if ((!host && !native) || !state().classRegistered || width < 0 || height < 0)
        return nullptr;
    auto* w = new WindowObject;
    w->parent = parent;
    w->handler = handler;
    w->surface = Surface(width, height, false, toPixel(makeColorRef(0xF0, 0xF0, 0xF0)));
    if (native) {
        w->native = true;
        if (!native->attach(w, parent)) {
            delete w;
            return nullptr;
        }
    } else {
        host->children.push_back(w);
    }
    state().live.insert(w);
    addInvalid(w, {0, 0, width, height});
    return w;
}

void setWindowHandler(Window window, IWindowHandler* handler) {
    if (alive(window))
        window->handler = handler;
}

void destroyWindow(Window window) {
    if (!alive(window))
        return;
    state().live.erase(window);
    if (IWindowHandler* h = window->handler)
        h->onDestroy();
    if (window->native)
        nativeWindowSystem()->detach(window);
    if (HostWindow* host = findHost(window->parent)) {
        auto& c = host->children;
        c.erase(std::remove(c.begin(), c.end(), window), c.end());
    }
    delete window;
}

void invalidateWindow(Window window, const IntRect* rect) {
    if (!alive(window))
        return;
    addInvalid(window, rect ? *rect : IntRect{0, 0, window->surface.width, window->surface.height});
}

void setWindowSize(Window window, int width, int height) {
    if (!alive(window) || width < 0 || height < 0)
        return;
    Surface resized(width, height, false, toPixel(makeColorRef(0xF0, 0xF0, 0xF0)));
    for (int y = 0; y < std::min(height, window->surface.height); ++y)
        for (int x = 0; x < std::min(width, window->surface.width); ++x)
            resized.at(x, y) = window->surface.at(x, y);
    window->surface = std::move(resized);
    addInvalid(window, {0, 0, width, height});
    if (window->native)
        nativeWindowSystem()->resized(window);
}

bool resizeEnclosingWindows(Window window, void* parent, int width, int height) {
    if (!alive(window))
        return false;
    if (HostWindow* host = findHost(parent)) {
        host->width += width - window->surface.width;
        host->height += height - window->surface.height;
    }
    setWindowSize(window, width, height);
    return true;
}

bool getWindowPositionInParent(Window window, void*, int* x, int* y) {
    if (!alive(window))
        return false;
    *x = window->x;
    *y = window->y;
    return true;
}

bool getWindowScreenOrigin(Window window, int* x, int* y) {
    if (alive(window) && window->native)
        return nativeWindowSystem()->screenOrigin(window, x, y);
    // Host windows sit at the screen's origin.
    return getWindowPositionInParent(window, nullptr, x, y);
}

bool getCursorScreenPos(int* x, int* y) {
    int keys = 0;
    INativeWindowSystem* native = nativeWindowSystem();
    if (!state().keyProvider && native && native->pointerState(x, y, &keys))
        return true;
    *x = state().cursorX;
    *y = state().cursorY;
    return true;
}

void* nativeWindowHandle(Window window) {
    return window;
}

// ---- input, time ----

int asyncKeyState() {
    State& s = state();
    if (s.keyProvider)
        return s.keyProvider();
    int x = 0, y = 0, keys = 0;
    INativeWindowSystem* native = nativeWindowSystem();
    if (native && native->pointerState(&x, &y, &keys))
        return keys;
    return s.keyState;
}

std::uint32_t tickCount() {
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void processWindowEvents(Window window) {
    if (alive(window) && window->native)
        nativeWindowSystem()->processEvents(window);
}

void dispatchOnePendingPaint() {
    for (auto& host : state().hosts)
        for (Window w : host->children)
            if (w->hasInvalid) {
                soft::paintWindow(w);
                return;
            }
}

unsigned doubleClickTime() {
    return 500;
}

// ---- cursors ----

Cursor currentCursor() {
    return state().current;
}

Cursor standardCursor(int type) {
    if (type < 1 || type > 9 || type == 7)
        return nullptr;
    return &state().cursors[type];
}

void setCursor(Cursor cursor) {
    if (!cursor)
        return;
    state().current = cursor;
    if (INativeWindowSystem* native = nativeWindowSystem())
        native->setCursor(cursor->type);
}

// ---- menus ----

Menu createPopupMenu() {
    return new MenuObject;
}

void appendMenuItem(Menu menu, int flags, int commandId, const char* text, Menu subMenu) {
    if (menu)
        menu->items.push_back({flags, commandId, text ? text : "", subMenu});
}

void destroyMenu(Menu menu) {
    if (!menu)
        return;
    for (auto& item : menu->items)
        destroyMenu(item.subMenu);
    delete menu;
}

int trackPopupMenu(Menu menu, bool rightButton, int x, int y, Window owner) {
    if (menu && alive(owner) && owner->native)
        return nativeWindowSystem()->trackPopupMenu(menu, rightButton, x, y, owner);
    State& s = state();
    s.lastMenu.clear();
    if (!menu)
        return -1;
    recordMenu(menu, &s.lastMenu);
    int choice = s.nextMenuChoice;
    s.nextMenuChoice = -1;
    return choice;
}

// ---- OLE, drag and drop ----

bool oleInitialize() {
    if (state().oleRefuses)
        return false;
    ++state().oleDepth;
    return true;
}
void oleUninitialize() {
    --state().oleDepth;
}

DropTarget registerDropTarget(Window window, IDropHandler* handler) {
    if (!alive(window) || !handler)
        return nullptr;
    window->dropHandler = handler;
    return new DropTargetObject{handler};
}

void revokeDropTarget(Window window, DropTarget target) {
    if (alive(window))
        window->dropHandler = nullptr;
    delete target;
}

// ---- headless controls ----

namespace soft {

void* createHostWindow(int width, int height) {
    state().hosts.push_back(std::make_unique<HostWindow>(HostWindow{width, height, {}}));
    return state().hosts.back().get();
}

void destroyHostWindow(void* host) {
    auto& hosts = state().hosts;
    for (auto it = hosts.begin(); it != hosts.end(); ++it)
        if (it->get() == host) {
            // Children go first, as a system destroys a window's children with it.
            auto children = (*it)->children;
            for (Window w : children)
                destroyWindow(w);
            hosts.erase(it);
            return;
        }
}

bool hostWindowSize(void* host, int* width, int* height) {
    HostWindow* h = findHost(host);
    if (!h)
        return false;
    *width = h->width;
    *height = h->height;
    return true;
}

std::vector<Window> childWindows(void* host) {
    HostWindow* h = findHost(host);
    return h ? h->children : std::vector<Window>{};
}

int frameClassRegistrations() {
    return state().classRegistrations;
}
bool frameClassRegistered() {
    return state().classRegistered;
}

std::vector<std::uint8_t> windowPixels(Window window, int* width, int* height) {
    std::vector<std::uint8_t> out;
    if (!alive(window))
        return out;
    *width = window->surface.width;
    *height = window->surface.height;
    out.resize(std::size_t(*width) * std::size_t(*height) * 4);
    DCObject dc;
    dc.window = window;
    readPixels(&dc, 0, 0, *width, *height, out.data());
    return out;
}

bool paintWindow(Window window) {
    if (!alive(window) || !window->hasInvalid)
        return false;
    IntRect r = window->invalid;
    window->hasInvalid = false;
    if (!window->handler)
        return true;
    DC dc = getWindowDC(window);
    setClipRect(dc, r);  // painting is confined to the update region
    window->handler->onPaint(dc, r);
    releaseWindowDC(window, dc);
    return true;
}

void sendMouseDown(Window window, int x, int y) {
    if (alive(window) && window->handler)
        window->handler->onMouseDown(x, y);
}

void sendWheel(Window window, int x, int y, int units) {
    if (alive(window) && window->handler)
        window->handler->onWheel(x, y, float(units) * 0.008333334f);
}

IWindowHandler* windowHandler(Window window) {
    return alive(window) ? window->handler : nullptr;
}

IDropHandler* dropHandler(Window window) {
    return alive(window) ? window->dropHandler : nullptr;
}

void setAsyncKeyState(int keyBits) {
    state().keyState = keyBits;
}
void setAsyncKeyStateProvider(std::function<int()> provider) {
    state().keyProvider = std::move(provider);
}
void setButtonsSwapped(bool swapped) {
    state().swapped = swapped;
}
void setCursorScreenPos(int x, int y) {
    state().cursorX = x;
    state().cursorY = y;
}

int cursorType(Cursor cursor) {
    return cursor ? cursor->type : -1;
}

void setNextMenuChoice(int commandId) {
    state().nextMenuChoice = commandId;
}
std::vector<MenuItemRecord> lastShownMenu() {
    return state().lastMenu;
}

void resetInput() {
    State& s = state();
    s.keyState = 0;
    s.keyProvider = nullptr;
    s.swapped = false;
    s.cursorX = s.cursorY = 0;
    s.current = &s.cursors[0];
    s.nextMenuChoice = -1;
    s.lastMenu.clear();
    s.oleRefuses = false;
}

void setOleRefuses(bool refuses) {
    state().oleRefuses = refuses;
}

int oleDepth() {
    return state().oleDepth;
}

}  // namespace soft
}  // namespace platform
}  // namespace tanuvo::gui
