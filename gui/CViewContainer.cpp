#include "gui/CViewContainer.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <cstring>

namespace tanuvo::gui {

namespace {

// Shifts a context's origin to a container's top-left for the lifetime of the object.
class OriginShift {
  public:
    OriginShift(CDrawContext* context, const CRect& container) : context(context) {
        if (context)
            context->offset.offset(container.left, container.top);
        h = container.left;
        v = container.top;
    }
    ~OriginShift() {
        if (context)
            context->offset.offset(-h, -v);
    }
    OriginShift(const OriginShift&) = delete;
    OriginShift& operator=(const OriginShift&) = delete;

  private:
    CDrawContext* context;
    CCoord h;
    CCoord v;
};

// Restores a context's clip rectangle when leaving a scope.
class ClipGuard {
  public:
    explicit ClipGuard(CDrawContext* context) : context(context) { context->getClipRect(saved); }
    ~ClipGuard() { context->setClipRect(saved); }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;
    const CRect& clip() const { return saved; }

  private:
    CDrawContext* context;
    CRect saved;
};

}  // namespace

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* background)
    : CView(size) {
    parentFrame = frame;
    if (background)
        setBackground(background);
}

CViewContainer::~CViewContainer() {
    removeAll(true);
    if (offscreen)
        offscreen->forget();
}

void CViewContainer::addView(CView* view) {
    if (!view)
        return;
    Link* link = new Link{view, nullptr, last};
    if (last)
        last->next = link;
    else
        first = link;
    last = link;
    view->attached(this);
    view->setDirty(true);
}

void CViewContainer::addView(CView* view, const CRect& area, bool enabled) {
    if (!view)
        return;
    view->setMouseEnabled(enabled);
    view->setMouseableArea(area);
    addView(view);
}

void CViewContainer::removeView(CView* view, const bool withForget) {
    for (Link* link = first; link; link = link->next) {
        if (link->view != view)
            continue;
        (link->previous ? link->previous->next : first) = link->next;
        (link->next ? link->next->previous : last) = link->previous;
        delete link;
        if (mouseOverView == view)
            mouseOverView = nullptr;
        view->removed(this);
        if (withForget)
            view->forget();
        setDirty(true);
        return;
    }
}

void CViewContainer::removeAll(const bool withForget) {
    while (first)
        removeView(first->view, withForget);
    mouseOverView = nullptr;
}

bool CViewContainer::isChild(CView* view) const {
    for (Link* link = first; link; link = link->next)
        if (link->view == view)
            return true;
    return false;
}

long CViewContainer::getNbViews() const {
    long n = 0;
    for (Link* link = first; link; link = link->next)
        ++n;
    return n;
}

CView* CViewContainer::getView(long index) const {
    for (Link* link = first; link; link = link->next, --index)
        if (index == 0)
            return link->view;
    return nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    for (Link* link = last; link; link = link->previous) {
        CView* view = link->view;
        if (!view->getViewSize().pointInside(where))
            continue;
        if (deep && view->isTypeOf("CViewContainer")) {
            auto* container = static_cast<CViewContainer*>(view);
            CPoint local = where;
            local.offset(-view->getViewSize().left, -view->getViewSize().top);
            if (CView* inner = container->getViewAt(local, true))
                return inner;
        }
        return view;
    }
    return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor color) {
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    if (background) {
        CRect r = rect;
        const CPoint source(rect.left, rect.top);
        background->drawTransparentIf(transparencyEnabled, context, r, source);
    } else if (!transparencyEnabled) {
        // fillRect leaves out the left and top edges; widen so the whole area is covered.
        context->setFillColor(backgroundColor);
        context->fillRect(CRect(rect.left - 1, rect.top - 1, rect.right, rect.bottom));
    }
}

