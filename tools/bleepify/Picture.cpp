#include "tools/bleepify/Picture.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/bleepify/TemporaryFile.h"
#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

namespace {

// 5 x 7 dot glyphs, one string of 35 dots per character, rows top to bottom.
struct Glyph {
    char character;
    const char* dots;
};

const Glyph kGlyphs[] = {
    {'A', ".###.#...##...#######...##...##...#"}, {'B', "####.#...#####.#...##...##...#####."},
    {'C', ".####.....#....#....#....#.....####"}, {'D', "####.#...##...##...##...##...#####."},
    {'E', "######....####.#....#....#....#####"}, {'F', "######....####.#....#....#....#...."},
    {'G', ".####.....#....#..###...##...#.####"}, {'H', "#...##...##...#######...##...##...#"},
    {'I', "#####..#....#....#....#....#..#####"}, {'J', "....#....#....#....##...##...#.###."},
    {'K', "#...##..#.###..#..#.#...##...##...#"}, {'L', "#....#....#....#....#....#....#####"},
    {'M', "#...###.###.#.##...##...##...##...#"}, {'N', "#...###..##.#.##..###...##...##...#"},
    {'O', ".###.#...##...##...##...##...#.###."}, {'P', "####.#...##...#####.#....#....#...."},
    {'Q', ".###.#...##...##...##.#.##..#..##.#"}, {'R', "####.#...##...#####.#.#..#..#.#...#"},
    {'S', ".#####....#.....###.....#....#####."}, {'T', "#####..#....#....#....#....#....#.."},
    {'U', "#...##...##...##...##...##...#.###."}, {'V', "#...##...##...##...##...#.#.#...#.."},
    {'W', "#...##...##...##...##.#.###.###...#"}, {'X', "#...##...#.#.#...#...#.#.#...##...#"},
    {'Y', "#...##...#.#.#...#....#....#....#.."}, {'Z', "#####....#...#...#...#...#....#####"},
    {'0', ".###.#...##..###.#.###..##...#.###."}, {'1', "..#...##....#....#....#....#...###."},
    {'2', ".###.#...#....#...#...#...#...#####"}, {'3', "#####...#...#.....#.....##...#.###."},
    {'4', "...#...##..#.#.#..#.#####...#....#."}, {'5', "######....####.....#....##...#.###."},
    {'6', "..##..#...#....####.#...##...#.###."}, {'7', "#####....#...#...#...#....#....#..."},
    {'8', ".###.#...##...#.###.#...##...#.###."}, {'9', ".###.#...##...#.####....#...#..##.."},
    {'.', "..........................##...##.."}, {',', ".....................##....#...#..."},
    {':', "......##...##........##...##......."}, {'-', "...............#####..............."},
    {'(', "..#...#...#....#....#.....#.....#.."}, {')', "..#.....#.....#....#....#...#...#.."},
    {'/', ".........#...#...#...#...#........."}, {'%', "##...##..#...#...#...#...#..##...##"},
    {' ', "..................................."},
};

const char* glyphFor(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == upper) {
            return glyph.dots;
        }
    }
    return nullptr;
}

}  // namespace

Picture::Picture(int width, int height, Colour background)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 3) {
    fillRectangle(0, 0, width, height, background);
}

void Picture::set(int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    uint8_t* pixel = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
    pixel[0] = colour.red;
    pixel[1] = colour.green;
    pixel[2] = colour.blue;
}

Colour Picture::get(int x, int y) const {
    const uint8_t* pixel = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
    return {pixel[0], pixel[1], pixel[2]};
}

void Picture::fillRectangle(int left, int top, int right, int bottom, Colour colour) {
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, width_); ++x) {
            set(x, y, colour);
        }
    }
}

void Picture::verticalLine(int x, int top, int bottom, Colour colour) {
    for (int y = std::min(top, bottom); y <= std::max(top, bottom); ++y) {
        set(x, y, colour);
    }
}

void Picture::horizontalLine(int left, int right, int y, Colour colour) {
    for (int x = std::min(left, right); x <= std::max(left, right); ++x) {
        set(x, y, colour);
    }
}

void Picture::text(int x, int y, const std::string& text, Colour colour, int scale) {
    for (char c : text) {
        if (const char* dots = glyphFor(c)) {
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 5; ++column) {
                    if (dots[row * 5 + column] == '#') {
                        fillRectangle(x + column * scale, y + row * scale, x + (column + 1) * scale,
                                      y + (row + 1) * scale, colour);
                    }
                }
            }
        }
        x += 6 * scale;
    }
}

void Picture::writePng(const std::string& path) const {
    TemporaryFile temporary(path);
    FILE* file = fdopen(temporary.release(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    volatile bool written = false;  // read after a libpng error jumps back
    if (file != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_),
                     8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height_; ++y) {
            png_write_row(png, &pixels_[static_cast<size_t>(y) * width_ * 3]);
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    const bool closed =
        file != nullptr ? std::fclose(file) == 0 : close(temporary.descriptor()) == 0;
    if (!written || !closed) {
        throw ToolError("cannot write " + path + ": " +
                        (written ? std::strerror(errno) : "PNG error"));
    }
    temporary.commit();
}

}  // namespace tanuvo::bleepify
