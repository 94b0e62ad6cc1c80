// SPDX-License-Identifier: MIT
// Prints how fast a focus session puts its overlay up and how much CPU a
// running session costs:
//  - from the start request (the StartFocusScreen call a second `lumora
//    --start` makes on the session bus) to the overlay windows mapped on
//    both monitors, in hideApps and overlay mode, and the same through a
//    whole `lumora --start` process;
//  - CPU time used by lumora (utime + stime from /proc) while a session runs
//    with the overlay up, as a share of one core and seconds per minute,
//    next to the idle program and the X server over the same time.
// Needs a desktop: run it under tests/e2e/desktop-session.sh (the
// run_bench_session target does). Never fails on a time.
//   bench_session [trials per mode, default 5] [seconds of CPU measurement, default 30]
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPollMs = 1;
constexpr int kMapTimeoutMs = 10000;
constexpr int kSettleMs = 3000; // the fade-in and whatever the start set going
constexpr int kBetweenTrialsMs = 500;
constexpr int kShortSessionSeconds = 2;
constexpr int kLongSessionSeconds = 600;
constexpr double kMapTargetMs = 100.0;
constexpr double kCpuTargetPercent = 0.2;

struct Mode
{
    const char *name;
    LockMode lockMode;
    QString shortScreen;
    QString longScreen;
};

const QList<Mode> kModes{
    {"hideApps", LockMode::hideApps, QStringLiteral("Bench Hide"), QStringLiteral("Bench Hide Long")},
    {"overlay", LockMode::overlay, QStringLiteral("Bench Cover"), QStringLiteral("Bench Cover Long")},
};

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// utime + stime of a process, in seconds; negative when it cannot be read.
double cpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // The fields after the command name, which may hold spaces and brackets.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    constexpr int utimeField = 11; // fields 14 and 15 of the line, counted from field 3
    if (fields.size() <= utimeField + 1)
        return -1;
    const double ticks = fields.at(utimeField).toDouble() + fields.at(utimeField + 1).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// The X server of this desktop (Xvfb on $DISPLAY); 0 when it is not found.
qint64 xServerPid()
{
    const QByteArray display = qgetenv("DISPLAY");
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = file.readAll().split('\0');
        if (!args.isEmpty() && args.first().endsWith("Xvfb") && args.contains(display))
            return pid;
    }
    return 0;
}

// Watches for the overlay windows cheaply enough to poll every millisecond:
// one request for the root's children (the overlay windows are among them,
// unmanaged), titles read once per window.
class OverlayWatch
{
public:
    explicit OverlayWatch(const DesktopProbe &probe) : m_probe(probe) {}

    int mapped()
    {
        int count = 0;
        for (const auto window : m_probe.topLevelWindows()) {
            auto title = m_titles.constFind(window);
            // A window seen just after its creation may have no title yet;
            // only a title it has is kept.
            if (title == m_titles.constEnd()) {
                const QString now = m_probe.windowTitle(window);
                if (now.isEmpty())
                    continue;
                title = m_titles.insert(window, now);
            }
            if (*title == QLatin1String(LumoraProcess::kOverlayTitle) && m_probe.isViewable(window))
                ++count;
        }
        return count;
    }

    // Milliseconds until both monitors have their window; negative on time-out.
    double waitForBoth(const QElapsedTimer &since)
    {
        while (since.elapsed() < kMapTimeoutMs) {
            if (mapped() >= 2)
                return double(since.nsecsElapsed()) / 1e6;
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        }
        return -1;
    }

private:
    const DesktopProbe &m_probe;
    QHash<quint64, QString> m_titles;
};

QString figures(QList<double> values)
{
    if (values.isEmpty())
        return QStringLiteral("no figures");
    std::sort(values.begin(), values.end());
    return QStringLiteral("min %1  median %2  max %3")
        .arg(values.first(), 6, 'f', 1)
        .arg(values.at(values.size() / 2), 6, 'f', 1)
        .arg(values.last(), 6, 'f', 1);
}

void sendStartRequest(const QString &screen)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        SingleInstance::serviceName(), QStringLiteral("/io/github/lumora/Lumora"),
        QStringLiteral("io.github.lumora.Lumora"), QStringLiteral("StartFocusScreen"));
    message << screen;
    QDBusConnection::sessionBus().asyncCall(message);
}

