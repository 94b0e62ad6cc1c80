// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

// The overlay guard's own connection to the X server (see OverlayGuard.cpp):
// no Qt, opened when the guard starts and closed when it ends. A display
// that goes away ends the guard (the windows went with it).
class X11GuardDisplay
{
public:
    // Null when the display cannot be opened.
    static std::unique_ptr<X11GuardDisplay> open(const std::string &name);
    ~X11GuardDisplay();
    X11GuardDisplay(const X11GuardDisplay &) = delete;
    X11GuardDisplay &operator=(const X11GuardDisplay &) = delete;

    // Unmaps the windows and waits until the server has done it; windows
    // already gone are no error.
    void unmap(const std::vector<unsigned long> &windows);

private:
    explicit X11GuardDisplay(void *display) : m_display(display) {}
    void *m_display = nullptr;
};
