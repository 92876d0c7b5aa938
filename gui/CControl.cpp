#include "gui/CControl.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/platform/Platform.h"

#include <algorithm>
#include <cstring>

namespace tanuvo::gui {

long CControlListener::controlModifierClicked(CDrawContext*, CControl*, long) {
    return 0;
}

CControl::CControl(const CRect& size, CControlListener* listener, long tag, CBitmap* background)
    : CView(size),
      listener(listener),
      tag(tag),
      delta(long(std::max(250u, platform::doubleClickTime()))) {
    if (background)
        setBackground(background);
    dirty = true;
}

CControl::~CControl() {
    if (editFrame)
        editFrame->forget();
}

void CControl::draw(CDrawContext*) {
    setDirty(false);
}

bool CControl::isDirty() const {
    return value != oldValue || dirty;
}

void CControl::setDirty(const bool value) {
    dirty = value;
    if (value)
        oldValue = this->value == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = this->value;
}

bool CControl::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CControl") == 0) || CView::isTypeOf(className);
}

void CControl::doIdleStuff() {
    if (parentFrame)
        parentFrame->doIdleStuff();
}

void CControl::beginEdit() {
    if (!parentFrame)
        return;
    // The frame that heard the beginning hears the end, even when the editor closed in between.
    if (!editFrame) {
        editFrame = parentFrame;
        editFrame->remember();
    }
    parentFrame->setFocusView(this);
    parentFrame->beginEdit(tag);
}

void CControl::endEdit() {
    if (CFrame* frame = editFrame) {
        editFrame = nullptr;
        frame->endEdit(tag);
        frame->forget();
    } else if (parentFrame) {
        parentFrame->endEdit(tag);
    }
}

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::checkDefaultValue(CDrawContext* context, long buttons) {
    if (buttons != (kLButton | kControl))
        return false;
    beginEdit();
    value = getDefaultValue();
    if (isDirty() && listener)
        listener->valueChanged(context, this);
    endEdit();
    return true;
}

bool CControl::isDoubleClick() {
    const long now = parentFrame ? long(parentFrame->getTicks()) : long(platform::tickCount());
    const bool doubleClick = lastClickTime >= 0 && now - lastClickTime <= delta;
    lastClickTime = now;
    return doubleClick;
}

bool CControl::acceptMouse(CDrawContext* context, long& buttons) {
    if (!mouseEnabled)
        return false;
    if (buttons == -1 && context)
        buttons = context->getMouseButtons();
    if (listener && (buttons & (kAlt | kShift | kControl | kApple)) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return false;
    return true;
}

}  // namespace tanuvo::gui
