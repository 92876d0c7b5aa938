#pragma once
// The base of everything drawn in the frame: a rectangle in its parent, dirty state, mouse
// enabling and an optional background bitmap.

#include "gui/CGraphicsTypes.h"
#include "gui/CReferenceCounter.h"
#include "gui/KeyCode.h"

namespace tanuvo::gui {

class CBitmap;
class CDrawContext;
class CFrame;
class CDragContainer;

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

class CView : public CReferenceCounter {
  public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void mouse(CDrawContext* context, CPoint& where, long buttons = -1);
    virtual void setBackground(CBitmap* background);
    // -1: not handled, 1: handled.
    virtual long onKeyDown(const KeyCode& keyCode);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, const CMouseWheelAxis axis,
                         float distance);
    virtual void looseFocus(CDrawContext* context = nullptr);
    virtual void takeFocus(CDrawContext* context = nullptr);
    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(const bool value = true) { dirty = value; }
    // The pointer position in this view's parent coordinates.
    virtual void getMouseLocation(CDrawContext* context, CPoint& point);
    virtual bool isTypeOf(const char* className) const;

    virtual long onKeyUp(const KeyCode& keyCode);
    // Draws the part of the view inside updateRect; views draw whole by default.
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    // Redraws the view when it is dirty.
    virtual void update(CDrawContext* context);
    virtual bool hitTest(const CPoint& where, long buttons = -1);
    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    virtual void setViewSize(const CRect& rect);
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    virtual void setTransparency(bool value) { transparencyEnabled = value; }
    virtual void setMouseEnabled(bool value) { mouseEnabled = value; }

    virtual bool onDrop(CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDragContainer* drag, const CPoint& where);

    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& rect) const { return rect = size; }
    const CRect& getMouseableArea() const { return mouseableArea; }
    bool getMouseEnabled() const { return mouseEnabled; }
    bool getTransparency() const { return transparencyEnabled; }
    bool wantsFocusOnKey() const { return wantsFocus; }
    void setWantsFocus(bool value) { wantsFocus = value; }
    CBitmap* getBackground() const { return background; }
    CFrame* getFrame() const { return parentFrame; }
    CView* getParentView() const { return parentView; }
    void invalid() { setDirty(true); }
    // Converts a point in this view's parent coordinates to frame coordinates.
    CPoint& localToFrame(CPoint& point) const;

  protected:
    friend class CViewContainer;

    CRect size;
    CRect mouseableArea;
    CFrame* parentFrame = nullptr;
    CView* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparencyEnabled = false;
    bool wantsFocus = false;
    CBitmap* background = nullptr;
};

}  // namespace tanuvo::gui