bool waitUntilGone(const DesktopProbe &probe)
{
    return waitFor([&] { return LumoraProcess::shownOverlays(probe).isEmpty(); }, kMapTimeoutMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trials = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5;
    const int seconds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 30;

    DesktopProbe probe;
    if (!probe.isOpen()) {
        std::fprintf(stderr, "bench_session: no X display; run it under tests/e2e/desktop-session.sh\n");
        return 1;
    }
    ScratchStore store;
    const QString error = store.fill([](ModelContext *context) {
        qint64 order = 0;
        for (const Mode &mode : kModes) {
            context->insert(std::make_unique<FocusScreen>(mode.shortScreen, kShortSessionSeconds,
                                                          QStringList{}, QStringList{}, mode.lockMode, false,
                                                          order++));
            context->insert(std::make_unique<FocusScreen>(mode.longScreen, kLongSessionSeconds, QStringList{},
                                                          QStringList{}, mode.lockMode, false, order++));
        }
    });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "bench_session: %s\n", qPrintable(error));
        return 1;
    }
    // The bus name of the instance that owns this store.
    qputenv("APP_STORE", store.path().toLocal8Bit());

    // Something for hideApps to hide, as on a real desktop.
    XClient clock(QStringLiteral("xclock"), {"-geometry", "120x120+1320+40"}, QStringLiteral("XClock"));
    XClient eyes(QStringLiteral("xeyes"), {"-geometry", "120x120+1500+40"}, QStringLiteral("XEyes"));
    clock.start(probe);
    eyes.start(probe);

    LumoraProcess lumora(store);
    if (!lumora.start() || !lumora.waitUntilReady(probe)) {
        std::fprintf(stderr, "bench_session: lumora did not come up (%s)\n",
                     qPrintable(LumoraProcess::program()));
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    print(QStringLiteral("bench_session: %1, %2 trials per mode, %3 s of CPU measurement, %4 cores online")
              .arg(LumoraProcess::program())
              .arg(trials)
              .arg(seconds)
              .arg(sysconf(_SC_NPROCESSORS_ONLN)));

    print(QStringLiteral("\nstart request -> overlay windows mapped on both monitors, ms (target < %1)")
              .arg(kMapTargetMs));
    OverlayWatch watch(probe);
    for (const Mode &mode : kModes) {
        QList<double> times;
        for (int i = 0; i < trials; ++i) {
            QElapsedTimer since;
            since.start();
            sendStartRequest(mode.shortScreen);
            const double ms = watch.waitForBoth(since);
            if (ms >= 0)
                times.append(ms);
            waitUntilGone(probe); // the short session ends by itself
            std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenTrialsMs));
        }
        print(QStringLiteral("  %1 %2").arg(QLatin1String(mode.name), -10).arg(figures(times)));
    }
    {
        QList<double> times;
        for (int i = 0; i < trials; ++i) {
            QElapsedTimer since;
            since.start();
            QProcess second;
            second.setProcessEnvironment(lumora.environment());
            second.start(LumoraProcess::program(), {QStringLiteral("--start"), kModes.first().shortScreen});
            const double ms = watch.waitForBoth(since);
            second.waitForFinished();
            if (ms >= 0)
                times.append(ms);
            waitUntilGone(probe);
            std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenTrialsMs));
        }
        print(QStringLiteral("  %1 %2  (a whole `lumora --start` process, hideApps)")
                  .arg(QStringLiteral("command"), -10)
                  .arg(figures(times)));
    }

    print(
        QStringLiteral("\nCPU time over %1 s, as a share of one core and seconds per minute (target < %2 %)")
            .arg(seconds)
            .arg(kCpuTargetPercent));
    const qint64 xServer = xServerPid();
    const auto measure = [&](const QString &what) {
        const double lumoraBefore = cpuSeconds(lumora.pid());
        const double serverBefore = xServer ? cpuSeconds(xServer) : -1;
        QElapsedTimer wall;
        wall.start();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double elapsed = double(wall.nsecsElapsed()) / 1e9;
        const double used = cpuSeconds(lumora.pid()) - lumoraBefore;
        QString line = QStringLiteral("  %1 lumora %2 % (%3 s/min)")
                           .arg(what, -30)
                           .arg(100.0 * used / elapsed, 6, 'f', 3)
                           .arg(60.0 * used / elapsed, 5, 'f', 3);
        if (serverBefore >= 0) {
            const double server = cpuSeconds(xServer) - serverBefore;
            line += QStringLiteral("   X server %1 %").arg(100.0 * server / elapsed, 6, 'f', 3);
        }
        print(line);
    };
    measure(QStringLiteral("idle, no session"));
    for (const Mode &mode : kModes) {
        sendStartRequest(mode.longScreen);
        QElapsedTimer since;
        since.start();
        if (watch.waitForBoth(since) < 0) {
            print(QStringLiteral("  %1: the overlay did not come up").arg(QLatin1String(mode.name)));
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
        measure(QStringLiteral("%1 session, overlay up").arg(QLatin1String(mode.name)));
        const QString exitError = LumoraProcess::exitSessionEarly(probe);
        if (!exitError.isEmpty())
            print(QStringLiteral("  (could not end the session: %1)").arg(exitError));
        waitUntilGone(probe);
        std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenTrialsMs));
    }
    return 0;
}
