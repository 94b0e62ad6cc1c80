// SPDX-License-Identifier: MIT
// The guard process of OverlayWatchdog: no Qt, only the socket to the
// program it guards and a display connection of its own.
#include "OverlayWindows.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

std::vector<::Window> windowIds(const std::string &line)
{
    std::vector<::Window> ids;
    const char *p = line.c_str() + 1;
    while (*p) {
        char *end = nullptr;
        const unsigned long long id = std::strtoull(p, &end, 10);
        if (end == p)
            break;
        if (id != 0)
            ids.push_back(::Window(id));
        p = end;
    }
    return ids;
}

} // namespace

int OverlayWatchdog::runGuard(int argc, char **argv)
{
    if (argc < 6)
        return 2;
    const int fd = std::atoi(argv[2]);
    const int timeoutMs = std::max(1, std::atoi(argv[3]));
    const pid_t parent = pid_t(std::atoll(argv[4]));
    // Ends with the program it guards, also when that one is killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        return 0;
    XSetErrorHandler(ignoreErrors);
    XSetIOErrorHandler(displayGone);
    Display *display = XOpenDisplay(argv[5]);
    if (!display)
        return 1;

    std::vector<::Window> windows;
    Clock::time_point deadline;
    std::string pending;
    for (;;) {
        int wait = -1;
        if (!windows.empty()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = int(std::max<long long>(0, left));
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            // No beat for the whole timeout with the windows up: the program
            // hangs or is stopped. The windows go; the program maps them
            // again (and says so) once it runs.
            for (::Window w : windows)
                XUnmapWindow(display, w);
            XSync(display, False);
            const std::string report = "R " + std::to_string(windows.size()) + "\n";
            [[maybe_unused]] const auto sent = ::send(fd, report.data(), report.size(), MSG_NOSIGNAL);
            windows.clear();
            continue;
        }
        char buffer[4096];
        const ssize_t n = ready < 0 ? -1 : ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break; // the overlay is over, or the program gone
        pending.append(buffer, size_t(n));
        std::string::size_type end = 0;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line[0] == 'W')
                windows = windowIds(line);
            deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        }
    }
    XCloseDisplay(display);
    return 0;
}