void CViewContainer::drawChildren(CDrawContext* context, const CRect& rect) {
    ClipGuard guard(context);
    for (Link* link = first; link; link = link->next) {
        CView* view = link->view;
        CRect clip = view->getViewSize();
        clip.bound(rect);
        clip.bound(guard.clip());
        if (clip.isEmpty())
            continue;
        context->setClipRect(clip);
        view->drawRect(context, clip);
    }
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
    dirty = false;
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!context)
        return;
    CRect area = updateRect;
    area.bound(size);
    if (area.isEmpty())
        return;
    CRect local = area;
    local.offset(-size.left, -size.top);

    if (drawInOffscreen) {
        if (!offscreen)
            offscreen =
                new COffscreenContext(parentFrame, size.width(), size.height(), backgroundColor);
        offscreen->setClipRect(local);
        drawBackgroundRect(offscreen, local);
        drawChildren(offscreen, local);
        offscreen->copyFrom(context, area, CPoint(local.left, local.top));
    } else {
        ClipGuard guard(context);
        CRect clip = area;
        clip.bound(guard.clip());
        context->setClipRect(clip);
        OriginShift shift(context, size);
        drawBackgroundRect(context, local);
        drawChildren(context, local);
    }
    if (area == size)
        dirty = false;
}

void CViewContainer::update(CDrawContext* context) {
    if (!context)
        return;
    if (dirty || drawInOffscreen) {
        if (isDirty())
            draw(context);
        return;
    }
    ClipGuard guard(context);
    OriginShift shift(context, size);
    for (Link* link = first; link; link = link->next) {
        CView* view = link->view;
        if (!view->isDirty())
            continue;
        CRect clip = view->getViewSize();
        clip.bound(CRect(0, 0, size.width(), size.height()));
        context->setClipRect(clip);
        view->update(context);
    }
}

void CViewContainer::mouse(CDrawContext* context, CPoint& where, long buttons) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    for (Link* link = last; link; link = link->previous) {
        CView* view = link->view;
        if (!view->hitTest(local, buttons))
            continue;
        ScopedReference<CView> keep(view);
        OriginShift shift(context, size);
        view->mouse(context, local, buttons);
        return;
    }
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    CView* view = getViewAt(local);
    if (!view || !view->getMouseEnabled())
        return false;
    ScopedReference<CView> keep(view);
    OriginShift shift(context, size);
    return view->onWheel(context, local, distance);
}

bool CViewContainer::isDirty() const {
    if (dirty)
        return true;
    for (Link* link = first; link; link = link->next)
        if (link->view->isDirty())
            return true;
    return false;
}

bool CViewContainer::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CViewContainer") == 0) ||
           CView::isTypeOf(className);
}

bool CViewContainer::attached(CView* parent) {
    CView::attached(parent);
    for (Link* link = first; link; link = link->next)
        link->view->attached(this);
    return true;
}

bool CViewContainer::removed(CView* parent) {
    for (Link* link = first; link; link = link->next)
        link->view->removed(this);
    return CView::removed(parent);
}

bool CViewContainer::onDrop(CDragContainer* drag, const CPoint& where) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    CView* view = getViewAt(local);
    bool accepted = view ? view->onDrop(drag, local) : false;
    mouseOverView = nullptr;
    return accepted;
}

void CViewContainer::onDragEnter(CDragContainer* drag, const CPoint& where) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    mouseOverView = getViewAt(local);
    if (mouseOverView)
        mouseOverView->onDragEnter(drag, local);
}

void CViewContainer::onDragLeave(CDragContainer* drag, const CPoint& where) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    if (mouseOverView)
        mouseOverView->onDragLeave(drag, local);
    mouseOverView = nullptr;
}

void CViewContainer::onDragMove(CDragContainer* drag, const CPoint& where) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    CView* view = getViewAt(local);
    if (view != mouseOverView) {
        if (mouseOverView)
            mouseOverView->onDragLeave(drag, local);
        if (view)
            view->onDragEnter(drag, local);
        mouseOverView = view;
    } else if (view) {
        view->onDragMove(drag, local);
    }
}

}  // namespace tanuvo::gui
