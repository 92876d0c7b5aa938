#pragma once
// The root of the view tree and the owner of the native child window inside the host's window:
// paints, routes mouse, wheel and keys, tracks the modal and focus views, resizes and sets the
// cursor.

#include "gui/CViewContainer.h"
#include "gui/IFrameEditor.h"
#include "gui/platform/Platform.h"

#include <cstdint>
#include <memory>

namespace tanuvo::gui {

enum CCursorType {
    kCursorDefault = 0,
    kCursorWait,
    kCursorHSize,
    kCursorVSize,
    kCursorSizeAll,
    kCursorNESWSize,
    kCursorNWSESize,
    kCursorCopy,
    kCursorNotAllowed,
    kCursorHand,
};

class CFrame : public CViewContainer {
  public:
    // Creates the child window when a parent is given; isOpen() tells whether that worked.
    CFrame(const CRect& size, void* parentWindow, IFrameEditor* editor);
    ~CFrame() override;
    // Destroys the window and releases the views at once, even while a gesture still holds the
    // frame; the gesture's tracking loop ends when its view has left.
    void close();

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    long onKeyDown(const KeyCode& keyCode) override;
    long onKeyUp(const KeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;

    // Redraws what is dirty, once the frame has been drawn for the first time.
    virtual void idle();
    virtual void doIdleStuff();
    virtual bool setSize(CCoord width, CCoord height);
    virtual bool getPosition(CCoord& x, CCoord& y) const;
    virtual bool setModalView(CView* view);
    CView* getModalView() const { return modalView; }
    virtual void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    virtual void setCursor(CCursorType type);
    virtual bool setDropActive(bool active);
    bool isDropActive() const { return dropActive; }
    virtual void beginEdit(long index);
    virtual void endEdit(long index);
    // Milliseconds of the system tick count while an editor exists, else 0.
    std::uint32_t getTicks() const;
    long getKnobMode() const;

    bool isOpen() const { return open; }
    bool isFirstDraw() const { return firstDraw; }
    IFrameEditor* getEditor() const { return editor; }
    void* getSystemWindow() const { return parentWindow; }
    platform::Window getPlatformWindow() const { return window; }
    // Clears the focus and modal views when they leave the tree.
    void forgetView(CView* view);

    // Whether the system swaps the mouse buttons, read when the window class was registered.
    static bool buttonsSwapped();
    // Number of live frame windows sharing the registered window class.
    static int windowClassUsers();

  private:
    class WindowHandler;
    class DropHandler;

    void createWindow();
    void destroyWindowNow();

    IFrameEditor* editor;
    void* parentWindow;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    bool firstDraw = true;
    bool open = false;
    bool dropActive = false;
    platform::Window window = nullptr;
    bool blendLibraryLoaded = false;
    bool oleInitialized = false;
    platform::DropTarget dropTarget = nullptr;
    platform::Cursor defaultCursor = nullptr;
    bool defaultCursorKnown = false;
    std::unique_ptr<WindowHandler> windowHandler;
    std::unique_ptr<DropHandler> dropHandler;
};

}  // namespace tanuvo::gui
