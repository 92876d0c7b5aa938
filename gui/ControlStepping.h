#pragma once
// Value steps shared by the knob and the slider: the mouse wheel and the arrow keys move the
// value by the control's wheel step (a tenth of it with Shift).

#include "gui/CControl.h"

namespace tanuvo::gui {

// Moves the value by distance steps and tells the listener inside a begin/end edit when it
// changed. Always handled.
bool stepValueByWheel(CControl& control, CDrawContext* context, float distance);
// Arrow keys step the value: 1 when handled, -1 for any other key.
long stepValueByKey(CControl& control, const KeyCode& keyCode);

// Integer part of a pixel computation, with NaN and out-of-range results kept defined.
CCoord truncateToCoord(double value);

}  // namespace tanuvo::gui
