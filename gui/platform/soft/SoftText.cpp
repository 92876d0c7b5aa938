// Text on the software canvas: FreeType renders the embedded sans face without anti-aliasing,
// laid out with GDI's cell metrics so that strings land where DrawText puts them.

#include "gui/platform/soft/EmbeddedFonts.h"
#include "gui/platform/soft/SoftObjects.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace tanuvo::gui {
namespace platform {

namespace {

struct FaceSet {
    FT_Library library = nullptr;
    FT_Face faces[4] = {};  // regular, bold, italic, bold italic
    bool ready = false;

    FaceSet() {
        if (FT_Init_FreeType(&library) != 0)
            return;
        const EmbeddedFont fonts[4] = {embeddedSansRegular(), embeddedSansBold(),
                                       embeddedSansItalic(), embeddedSansBoldItalic()};
        for (int i = 0; i < 4; ++i)
            if (FT_New_Memory_Face(library, fonts[i].data, FT_Long(fonts[i].size), 0, &faces[i]) !=
                0)
                return;
        ready = true;
    }
    ~FaceSet() {
        for (FT_Face f : faces)
            if (f)
                FT_Done_Face(f);
        if (library)
            FT_Done_FreeType(library);
    }
};

FaceSet& faceSet() {
    static FaceSet set;
    return set;
}

struct Layout {
    FT_Face face = nullptr;
    int ascent = 0;
    int descent = 0;
    int underlineOffset = 0;  // below the baseline
    int underlineThickness = 1;
};

int scaled(long units, int ppem, int unitsPerEm) {
    return int(std::lround(double(units) * ppem / unitsPerEm));
}

bool prepare(const FontRequest& request, Layout* layout) {
    FaceSet& set = faceSet();
    if (!set.ready)
        return false;
    int index = (request.weight >= 600 ? 1 : 0) + (request.italic ? 2 : 0);
    FT_Face face = set.faces[index];
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    int upem = face->units_per_EM;
    long winAscent = os2 ? os2->usWinAscent : face->ascender;
    long winDescent = os2 ? os2->usWinDescent : -face->descender;
    int ppem;
    if (request.height < 0)
        ppem = -request.height;
    else if (request.height > 0)  // positive heights ask for the cell height
        ppem = int(std::lround(double(request.height) * upem / double(winAscent + winDescent)));
    else
        ppem = 16;
    ppem = std::clamp(ppem, 1, 1000);
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(ppem)) != 0)
        return false;
    layout->face = face;
    layout->ascent = scaled(winAscent, ppem, upem);
    layout->descent = scaled(winDescent, ppem, upem);
    layout->underlineOffset = std::max(1, scaled(-face->underline_position, ppem, upem));
    layout->underlineThickness = std::max(1, scaled(face->underline_thickness, ppem, upem));
    return true;
}

bool loadGlyph(FT_Face face, unsigned char c) {
    // Single-byte text is Latin-1, which is also the first Unicode block.
    return FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0;
}

int textWidth(FT_Face face, const char* text) {
    int width = 0;
    for (const char* p = text; *p; ++p)
        if (loadGlyph(face, static_cast<unsigned char>(*p)))
            width += int(face->glyph->advance.x >> 6);
    return width;
}

}  // namespace

void drawText(DC dc, const char* text, const IntRect& rect, int align) {
    if (!dc || !text || !dc->font)
        return;
    Layout layout;
    if (!prepare(dc->font->request, &layout))
        return;
    FT_Face face = layout.face;
    const int width = textWidth(face, text);
    const int height = layout.ascent + layout.descent;
    int x;
    switch (align) {
        case kTextCenter:
            x = rect.left + (rect.right - rect.left - width) / 2;
            break;
        case kTextRight:
            x = rect.right - width;
            break;
        default:
            x = rect.left;
            break;
    }
    const int top = rect.top + (rect.bottom - rect.top - height) / 2;
    const int baseline = top + layout.ascent;

    // Text is clipped to its rectangle as well as to the device context's clip.
    const bool savedHasClip = dc->hasClip;
    const IntRect savedClip = dc->clip;
    const int savedRop = dc->rop2;
    IntRect clip = rect;
    if (savedHasClip) {
        clip.left = std::max(clip.left, savedClip.left);
        clip.top = std::max(clip.top, savedClip.top);
        clip.right = std::min(clip.right, savedClip.right);
        clip.bottom = std::min(clip.bottom, savedClip.bottom);
    }
    dc->hasClip = true;
    dc->clip = clip;
    dc->rop2 = 13;

    if (dc->bkOpaque)
        for (int y = top; y < top + height; ++y)
            for (int i = x; i < x + width; ++i)
                putPixel(dc, i, y, dc->bkColor);

    int penX = x;
    for (const char* p = text; *p; ++p) {
        if (!loadGlyph(face, static_cast<unsigned char>(*p)))
            continue;
        FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row) {
            const unsigned char* line = bm.buffer + std::ptrdiff_t(row) * bm.pitch;
            for (unsigned col = 0; col < bm.width; ++col)
                if (line[col >> 3] & (0x80 >> (col & 7)))
                    putPixel(dc, penX + g->bitmap_left + int(col),
                             baseline - g->bitmap_top + int(row), dc->textColor);
        }
        penX += int(g->advance.x >> 6);
    }
    if (dc->font->request.underline)
        for (int t = 0; t < layout.underlineThickness; ++t)
            for (int i = x; i < x + width; ++i)
                putPixel(dc, i, baseline + layout.underlineOffset + t, dc->textColor);

    dc->hasClip = savedHasClip;
    dc->clip = savedClip;
    dc->rop2 = savedRop;
}

}  // namespace platform
}  // namespace tanuvo::gui
