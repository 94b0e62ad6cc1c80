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
// run_bench_session target does). On headless sway (wayland-session.sh,
// run_bench_session_sway) and headless KWin (kwin-session.sh,
// run_bench_session_kwin) it prints the start figures, to the overlay over
// every output as the compositor has it. Never fails on a time.
//   bench_session [trials per mode, default 5] [seconds of CPU measurement, default 30]
#include "BenchReport.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "KWinScripting.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"
#include "SingleInstance.h"
#include "SwayIpc.h"
#include "SwayIpcConnection.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QProcess>
#include <QSet>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

using BenchReport::print;
using BenchReport::sendStartRequest;

QString figures(const QList<double> &values)
{
    return BenchReport::figures(values, QStringLiteral("no figures"));
}

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

bool waitUntilGone(const DesktopProbe &probe)
{
    return waitFor([&] { return LumoraProcess::shownOverlays(probe).isEmpty(); }, kMapTimeoutMs);
}

// The overlay of a Wayland compositor: when it covers every output, and when
// it is gone.
class CompositorWatch
{
public:
    virtual ~CompositorWatch() = default;
    virtual const char *name() const = 0;
    // Called just before the request.
    virtual bool arm() { return true; }
    // Milliseconds from since until every output has its overlay; negative
    // on time-out. Called right after the request went.
    virtual double waitForCovered(const QElapsedTimer &since) = 0;
    virtual bool waitUntilGone() = 0;
};

// sway: after each window event the tree is read; covered is an overlay over
// the whole of each output, full screen or (the click-through modes)
// floating, on the workspace it shows.
class SwayWatch : public CompositorWatch
{
public:
    bool open()
    {
        const QString socket = qEnvironmentVariable("SWAYSOCK");
        return m_commands.open(socket) && m_events.open(socket) &&
               m_events.send(SwayIpc::subscribe, QByteArrayLiteral(R"(["window"])"));
    }
    const char *name() const override { return "sway"; }
    double waitForCovered(const QElapsedTimer &since) override
    {
        while (since.elapsed() < kMapTimeoutMs) {
            if (overlaysShown(true))
                return double(since.nsecsElapsed()) / 1e6;
            pollfd p{m_events.fd(), POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                m_events.readAvailable();
                while (m_events.next()) {
                }
            }
        }
        return -1;
    }
    bool waitUntilGone() override
    {
        return waitFor([this] { return overlaysShown(false) == 0; }, kMapTimeoutMs);
    }

private:
    // covering: whether every output is covered; else how many overlays
    // there are.
    int overlaysShown(bool covering)
    {
        const auto reply = m_commands.request(SwayIpc::getTree, {});
        if (!reply)
            return 0;
        const QJsonObject tree = QJsonDocument::fromJson(*reply).object();
        const auto outputs = SwayIpc::outputRects(tree);
        const auto view = SwayIpc::view(tree);
        int count = 0;
        QSet<QString> covered;
        for (const auto &w : SwayIpc::windows(tree)) {
            if (w.title != QLatin1String(LumoraProcess::kOverlayTitle))
                continue;
            ++count;
            if ((w.fullscreen || w.floating) && w.rect == outputs.value(w.output) &&
                view.visible.value(w.output) == w.workspace)
                covered.insert(w.output);
        }
        if (!covering)
            return count;
        return !outputs.isEmpty() && covered.size() == outputs.size();
    }

    SwayIpcConnection m_commands;
    SwayIpcConnection m_events;
};

