#include "gui/ControlStepping.h"

#include "gui/CDrawContext.h"

#include <cmath>

namespace tanuvo::gui {

namespace {

void step(CControl& control, CDrawContext* context, float distance, bool fine) {
    const float increment =
        fine ? 0.1f * distance * control.getWheelInc() : distance * control.getWheelInc();
    control.setValue(control.getValue() + increment);
    control.bounceValue();
    CControlListener* listener = control.getListener();
    if (control.isDirty() && listener) {
        control.beginEdit();
        listener->valueChanged(context, &control);
        control.endEdit();
    }
}

}  // namespace

bool stepValueByWheel(CControl& control, CDrawContext* context, float distance) {
    if (!control.getMouseEnabled())
        return false;
    const long buttons = context ? context->getMouseButtons() : 0;
    step(control, context, distance, (buttons & kShift) != 0);
    return true;
}

long stepValueByKey(CControl& control, const KeyCode& keyCode) {
    float distance = 0;
    switch (keyCode.virtualKey) {
        case VirtualKey::up:
        case VirtualKey::right:
            distance = 1;
            break;
        case VirtualKey::down:
        case VirtualKey::left:
            distance = -1;
            break;
        default:
            return -1;
    }
    step(control, nullptr, distance, (keyCode.modifiers & kModifierShift) != 0);
    return 1;
}

CCoord truncateToCoord(double value) {
    if (!(value == value))
        return 0;
    const double limit = 1e9;
    return CCoord(std::trunc(std::fmax(-limit, std::fmin(limit, value))));
}

}  // namespace tanuvo::gui
