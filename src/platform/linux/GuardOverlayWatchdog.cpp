// SPDX-License-Identifier: MIT
#include "GuardOverlayWatchdog.h"

#include <QFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char **environ;

struct GuardOverlayWatchdog::Private
{
    int timeoutMs = kDefaultTimeoutMs;
    bool available = false;
    QByteArray program;
    // What the guard takes the windows down through: "x11:<display>",
    // "sway:<IPC socket>" or "kwin:"; empty where there is no way.
    QByteArray target;
    // Asked for the target at the first watch, not at start (whether a
    // Wayland desktop is KWin's is known only once it is asked).
    std::function<QByteArray()> findTarget;
    // The last windows line, sent again once the guard has taken them
    // down and this program runs again.
    QByteArray watched;
    // The guard process and this end of the socket to it, while windows
    // are watched.
    pid_t guard = 0;
    int socket = -1;
    int rescues = 0;
    QByteArray reports;
    std::unique_ptr<QTimer> heartbeat;
    std::function<void()> onRescued;

    bool spawn()
    {
        int ends[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return false;
        // The guard's end becomes this descriptor in the guard, open
        // across exec (dup2 onto another number clears close-on-exec).
        const int guardFd = ends[1] == kGuardFd ? kGuardFd + 1 : kGuardFd;
        const QByteArray fd = QByteArray::number(guardFd);
        const QByteArray timeout = QByteArray::number(timeoutMs);
        const QByteArray parent = QByteArray::number(qint64(::getpid()));
        char *argv[] = {program.data(),
                        const_cast<char *>(kGuardOption),
                        const_cast<char *>(fd.constData()),
                        const_cast<char *>(timeout.constData()),
                        const_cast<char *>(parent.constData()),
                        target.data(),
                        nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawnattr_t attributes;
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_adddup2(&actions, ends[1], guardFd);
        // Nothing else of this process's (its bus connection, its signal
        // pipe) is held open by the guard.
        posix_spawn_file_actions_addclosefrom_np(&actions, guardFd + 1);
        // A session of its own: Ctrl+Z in the terminal that started this
        // program stops the whole foreground group, and must not stop the
        // guard with it.
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
        pid_t pid = 0;
        const int error = posix_spawn(&pid, program.constData(), &actions, &attributes, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ::close(ends[1]);
        if (error != 0) {
            ::close(ends[0]);
            return false;
        }
        guard = pid;
        socket = ends[0];
        // A guard that stops reading never holds the main loop up.
        ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
        return true;
    }

    // A line to the guard; a guard that has gone is let go of.
    void send(const QByteArray &line)
    {
        if (socket < 0)
            return;
        if (::send(socket, line.constData(), size_t(line.size()), MSG_NOSIGNAL | MSG_DONTWAIT) < 0 &&
            errno != EAGAIN && errno != EINTR)
            stopGuard();
    }

    // Counts the windows the guard reports it took down; true when it took
    // some down since the last look.
    bool readReports()
    {
        if (socket < 0)
            return false;
        const int before = rescues;
        char buffer[256];
        ssize_t n = 0;
        while ((n = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
            reports.append(buffer, n);
        qsizetype end = 0;
        while ((end = reports.indexOf('\n')) >= 0) {
            const QByteArray line = reports.left(end);
            reports.remove(0, end + 1);
            if (line.startsWith("R "))
                rescues += line.mid(2).toInt();
        }
        return rescues != before;
    }

    void stopGuard()
    {
        readReports();
        if (socket >= 0)
            ::close(socket);
        socket = -1;
        if (guard > 0) {
            // Nothing of the guard is worth waiting for; a guard that was
            // stopped by someone ends all the same.
            ::kill(guard, SIGKILL);
            while (::waitpid(guard, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        guard = 0;
        reports.clear();
    }
};

GuardOverlayWatchdog::GuardOverlayWatchdog(std::function<QByteArray()> target, int timeoutMs,
                                           const QString &guardProgram)
    : d(std::make_unique<Private>())
{
    d->timeoutMs = timeoutMs;
    d->findTarget = std::move(target);
    d->available = bool(d->findTarget);
    if (!d->available)
        return;
    // This very program, also when its file was replaced by an update
    // since it started.
    d->program =
        guardProgram.isEmpty() ? QByteArrayLiteral("/proc/self/exe") : QFile::encodeName(guardProgram);
    d->heartbeat = std::make_unique<QTimer>();
    d->heartbeat->setInterval(std::max(100, timeoutMs / 10));
    QObject::connect(d->heartbeat.get(), &QTimer::timeout, [this] { beat(); });
}

GuardOverlayWatchdog::~GuardOverlayWatchdog()
{
    d->stopGuard();
}

bool GuardOverlayWatchdog::isAvailable() const
{
    return d->available;
}

void GuardOverlayWatchdog::watch(const QList<QWidget *> &windows)
{
    if (!d->available)
        return;
    if (d->findTarget) {
        d->target = std::exchange(d->findTarget, nullptr)();
        d->available = !d->target.isEmpty();
    }
    if (!d->available)
        return;
    QByteArray line;
    if (d->target.startsWith("x11:")) {
        line = "W";
        for (QWidget *w : windows)
            if (w)
                line += ' ' + QByteArray::number(quint64(w->winId()));
        if (line == "W")
            line.clear();
    } else {
        // On Wayland the compositor finds the windows by this process and
        // their captions (which hold no tab or line break here).
        QStringList captions;
        for (QWidget *w : windows)
            if (w && !w->windowTitle().isEmpty())
                captions << w->windowTitle().remove(QLatin1Char('\t')).remove(QLatin1Char('\n'));
        captions.removeDuplicates();
        if (!captions.isEmpty())
            line =
                "C " + QByteArray::number(windows.size()) + '\t' + captions.join(QLatin1Char('\t')).toUtf8();
    }
    if (line.isEmpty()) {
        clear();
        return;
    }
    if (!d->guard && !d->spawn())
        return;
    d->watched = line + '\n';
    d->send(d->watched);
    // The heartbeat runs only while there is something to guard.
    if (d->guard)
        d->heartbeat->start();
}

void GuardOverlayWatchdog::clear()
{
    if (d->heartbeat)
        d->heartbeat->stop();
    d->watched.clear();
    d->stopGuard();
}

void GuardOverlayWatchdog::beat()
{
    // Running again after the guard took the windows down: they come back
    // (the keeper maps them again, or is told to put them up), and are
    // guarded again.
    if (d->readReports() && !d->watched.isEmpty()) {
        d->send(d->watched);
        if (d->onRescued)
            d->onRescued();
    }
    d->send(QByteArrayLiteral("B\n"));
}

void GuardOverlayWatchdog::setOnRescued(std::function<void()> rescued)
{
    d->onRescued = std::move(rescued);
}

int GuardOverlayWatchdog::rescues() const
{
    d->readReports();
    return d->rescues;
}

qint64 GuardOverlayWatchdog::guardPid() const
{
    return d->guard;
}
