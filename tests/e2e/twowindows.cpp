// SPDX-License-Identifier: MIT
// Test helper: one X client (class "LumoraTwoWindows") that shows a window
// at once and a second top-level window when a line arrives on standard
// input; it exits when standard input closes.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <sys/select.h>
#include <unistd.h>

namespace {

constexpr int windowSize = 80;
constexpr int offset = 300;

Window openWindow(Display *display, int index)
{
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen),
                                              offset + index * windowSize * 2, offset, windowSize, windowSize,
                                              0, BlackPixel(display, screen), WhitePixel(display, screen));
    char name[] = "lumora-two-windows";
    char className[] = "LumoraTwoWindows";
    XClassHint hint{name, className};
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, index == 0 ? "first" : "second");
    XMapWindow(display, window);
    XFlush(display);
    return window;
}

} // namespace

int main()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("no display\n", stderr);
        return 1;
    }
    openWindow(display, 0);
    int opened = 1;
    const int xfd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(STDIN_FILENO, &fds);
        FD_SET(xfd, &fds);
        if (select(xfd + 1, &fds, nullptr, nullptr, nullptr) < 0)
            break;
        if (FD_ISSET(STDIN_FILENO, &fds)) {
            char buffer[64];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n; ++i)
                if (buffer[i] == '\n')
                    openWindow(display, opened++);
        }
    }
    XCloseDisplay(display);
    return 0;
}
