#pragma once
// One image from the library's bitmap resources (or made in code), drawn opaque, with a
// transparent colour left out, or blended with a constant alpha.

#include "gui/CGraphicsTypes.h"
#include "gui/CReferenceCounter.h"
#include "gui/platform/Platform.h"

#include <cstdint>

namespace tanuvo::gui {

class CDrawContext;

class CBitmap : public CReferenceCounter {
  public:
    explicit CBitmap(long resourceID);
    // An image made in code from rows of red, green, blue, alpha bytes, top row first.
    CBitmap(long width, long height, const std::uint8_t* rgba);
    ~CBitmap() override;

    virtual void draw(CDrawContext* context, CRect& rect, const CPoint& offset = CPoint(0, 0));
    virtual void drawTransparent(CDrawContext* context, CRect& rect,
                                 const CPoint& offset = CPoint(0, 0));
    // drawTransparent when transparent, else draw: a view's transparency setting applied.
    void drawTransparentIf(bool transparent, CDrawContext* context, CRect& rect,
                           const CPoint& offset = CPoint(0, 0));
    virtual void drawAlphaBlend(CDrawContext* context, CRect& rect,
                                const CPoint& offset = CPoint(0, 0), unsigned char alpha = 128);
    virtual void dispose();
    virtual bool loadFromResource(long resourceID);
    // Paths are not supported: disposes what is held and answers false.
    virtual bool loadFromPath(const void* platformPath);

    long getWidth() const { return width; }
    long getHeight() const { return height; }
    long getResourceID() const { return resourceID; }
    bool isLoaded() const { return handle != nullptr; }
    platform::Bitmap getHandle() const { return handle; }
    void setTransparentColor(const CColor color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }

  protected:
    long resourceID = 0;
    long width = 0;
    long height = 0;
    platform::Bitmap handle = nullptr;
    platform::Bitmap mask = nullptr;  // never created here; honoured when present
    CColor transparentColor{255, 255, 255, 0};
};

}  // namespace tanuvo::gui
