#pragma once
// A view holding child views in a doubly linked list, drawn first to last over a background
// bitmap or colour, optionally through a cached offscreen context.

#include "gui/CView.h"

namespace tanuvo::gui {

class COffscreenContext;

class CViewContainer : public CView {
  public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    virtual void addView(CView* view);
    virtual void addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    virtual void removeView(CView* view, const bool withForget = true);
    virtual void removeAll(const bool withForget = true);
    virtual bool isChild(CView* view) const;
    virtual long getNbViews() const;
    virtual CView* getView(long index) const;
    // The child under the point (container coordinates), last added first.
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;

    virtual void setBackgroundColor(const CColor color);
    CColor getBackgroundColor() const { return backgroundColor; }
    void setDrawInOffscreen(bool value) { drawInOffscreen = value; }
    bool getDrawInOffscreen() const { return drawInOffscreen; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void update(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isDirty() const override;
    bool isTypeOf(const char* className) const override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;

    bool onDrop(CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDragContainer* drag, const CPoint& where) override;

    // The child under the mouse, as the drag routing last saw it.
    CView* getMouseOverView() const { return mouseOverView; }

  protected:
    struct Link {
        CView* view;
        Link* next;
        Link* previous;
    };

    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    // Draws the children overlapping rect (container coordinates), each clipped to itself.
    void drawChildren(CDrawContext* context, const CRect& rect);

    Link* first = nullptr;
    Link* last = nullptr;
    CColor backgroundColor = kBlackCColor;
    bool drawInOffscreen = false;
    COffscreenContext* offscreen = nullptr;
    CView* mouseOverView = nullptr;
};

}  // namespace tanuvo::gui
