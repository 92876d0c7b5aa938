#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"

#include <optional>

namespace tanuvo::gui {

namespace {

// Where a drawing of rect lands on the context's device: left, top, width and height.
struct DeviceArea {
    int x, y, w, h;
};
// Nothing when there is nothing to draw: no image, no device, or an empty rectangle.
std::optional<DeviceArea> drawableArea(platform::Bitmap image, CDrawContext* context,
                                       const CRect& rect) {
    if (!image || !context || !context->getSystemContext() || rect.width() <= 0 ||
        rect.height() <= 0)
        return std::nullopt;
    return DeviceArea{rect.left + context->offset.h, rect.top + context->offset.v, rect.width(),
                      rect.height()};
}

// A memory device context holding the bitmap for the duration of one draw.
class SourceContext {
  public:
    SourceContext(platform::DC compatible, platform::Bitmap bitmap)
        : dc(platform::createCompatibleDC(compatible)) {
        if (dc)
            previous = platform::selectBitmap(dc, bitmap);
    }
    ~SourceContext() {
        if (dc && previous)
            platform::selectBitmap(dc, previous);
        platform::deleteDC(dc);
    }
    SourceContext(const SourceContext&) = delete;
    SourceContext& operator=(const SourceContext&) = delete;
    platform::DC get() const { return dc; }

  private:
    platform::DC dc;
    platform::Bitmap previous = nullptr;
};

}  // namespace

CBitmap::CBitmap(long resourceID) {
    loadFromResource(resourceID);
}

CBitmap::CBitmap(long width, long height, const std::uint8_t* rgba) {
    handle = platform::createBitmapFromRGBA(int(width), int(height), rgba);
    if (handle) {
        int w = 0, h = 0;
        platform::getBitmapSize(handle, &w, &h);
        this->width = w;
        this->height = h;
    }
}

CBitmap::~CBitmap() {
    dispose();
}

void CBitmap::dispose() {
    platform::deleteBitmap(handle);
    platform::deleteBitmap(mask);
    handle = nullptr;
    mask = nullptr;
    width = 0;
    height = 0;
}

bool CBitmap::loadFromResource(long id) {
    dispose();
    resourceID = id;
    handle = platform::loadBitmapResource(int(id));
    if (!handle)
        return false;
    int w = 0, h = 0;
    platform::getBitmapSize(handle, &w, &h);
    width = w;
    height = h;
    return true;
}

bool CBitmap::loadFromPath(const void*) {
    dispose();
    return false;
}

void CBitmap::draw(CDrawContext* context, CRect& rect, const CPoint& offset) {
    if (!handle || !context || !context->getSystemContext())
        return;
    platform::DC dst = context->getSystemContext();
    SourceContext src(dst, handle);
    platform::bitBlt(dst, rect.left + context->offset.h, rect.top + context->offset.v, rect.width(),
                     rect.height(), src.get(), offset.h, offset.v, platform::kSrcCopy);
}

void CBitmap::drawTransparentIf(bool transparent, CDrawContext* context, CRect& rect,
                                const CPoint& offset) {
    if (transparent)
        drawTransparent(context, rect, offset);
    else
        draw(context, rect, offset);
}

void CBitmap::drawTransparent(CDrawContext* context, CRect& rect, const CPoint& offset) {
    const std::optional<DeviceArea> area = drawableArea(handle, context, rect);
    if (!area)
        return;
    const auto [x, y, w, h] = *area;
    platform::DC dst = context->getSystemContext();
    SourceContext image(dst, handle);

    if (mask) {
        // Compose in a scratch bitmap so the screen never shows the intermediate XOR.
        SourceContext maskSource(dst, mask);
        platform::Bitmap scratch = platform::createCompatibleBitmap(dst, w, h);
        {
            SourceContext work(dst, scratch);
            platform::bitBlt(work.get(), 0, 0, w, h, dst, x, y, platform::kSrcCopy);
            platform::bitBlt(work.get(), 0, 0, w, h, image.get(), offset.h, offset.v,
                             platform::kSrcInvert);
            platform::bitBlt(work.get(), 0, 0, w, h, maskSource.get(), offset.h, offset.v,
                             platform::kSrcAnd);
            platform::bitBlt(work.get(), 0, 0, w, h, image.get(), offset.h, offset.v,
                             platform::kSrcInvert);
            platform::bitBlt(dst, x, y, w, h, work.get(), 0, 0, platform::kSrcCopy);
        }
        platform::deleteBitmap(scratch);
        return;
    }

    const platform::ColorRef key = toColorRef(transparentColor);
    if (platform::hasTransparentBlt()) {
        platform::transparentBlt(dst, x, y, w, h, image.get(), offset.h, offset.v, w, h, key);
        return;
    }

    // Emulation: a one-bit mask marks the transparent pixels, then XOR, AND, XOR.
    platform::Bitmap maskBitmap = platform::createMonochromeBitmap(w, h);
    {
        SourceContext maskContext(dst, maskBitmap);
        const platform::ColorRef imageBk = platform::setBkColor(image.get(), key);
        platform::bitBlt(maskContext.get(), 0, 0, w, h, image.get(), offset.h, offset.v,
                         platform::kSrcCopy);
        platform::setBkColor(image.get(), imageBk);

        const platform::ColorRef bk = platform::setBkColor(dst, 0xFFFFFF);
        const platform::ColorRef text = platform::setTextColor(dst, 0);
        platform::bitBlt(dst, x, y, w, h, image.get(), offset.h, offset.v, platform::kSrcInvert);
        platform::bitBlt(dst, x, y, w, h, maskContext.get(), 0, 0, platform::kSrcAnd);
        platform::bitBlt(dst, x, y, w, h, image.get(), offset.h, offset.v, platform::kSrcInvert);
        platform::setBkColor(dst, bk);
        platform::setTextColor(dst, text);
    }
    platform::deleteBitmap(maskBitmap);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, CRect& rect, const CPoint& offset,
                             unsigned char alpha) {
    const std::optional<DeviceArea> area = drawableArea(handle, context, rect);
    if (!area || !platform::hasAlphaBlend())
        return;
    const auto [x, y, w, h] = *area;
    platform::DC dst = context->getSystemContext();
    SourceContext image(dst, handle);
    if (!platform::alphaBlendNeedsOriginCopy()) {
        platform::alphaBlend(dst, x, y, w, h, image.get(), offset.h, offset.v, w, h, alpha);
        return;
    }
    platform::Bitmap copy = platform::createCompatibleBitmap(dst, w, h);
    {
        SourceContext temp(dst, copy);
        platform::bitBlt(temp.get(), 0, 0, w, h, image.get(), offset.h, offset.v,
                         platform::kSrcCopy);
        platform::alphaBlend(dst, x, y, w, h, temp.get(), 0, 0, w, h, alpha);
    }
    platform::deleteBitmap(copy);
}

}  // namespace tanuvo::gui