// KWin: a script follows the windows KWin manages and answers once there is
// a full-screen overlay on each output.
class KWinWatch : public CompositorWatch
{
public:
    KWinWatch()
    {
        QObject::connect(&m_kwin, &KWinScripting::answered, [this](const QString &, const QString &text) {
            if (text == QLatin1String("covered"))
                m_covered = true;
        });
    }
    const char *name() const override { return "KWin"; }
    bool arm() override
    {
        m_covered = false;
        QString error;
        if (!m_kwin.start(QStringLiteral("bench-watch"), script(), &error)) {
            std::fprintf(stderr, "bench_session: KWin refused the watch: %s\n", qPrintable(error));
            return false;
        }
        return true;
    }
    double waitForCovered(const QElapsedTimer &since) override
    {
        while (!m_covered && since.elapsed() < kMapTimeoutMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double ms = double(since.nsecsElapsed()) / 1e6;
        m_kwin.stop(QStringLiteral("bench-watch"));
        return m_covered ? ms : -1;
    }
    bool waitUntilGone() override
    {
        return waitFor(
            [this] {
                const auto answer = m_kwin.run(QStringLiteral(R"(var n = 0, all = windows();
for (var i = 0; i < all.length; ++i)
    if (String(all[i].caption) === "%1") ++n;
reply(String(n));)")
                                                   .arg(QLatin1String(LumoraProcess::kOverlayTitle)));
                return answer && *answer == QLatin1String("0");
            },
            kMapTimeoutMs);
    }

private:
    static QString script()
    {
        return QStringLiteral(R"(var done = false;
function outputs() {
    return workspace.screens !== undefined ? workspace.screens.length : workspace.numScreens;
}
function check() {
    if (done)
        return;
    var all = windows(), n = 0;
    for (var i = 0; i < all.length; ++i)
        if (String(all[i].caption) === "%1" && all[i].fullScreen && !all[i].minimized)
            ++n;
    if (n >= outputs()) {
        done = true;
        reply("covered");
    }
}
function follow(w) {
    if (w.fullScreenChanged)
        w.fullScreenChanged.connect(check);
    if (w.captionChanged)
        w.captionChanged.connect(check);
}
var all = windows();
for (var i = 0; i < all.length; ++i)
    follow(all[i]);
onWindowAdded(function (w) { follow(w); check(); });
check();
)")
            .arg(QLatin1String(LumoraProcess::kOverlayTitle));
    }

    KWinScripting m_kwin;
    bool m_covered = false;
};

// The start figures on a Wayland compositor.
int benchCompositor(int trials)
{
    std::unique_ptr<CompositorWatch> watch;
    if (!qEnvironmentVariableIsEmpty("SWAYSOCK")) {
        auto sway = std::make_unique<SwayWatch>();
        if (!sway->open()) {
            std::fprintf(stderr, "bench_session: sway does not answer on $SWAYSOCK\n");
            return 1;
        }
        watch = std::move(sway);
    } else if (KWinScripting::isKWinRunning()) {
        watch = std::make_unique<KWinWatch>();
    } else {
        std::fprintf(stderr,
                     "bench_session: no X display, sway or KWin; run it under tests/e2e/desktop-session.sh, "
                     "wayland-session.sh or kwin-session.sh\n");
        return 1;
    }
    ScratchStore store;
    const QString error = store.fill([](ModelContext *context) {
        qint64 order = 0;
        for (const Mode &mode : kModes)
            context->insert(std::make_unique<FocusScreen>(mode.shortScreen, kShortSessionSeconds,
                                                          QStringList{}, QStringList{}, mode.lockMode, false,
                                                          order++));
    });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "bench_session: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("APP_STORE", store.path().toLocal8Bit());
    LumoraProcess lumora(store);
    if (!lumora.start() || !lumora.waitUntilIdle()) {
        std::fprintf(stderr, "bench_session: lumora did not come up (%s)\n",
                     qPrintable(LumoraProcess::program()));
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    print(QStringLiteral("bench_session: %1 on %2, %3 trials per mode, %4 cores online")
              .arg(LumoraProcess::program(), QLatin1String(watch->name()))
              .arg(trials)
              .arg(sysconf(_SC_NPROCESSORS_ONLN)));
    print(QStringLiteral("\nstart request -> overlay covering every output (%1), ms")
              .arg(QLatin1String(watch->name())));
    const auto row = [&](const QString &label, const QString &note, const std::function<void()> &request) {
        QList<double> times;
        for (int i = 0; i < trials; ++i) {
            if (!watch->arm())
                break;
            QElapsedTimer since;
            since.start();
            request();
            const double ms = watch->waitForCovered(since);
            if (ms >= 0)
                times.append(ms);
            watch->waitUntilGone(); // the short session ends by itself
            std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenTrialsMs));
        }
        print(QStringLiteral("  %1 %2%3").arg(label, -10).arg(figures(times), note));
    };
    for (const Mode &mode : kModes)
        row(QLatin1String(mode.name), {}, [&] { sendStartRequest(mode.shortScreen); });
    QProcess second;
    row(QStringLiteral("command"), QStringLiteral("  (a whole `lumora --start` process, hideApps)"), [&] {
        second.setProcessEnvironment(lumora.environment());
        second.start(LumoraProcess::program(), {QStringLiteral("--start"), kModes.first().shortScreen});
    });
    second.waitForFinished();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trials = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5;
    const int seconds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 30;

    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return benchCompositor(trials);
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
