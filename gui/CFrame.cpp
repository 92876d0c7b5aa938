#include "gui/CFrame.h"

#include "gui/CDragContainer.h"
#include "gui/CDrawContext.h"

#include <cstring>
#include <vector>

namespace tanuvo::gui {

namespace {

int gWindowClassUsers = 0;  // live frame windows; the class is registered while positive
bool gButtonsSwapped = false;

bool acquireWindowClass() {
    if (gWindowClassUsers == 0) {
        if (!platform::registerFrameClass())
            return false;
        gButtonsSwapped = platform::mouseButtonsSwapped();
    }
    ++gWindowClassUsers;
    return true;
}

void releaseWindowClass() {
    if (gWindowClassUsers > 0 && --gWindowClassUsers == 0)
        platform::unregisterFrameClass();
}

}  // namespace

// Turns the window's messages into calls on the view tree.
class CFrame::WindowHandler : public platform::IWindowHandler {
  public:
    explicit WindowHandler(CFrame* frame) : frame(frame) {}

    void onPaint(platform::DC dc, const platform::IntRect& r) override {
        CDrawContext context(frame, dc, frame->window);
        frame->drawRect(&context, CRect(r.left, r.top, r.right, r.bottom));
    }
    void onMouseDown(int x, int y) override {
        ScopedReference<CFrame> keep(frame);  // outlives the context below
        CDrawContext context(frame, nullptr, frame->window);
        CPoint where(x, y);
        frame->mouse(&context, where, -1);
    }
    void onWheel(int x, int y, float distance) override {
        ScopedReference<CFrame> keep(frame);
        CDrawContext context(frame, nullptr, frame->window);
        frame->onWheel(&context, CPoint(x, y), distance);
    }
    void onDestroy() override {
        frame->open = false;
        frame->parentWindow = nullptr;
    }
    // No view of this toolkit draws its own menu items or edit fields.
    bool onMeasureMenuItem(void*, int*, int*) override { return false; }
    bool onDrawMenuItem(void*, platform::DC, const platform::IntRect&, int) override {
        return false;
    }
    platform::Brush onEditColor(platform::DC) override { return nullptr; }

  private:
    CFrame* frame;
};

// Routes drag and drop from the window's drop target to the view under the pointer.
class CFrame::DropHandler : public platform::IDropHandler {
  public:
    explicit DropHandler(CFrame* frame) : frame(frame) {}

    void onDragEnter(int itemCount, int x, int y) override {
        drag = std::make_unique<CDragContainer>(itemCount);
        frame->onDragEnter(drag.get(), CPoint(x, y));
    }
    void onDragMove(int x, int y) override {
        if (drag)
            frame->onDragMove(drag.get(), CPoint(x, y));
    }
    void onDragLeave() override {
        if (drag)
            frame->onDragLeave(drag.get(), CPoint(0, 0));
        drag.reset();
    }
    void onDrop(int x, int y) override {
        if (drag)
            frame->onDrop(drag.get(), CPoint(x, y));
        drag.reset();
    }

