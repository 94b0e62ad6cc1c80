// SPDX-License-Identifier: MIT
#include "X11GuardDisplay.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace {

// A window already gone (the program ended it a moment ago) is no error.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

// The display went away: so did the windows.
int displayGone(Display *)
{
    std::_Exit(0);
}

} // namespace

std::unique_ptr<X11GuardDisplay> X11GuardDisplay::open(const std::string &name)
{
    XSetErrorHandler(ignoreErrors);
    XSetIOErrorHandler(displayGone);
    Display *display = XOpenDisplay(name.c_str());
    if (!display)
        return nullptr;
    return std::unique_ptr<X11GuardDisplay>(new X11GuardDisplay(display));
}

X11GuardDisplay::~X11GuardDisplay()
{
    XCloseDisplay(static_cast<Display *>(m_display));
}

void X11GuardDisplay::unmap(const std::vector<unsigned long> &windows)
{
    auto *display = static_cast<Display *>(m_display);
    for (const unsigned long w : windows)
        XUnmapWindow(display, ::Window(w));
    XSync(display, False);
}
