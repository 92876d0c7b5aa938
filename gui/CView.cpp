#include "gui/CView.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <cstring>

namespace tanuvo::gui {

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView() {
    if (background)
        background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background && context) {
        CRect r = size;
        background->drawTransparentIf(transparencyEnabled, context, r);
    }
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) {
    draw(context);
}

void CView::update(CDrawContext* context) {
    if (isDirty())
        drawRect(context, size);
}

void CView::mouse(CDrawContext*, CPoint&, long) {}

void CView::setBackground(CBitmap* bitmap) {
    replaceReference(background, bitmap);
    setDirty(true);
}

long CView::onKeyDown(const KeyCode&) {
    return -1;
}
long CView::onKeyUp(const KeyCode&) {
    return -1;
}

bool CView::onWheel(CDrawContext*, const CPoint&, float) {
    return false;
}
bool CView::onWheel(CDrawContext* context, const CPoint& where, const CMouseWheelAxis axis,
                    float distance) {
    return axis == kMouseWheelAxisY ? onWheel(context, where, distance) : false;
}

void CView::looseFocus(CDrawContext*) {}
void CView::takeFocus(CDrawContext*) {}

void CView::getMouseLocation(CDrawContext* context, CPoint& point) {
    if (!context)
        return;
    context->getMouseLocation(point);
    // Frame coordinates to this view's parent coordinates.
    for (CView* p = parentView; p && p != parentFrame; p = p->parentView)
        point.offset(-p->size.left, -p->size.top);
}

CPoint& CView::localToFrame(CPoint& point) const {
    for (CView* p = parentView; p && p != parentFrame; p = p->parentView)
        point.offset(p->size.left, p->size.top);
    return point;
}

bool CView::isTypeOf(const char* className) const {
    return className && std::strcmp(className, "CView") == 0;
}

bool CView::hitTest(const CPoint& where, long) {
    return mouseEnabled && mouseableArea.pointInside(where);
}

bool CView::attached(CView* parent) {
    parentView = parent;
    parentFrame = parent ? parent->parentFrame : nullptr;
    return true;
}

bool CView::removed(CView*) {
    // A removed view must not stay the frame's focus or modal view.
    if (parentFrame && parentFrame != this)
        parentFrame->forgetView(this);
    parentView = nullptr;
    parentFrame = nullptr;
    return true;
}

void CView::setViewSize(const CRect& rect) {
    size = rect;
    setDirty(true);
}

bool CView::onDrop(CDragContainer*, const CPoint&) {
    return false;
}
void CView::onDragEnter(CDragContainer*, const CPoint&) {}
void CView::onDragLeave(CDragContainer*, const CPoint&) {}
void CView::onDragMove(CDragContainer*, const CPoint&) {}

}  // namespace tanuvo::gui
