#pragma once
// Font files compiled into the library at build time (see gui/CMakeLists.txt).

#include <cstddef>

namespace tanuvo::gui {
namespace platform {

struct EmbeddedFont {
    const unsigned char* data;
    std::size_t size;
};

// The metric-compatible sans face standing in for the editor's fonts.
EmbeddedFont embeddedSansRegular();
EmbeddedFont embeddedSansBold();
EmbeddedFont embeddedSansItalic();
EmbeddedFont embeddedSansBoldItalic();

}  // namespace platform
}  // namespace tanuvo::gui