  private:
    CFrame* frame;
    std::unique_ptr<CDragContainer> drag;
};

bool CFrame::buttonsSwapped() {
    return gButtonsSwapped;
}
int CFrame::windowClassUsers() {
    return gWindowClassUsers;
}

CFrame::CFrame(const CRect& size, void* parent, IFrameEditor* editor)
    : CViewContainer(size, this), editor(editor), parentWindow(parent) {
    oleInitialized = platform::oleInitialize();
    blendLibraryLoaded = platform::loadBlendLibrary();
    if (parent)
        createWindow();
}

void CFrame::createWindow() {
    // A handle that is not a window leaves the frame closed rather than crashing the host.
    if (!platform::isValidParentWindow(parentWindow))
        return;
    if (!acquireWindowClass())
        return;
    windowHandler = std::make_unique<WindowHandler>(this);
    window =
        platform::createFrameWindow(parentWindow, size.width(), size.height(), windowHandler.get());
    if (!window) {
        releaseWindowClass();
        return;
    }
    open = true;
    setDropActive(true);
}

void CFrame::destroyWindowNow() {
    if (!window)
        return;
    platform::setWindowHandler(window, nullptr);
    platform::destroyWindow(window);
    window = nullptr;
    open = false;
    releaseWindowClass();
}

CFrame::~CFrame() {
    if (defaultCursorKnown)
        platform::setCursor(defaultCursor);
    close();
    if (oleInitialized)
        platform::oleUninitialize();
    if (blendLibraryLoaded)
        platform::freeBlendLibrary();
}

void CFrame::close() {
    modalView = nullptr;
    if (dropActive)
        setDropActive(false);
    destroyWindowNow();
    focusView = nullptr;
    removeAll(true);
}

void CFrame::draw(CDrawContext* context) {
    firstDraw = false;
    CViewContainer::draw(context);
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    firstDraw = false;
    CDrawContext* temporary = nullptr;
    if (!context)
        context = temporary = new CDrawContext(this, nullptr, window);
    CRect previous;
    context->getClipRect(previous);
    CRect area = updateRect;
    area.bound(previous);
    context->setClipRect(area);
    if (area.width() > 0 && area.height() > 0)
        CViewContainer::drawRect(context, area);
    context->setClipRect(previous);
    if (temporary)
        temporary->forget();
}

void CFrame::idle() {
    platform::processWindowEvents(window);
    if (!open || firstDraw || !isDirty())
        return;
    CDrawContext context(this, nullptr, window);
    if (dirty) {
        draw(&context);
        return;
    }
    CRect saved;
    context.getClipRect(saved);
    auto redraw = [&](CView* view) {
        if (!view->isDirty())
            return;
        CRect clip = view->getViewSize();
        clip.bound(size);
        context.setClipRect(clip);
        view->update(&context);
        context.setClipRect(saved);
    };
    if (modalView)
        redraw(modalView);
    for (Link* link = first; link; link = link->next)
        if (link->view != modalView)
            redraw(link->view);
}

void CFrame::doIdleStuff() {
    if (editor)
        editor->doIdleStuff();
}

void CFrame::mouse(CDrawContext* context, CPoint& where, long buttons) {
    if (focusView)
        setFocusView(nullptr);
    if (buttons == -1 && context)
        buttons = context->getMouseButtons();
    if (modalView) {
        if (modalView->hitTest(where, buttons)) {
            ScopedReference<CView> keep(modalView);
            modalView->mouse(context, where, buttons);
        }
        return;
    }
    CViewContainer::mouse(context, where, buttons);
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    CView* view = modalView ? modalView : getViewAt(where, false);
    ScopedReference<CView> keep(view);
    return view ? view->onWheel(context, where, distance) : false;
}

long CFrame::onKeyDown(const KeyCode& keyCode) {
    long result = -1;
    if (focusView) {
        ScopedReference<CView> keep(focusView);
        result = focusView->onKeyDown(keyCode);
    }
    if (result == -1 && modalView) {
        ScopedReference<CView> keep(modalView);
        result = modalView->onKeyDown(keyCode);
    }
    if (result != -1 || keyCode.virtualKey != VirtualKey::tab)
        return result;

    // Tab moves the focus to the next view that wants it (Shift: the previous one).
    std::vector<CView*> focusable;
    for (Link* link = first; link; link = link->next)
        if (link->view->wantsFocusOnKey())
            focusable.push_back(link->view);
    if (focusable.empty())
        return -1;
    const long n = long(focusable.size());
    long current = -1;
    for (long i = 0; i < n; ++i)
        if (focusable[std::size_t(i)] == focusView)
            current = i;
    const bool backwards = (keyCode.modifiers & kModifierShift) != 0;
    long next;
    if (current < 0)
        next = backwards ? n - 1 : 0;
    else
        next = (current + (backwards ? n - 1 : 1)) % n;
    setFocusView(focusable[std::size_t(next)]);
    return 1;
}

long CFrame::onKeyUp(const KeyCode& keyCode) {
    long result = -1;
    if (focusView)
        result = focusView->onKeyUp(keyCode);
    if (result == -1 && modalView)
        result = modalView->onKeyUp(keyCode);
    return result;
}

bool CFrame::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CFrame") == 0) ||
           CViewContainer::isTypeOf(className);
}

bool CFrame::setSize(CCoord width, CCoord height) {
    if (!open || !window)
        return false;
    if (width == size.width() && height == size.height())
        return false;
    if (editor && editor->canHostSizeWindow() && editor->hostSizeWindow(width, height)) {
        size.right = size.left + width;
        size.bottom = size.top + height;
        platform::setWindowSize(window, width, height);
        return true;
    }
    size.right = size.left + width;
    size.bottom = size.top + height;
    platform::resizeEnclosingWindows(window, parentWindow, width, height);
    mouseableArea = size;
    return true;
}

bool CFrame::getPosition(CCoord& x, CCoord& y) const {
    if (!window)
        return false;
    int px = 0, py = 0;
    if (!platform::getWindowPositionInParent(window, parentWindow, &px, &py))
        return false;
    x = px;
    y = py;
    return true;
}

bool CFrame::setModalView(CView* view) {
    if (view && modalView)
        return false;
    modalView = view;
    return true;
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView)
        return;
    CView* previous = focusView;
    focusView = view;
    if (previous)
        previous->looseFocus();
    if (view)
        view->takeFocus();
}

void CFrame::forgetView(CView* view) {
    if (focusView == view)
        focusView = nullptr;
    if (modalView == view)
        modalView = nullptr;
}

void CFrame::setCursor(CCursorType type) {
    if (!defaultCursorKnown) {
        defaultCursor = platform::currentCursor();  // may be none: then none is restored
        defaultCursorKnown = true;
    }
    platform::Cursor cursor = platform::standardCursor(int(type));
    platform::setCursor(cursor ? cursor : defaultCursor);
}

bool CFrame::setDropActive(bool active) {
    if (!window)
        return false;
    if (dropTarget) {
        platform::revokeDropTarget(window, dropTarget);
        dropTarget = nullptr;
    }
    if (active) {
        if (!dropHandler)
            dropHandler = std::make_unique<DropHandler>(this);
        dropTarget = platform::registerDropTarget(window, dropHandler.get());
    }
    dropActive = active;
    return true;
}

void CFrame::beginEdit(long index) {
    if (editor)
        editor->beginEdit(std::int32_t(index));
}

void CFrame::endEdit(long index) {
    if (editor)
        editor->endEdit(std::int32_t(index));
}

std::uint32_t CFrame::getTicks() const {
    return editor ? platform::tickCount() : 0;
}

long CFrame::getKnobMode() const {
    return editor ? editor->getKnobMode() : 0;
}

}  // namespace tanuvo::gui
