#pragma once
// A key press as views receive it: the character typed, a named key for keys that type none, and
// the modifiers held. The toolkit's own type, so that it needs nothing of a plug-in format; the
// editor base translates the host's key records into it.

#include <cstdint>

namespace tanuvo::gui {

enum class VirtualKey : std::uint8_t {
    none,  // a character key, or one the toolkit has no name for
    back,
    tab,
    clear,
    enter,
    pause,
    escape,
    space,
    pageDown,
    end,
    home,
    left,
    up,
    right,
    down,
};

// Bits of KeyCode::modifiers.
enum KeyModifier : std::uint8_t {
    kModifierShift = 1 << 0,
    kModifierAlternate = 1 << 1,
    kModifierCommand = 1 << 2,
    kModifierControl = 1 << 3,
};

struct KeyCode {
    std::int32_t character = 0;
    VirtualKey virtualKey = VirtualKey::none;
    std::uint8_t modifiers = 0;
};

}  // namespace tanuvo::gui
