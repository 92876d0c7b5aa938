#pragma once
// Style bits of the controls; one bit set shared by displays, menus and sliders.

namespace tanuvo::gui {

enum CControlStyle : long {
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kShadowText = 1 << 2,
    kLeft = 1 << 3,
    kRight = 1 << 4,
    kTop = 1 << 5,
    kBottom = 1 << 6,
    k3DIn = 1 << 7,
    k3DOut = 1 << 8,
    kPopupStyle = 1 << 9,   // the pop-up opens over the menu rather than below it
    kCheckStyle = 1 << 10,  // the pop-up checks the current entry
    kNoTextStyle = 1 << 11,
    kNoDrawStyle = 1 << 12,
    kNoFrame = 1 << 14,
};

}  // namespace tanuvo::gui
