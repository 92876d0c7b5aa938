#pragma once
// How the software platform finds the library's bitmap resources. The resources library
// (resources/) defines it: the bytes of the BMP file stored under the id, or null.

#include <cstddef>

namespace tanuvo::gui {
namespace platform {

const unsigned char* findEmbeddedBitmap(int id, std::size_t* size);

}  // namespace platform
}  // namespace tanuvo::gui
