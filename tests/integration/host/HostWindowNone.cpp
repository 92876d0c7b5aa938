// Builds without X11: no editor can be shown.
#include "HostWindow.h"

bool HostWindow::available(std::string* why) {
    *why = "the validator was built without X11";
    return false;
}
HostWindow::HostWindow(int, int) : native(nullptr) {}
HostWindow::~HostWindow() = default;
bool HostWindow::ok() const {
    return false;
}
void* HostWindow::parent() const {
    return nullptr;
}
void HostWindow::pump() {}
