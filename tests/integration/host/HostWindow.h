#pragma once

// A host's top-level window for the editor: an X11 window on Linux, a Win32 window on Windows.

#include <string>

class HostWindow {
  public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Whether editors can be shown here at all; why not, if not.
    static bool available(std::string* why);
    bool ok() const;
    // What effEditOpen takes: the window's id or handle.
    void* parent() const;
    // Handles the window system's pending events, as a host's message loop does.
    void pump();

  private:
    struct Native;
    Native* native;
};
