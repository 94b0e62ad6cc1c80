// SPDX-License-Identifier: MIT
// The guard process of OverlayWatchdog: only the socket to the program it
// guards and, when the overlays are to go, a way of its own to the desktop:
// an X11 connection (X11GuardDisplay), sway's IPC socket, or KWin's
// scripting (the one place Qt is started here).
#include "KWinScripting.h"
#include "KWinScripts.h"
#include "OverlayWindows.h"
#include "X11GuardDisplay.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<unsigned long> windowIds(const std::string &line)
{
    std::vector<unsigned long> ids;
    const char *p = line.c_str() + 1;
    while (*p) {
        char *end = nullptr;
        const unsigned long long id = std::strtoull(p, &end, 10);
        if (end == p)
            break;
        if (id != 0)
            ids.push_back((unsigned long)(id));
        p = end;
    }
    return ids;
}

// The captions of a "C <count>\t<caption>\t..." line.
std::vector<std::string> captionsOf(const std::string &line, std::size_t *count)
{
    std::vector<std::string> out;
    std::size_t start = line.find('\t');
    *count = std::strtoull(line.c_str() + std::min<std::size_t>(line.size(), 1), nullptr, 10);
    while (start != std::string::npos) {
        const std::size_t end = line.find('\t', start + 1);
        std::string caption = line.substr(start + 1, end == std::string::npos ? end : end - start - 1);
        if (!caption.empty())
            out.push_back(std::move(caption));
        start = end;
    }
    return out;
}

// A caption as a whole-title pattern in sway's criteria: the regular
// expression's special characters and the quote escaped.
std::string titlePattern(const std::string &caption)
{
    std::string out = "^";
    for (const char c : caption) {
        if (std::strchr("\\^$.|?*+()[]{}\"", c))
            out += '\\';
        out += c;
    }
    return out + "$";
}

bool writeAll(int fd, const std::string &bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += std::size_t(n);
    }
    return true;
}

// Runs one command over sway's IPC socket and waits (a little) for the
// answer, so that the command has been carried out when this returns.
bool swayCommand(const std::string &socketPath, const std::string &command)
{
    sockaddr_un address{};
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool done = false;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
        std::string message = "i3-ipc";
        const std::uint32_t header[2] = {std::uint32_t(command.size()), 0 /* RUN_COMMAND */};
        message.append(reinterpret_cast<const char *>(header), sizeof header);
        message += command;
        if (writeAll(fd, message)) {
            pollfd p{fd, POLLIN, 0};
            char reply[256];
            done = ::poll(&p, 1, 3000) > 0 && ::read(fd, reply, sizeof reply) > 0;
        }
    }
    ::close(fd);
    return done;
}

// Has KWin minimise the covering windows of the parent; how many it did.
std::size_t kwinTakeDown(char *program, pid_t parent, const std::vector<std::string> &captions)
{
    static int argc = 1;
    static char *argv[] = {program, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    QStringList covering;
    for (const auto &caption : captions)
        covering << QString::fromStdString(caption);
    KWinScripting kwin;
    const auto answer = kwin.run(KWinScripts::takeDown(qint32(parent), covering));
    return answer ? std::size_t(std::max(0, answer->toInt())) : 0;
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
    // The desktop: "x11:<display>", "sway:<IPC socket>" or "kwin:".
    const std::string target = argv[5];
    const std::string where = target.substr(std::min<std::size_t>(target.size(), 5));
    std::unique_ptr<X11GuardDisplay> display;
    if (target.rfind("x11:", 0) == 0) {
        display = X11GuardDisplay::open(target.substr(4));
        if (!display)
            return 1;
    } else if (target.rfind("sway:", 0) != 0 && target != "kwin:") {
        return 2;
    }

    std::vector<unsigned long> windows;
    // On Wayland: how many overlays are up, and their captions.
    std::size_t shown = 0;
    std::vector<std::string> captions;
    Clock::time_point deadline;
    std::string pending;
    for (;;) {
        int wait = -1;
        if (!windows.empty() || shown > 0) {
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
            std::size_t taken = 0;
            if (display) {
                display->unmap(windows);
                taken = windows.size();
            } else if (target.rfind("sway:", 0) == 0) {
                // Into the scratchpad, where the program's keeper finds
                // them and puts them back once it runs.
                for (const auto &caption : captions)
                    if (swayCommand(where, "[pid=" + std::to_string(parent) + " title=\"" +
                                               titlePattern(caption) + "\"] move scratchpad"))
                        taken = shown;
            } else {
                taken = kwinTakeDown(argv[0], parent, captions);
            }
            const std::string report = "R " + std::to_string(taken) + "\n";
            [[maybe_unused]] const auto sent = ::send(fd, report.data(), report.size(), MSG_NOSIGNAL);
            windows.clear();
            shown = 0;
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
            if (!line.empty() && line[0] == 'C')
                captions = captionsOf(line, &shown);
            deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        }
    }
    return 0;
}
