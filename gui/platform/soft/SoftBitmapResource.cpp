// Bitmap resources of the software platform: the library's embedded BMP files, decoded here.

#include "gui/platform/ResourceLookup.h"
#include "gui/platform/soft/SoftObjects.h"

#include <cstring>

namespace tanuvo::gui {
namespace platform {

namespace {

std::uint32_t readLE(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

}  // namespace

// Decodes an uncompressed BMP file of 8, 24 or 32 bits per pixel; null for anything else or for
// a file whose declared sizes overrun its bytes.
Bitmap decodeBmp(const unsigned char* data, std::size_t size) {
    if (!data || size < 54 || data[0] != 'B' || data[1] != 'M')
        return nullptr;
    const std::uint32_t pixelOffset = readLE(data + 10, 4);
    const std::uint32_t headerSize = readLE(data + 14, 4);
    if (headerSize < 40 || 14 + std::size_t(headerSize) > size)
        return nullptr;
    const std::int32_t width = std::int32_t(readLE(data + 18, 4));
    std::int32_t height = std::int32_t(readLE(data + 22, 4));
    const int bits = int(readLE(data + 28, 2));
    const std::uint32_t compression = readLE(data + 30, 4);
    std::uint32_t paletteCount = readLE(data + 46, 4);
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return nullptr;
    if (compression != 0 || (bits != 8 && bits != 24 && bits != 32))
        return nullptr;
    const std::size_t stride = (std::size_t(width) * bits / 8 + 3) & ~std::size_t(3);
    if (pixelOffset > size || stride * std::size_t(height) > size - pixelOffset)
        return nullptr;
    const unsigned char* palette = data + 14 + headerSize;
    if (bits == 8) {
        if (paletteCount == 0 || paletteCount > 256)
            paletteCount = 256;
        if (std::size_t(palette - data) + paletteCount * 4 > size)
            return nullptr;
    }
    auto* bitmap = new BitmapObject{Surface(width, height, false, 0), false};
    for (std::int32_t y = 0; y < height; ++y) {
        const unsigned char* row =
            data + pixelOffset + stride * std::size_t(topDown ? y : height - 1 - y);
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned char* bgr;
            if (bits == 8) {
                unsigned index = row[x];
                bgr = index < paletteCount ? palette + 4 * index : palette;
            } else {
                bgr = row + std::size_t(x) * (bits / 8);
            }
            bitmap->surface.at(x, y) = toPixel(makeColorRef(bgr[2], bgr[1], bgr[0]));
        }
    }
    return bitmap;
}

Bitmap loadBitmapResource(int id) {
    std::size_t size = 0;
    const unsigned char* data = findEmbeddedBitmap(id, &size);
    return data ? decodeBmp(data, size) : nullptr;
}

}  // namespace platform
}  // namespace tanuvo::gui
