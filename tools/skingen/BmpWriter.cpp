#include "tools/skingen/BmpWriter.h"

#include <cstdint>
#include <fstream>

namespace skingen {

namespace {

void put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<unsigned char> encodeBmp(const Canvas& canvas) {
    const uint32_t width = static_cast<uint32_t>(canvas.width());
    const uint32_t height = static_cast<uint32_t>(canvas.height());
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;  // rows are padded to four bytes
    const uint32_t headerBytes = 14 + 40;
    const uint32_t imageBytes = rowBytes * height;
    const uint32_t pixelsPerMetre = 2835;  // 72 dpi

    std::vector<unsigned char> out;
    out.reserve(headerBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, headerBytes + imageBytes);
    put32(out, 0);
    put32(out, headerBytes);
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);   // planes
    put16(out, 24);  // bits per pixel
    put32(out, 0);   // no compression
    put32(out, imageBytes);
    put32(out, pixelsPerMetre);
    put32(out, pixelsPerMetre);
    put32(out, 0);
    put32(out, 0);
    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = canvas.get(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = width * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace skingen
