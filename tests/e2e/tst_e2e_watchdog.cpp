// SPDX-License-Identifier: MIT
// The overlay never traps the user: a guard process takes its windows off
// the screen when the program's main loop hangs or the program is stopped,
// and a program that dies takes its overlay (and its guard) with it (what it
// hid comes back at its next start).
#include "DesktopProbe.h"
#include "LumoraProcess.h"
#include "OverlayWindows.h"
#include "PlatformServices.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

constexpr int settleMs = 5000;
constexpr int watchdogTimeoutMs = 400;
// Well past the timeout and the watchdog's own polling.
constexpr int hangMs = 4 * watchdogTimeoutMs;

// The README's promise: a hung or stopped Lumora's overlay is gone after 10 s.
constexpr int stoppedOverlayGoneWithinMs = 12000;
constexpr int stoppedForMs = 30000;

enum class MainLoop { hangs, beats, hangsAfterClear };

// This thread does nothing else (no event is processed) until pass() holds
// or ceilingMs have passed; returns whether it held.
bool hangUntil(const std::function<bool()> &pass, int ceilingMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pass()) {
        if (timer.elapsed() > ceilingMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The guard processes of the Lumora with this process id.
QList<qint64> guardsOf(qint64 lumora)
{
    QList<qint64> guards;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = cmdline.readAll().split('\0');
        if (arguments.value(1) == OverlayWatchdog::kGuardOption && arguments.value(4).toLongLong() == lumora)
            guards.append(entry.toLongLong());
    }
    return guards;
}

} // namespace

Q_DECLARE_METATYPE(MainLoop)

class TestE2eWatchdog : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<ScratchStore> m_store;

    QList<quint64> overlayWindowsAnywhere() const
    {
        return m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kOverlayTitle));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
    }

    void watchdogTakesDownTheWindowsOfAHungMainLoop_data()
    {
        QTest::addColumn<MainLoop>("mainLoop");
        QTest::addColumn<bool>("takenDown");
        QTest::newRow("main loop hangs past the timeout") << MainLoop::hangs << true;
        QTest::newRow("main loop keeps beating") << MainLoop::beats << false;
        QTest::newRow("windows no longer watched") << MainLoop::hangsAfterClear << false;
    }
    void watchdogTakesDownTheWindowsOfAHungMainLoop()
    {
        QFETCH(MainLoop, mainLoop);
        QFETCH(bool, takenDown);
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        window.setWindowTitle(QStringLiteral("watched"));
        window.setGeometry(200, 200, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto id = window.winId();
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(id), settleMs);

        const auto madeWatchdog = PlatformServices::forThisDesktop()->makeOverlayWatchdog(
            watchdogTimeoutMs, LumoraProcess::program());
        OverlayWatchdog &watchdog = *madeWatchdog;
        QVERIFY(watchdog.isAvailable());
        watchdog.watch({&window});
        if (mainLoop == MainLoop::hangsAfterClear)
            watchdog.clear();
        if (mainLoop == MainLoop::beats) {
            QTest::qWait(hangMs);
        } else {
            // No event is processed: what the X server shows is the guard's
            // doing alone.
            const bool gone =
                hangUntil([&] { return !m_probe.isViewable(id); }, takenDown ? settleMs : hangMs);
            QCOMPARE(gone, takenDown);
        }
        QCOMPARE(m_probe.isViewable(id), !takenDown);
        QTRY_COMPARE_WITH_TIMEOUT(watchdog.rescues(), takenDown ? 1 : 0, settleMs);
    }

    // The watchdog takes a held window down while the main loop hangs; once
    // the loop beats again the keeper puts it back and the watchdog watches it
    // again.
    void windowComesBackWhenTheLoopRecovers()
    {
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        window.setWindowTitle(QStringLiteral("held"));
        window.setGeometry(200, 200, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto id = window.winId();
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isViewable(id), settleMs);

        const auto madeWatchdog = PlatformServices::forThisDesktop()->makeOverlayWatchdog(
            watchdogTimeoutMs, LumoraProcess::program());
        OverlayWatchdog &watchdog = *madeWatchdog;
        const auto madeKeeper = PlatformServices::forThisDesktop()->makeOverlayKeeper();
        OverlayKeeper &keeper = *madeKeeper;
        QVERIFY(keeper.isAvailable());
        QObject::connect(&keeper, &OverlayKeeper::remapped, [&] { watchdog.watch({&window}); });
        keeper.hold({&window});
        watchdog.watch({&window});
        QVERIFY(hangUntil([&] { return !m_probe.isViewable(id); }, settleMs)); // no event is processed
        QTRY_COMPARE_WITH_TIMEOUT(watchdog.rescues(), 1, settleMs);

        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isViewable(id), settleMs);
        QCOMPARE(keeper.remaps(), 1);
        // Watched again: a second hang takes it down again.
        QVERIFY(hangUntil([&] { return !m_probe.isViewable(id); }, settleMs));
        QTRY_COMPARE_WITH_TIMEOUT(watchdog.rescues(), 2, settleMs);
        keeper.release();
        watchdog.clear();
    }

    // The guard runs only while windows are watched, in a session of its
    // own (a stop sent to the terminal's foreground group does not reach
    // it), and is gone, collected, once they are not.
    void guardRunsOnlyWhileWindowsAreWatched()
    {
        const auto madeWatchdog = PlatformServices::forThisDesktop()->makeOverlayWatchdog(
            watchdogTimeoutMs, LumoraProcess::program());
        OverlayWatchdog &watchdog = *madeWatchdog;
        QVERIFY(watchdog.isAvailable());
        QCOMPARE(watchdog.guardPid(), 0);
        QVERIFY(guardsOf(QCoreApplication::applicationPid()).isEmpty());

        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(200, 200, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        watchdog.watch({&window});
        const qint64 guard = watchdog.guardPid();
        QVERIFY(guard > 0);
        // Started as the guard (exec'd), not just forked.
        QTRY_COMPARE_WITH_TIMEOUT(guardsOf(QCoreApplication::applicationPid()), QList<qint64>{guard},
                                  settleMs);
        QVERIFY(::getsid(pid_t(guard)) != ::getsid(0));
        QTest::qWait(hangMs); // the main loop beats
        QCOMPARE(watchdog.rescues(), 0);
        QVERIFY(m_probe.isViewable(window.winId()));

        watchdog.clear();
        QCOMPARE(watchdog.guardPid(), 0);
        QCOMPARE(::kill(pid_t(guard), 0), -1); // collected, not a zombie
        QVERIFY(guardsOf(QCoreApplication::applicationPid()).isEmpty());
    }

    // At rest the keeper and the watchdog hold no connection to the display:
    // each opens one while an overlay is up and closes it afterwards, for
    // every session.
    void connectionsOnlyWhileAnOverlayIsUp()
    {
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(200, 200, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int atRest = DesktopProbe::openSockets();

        const auto madeWatchdog = PlatformServices::forThisDesktop()->makeOverlayWatchdog(
            watchdogTimeoutMs, LumoraProcess::program());
        OverlayWatchdog &watchdog = *madeWatchdog;
        const auto madeKeeper = PlatformServices::forThisDesktop()->makeOverlayKeeper();
        OverlayKeeper &keeper = *madeKeeper;
        QVERIFY(watchdog.isAvailable());
        QVERIFY(keeper.isAvailable());
        QCOMPARE(DesktopProbe::openSockets(), atRest);
        for (int session = 0; session < 2; ++session) {
            keeper.hold({&window});
            watchdog.watch({&window});
            QVERIFY(keeper.isHolding());
            QCOMPARE(DesktopProbe::openSockets(), atRest + 2);
            keeper.release();
            watchdog.clear();
            QCOMPARE(DesktopProbe::openSockets(), atRest);
        }
    }

    void killedProgramLeavesNoOverlay_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("hidesApps");
        QTest::newRow("overlay") << QStringLiteral("Meditation - 5 min") << false;
        QTest::newRow("hideApps") << QStringLiteral("Read Bible - 10 min") << true;
    }
    void killedProgramLeavesNoOverlay()
    {
        QFETCH(QString, screen);
        QFETCH(bool, hidesApps);
        XClient clock(QStringLiteral("xclock"), {"-geometry", "120x120+1320+40"}, QStringLiteral("XClock"));
        QVERIFY(clock.start(m_probe));

        auto lumora = std::make_unique<LumoraProcess>(*m_store, true);
        QVERIFY(lumora->start());
        QVERIFY2(lumora->waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");
        const QString error = lumora->startScreen(screen);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).size(), 2, settleMs);
        if (hidesApps)
            QTRY_COMPARE_WITH_TIMEOUT(m_probe.state(clock.window()), DesktopProbe::State::iconic, settleMs);

        const qint64 pid = lumora->pid();
        QTRY_COMPARE_WITH_TIMEOUT(guardsOf(pid).size(), 1, settleMs);
        lumora->kill(); // SIGKILL: nothing of the program runs any more
        QTRY_VERIFY_WITH_TIMEOUT(overlayWindowsAnywhere().isEmpty(), settleMs);
        // Its guard goes with it.
        QTRY_VERIFY_WITH_TIMEOUT(guardsOf(pid).isEmpty(), settleMs);
        QCOMPARE(m_probe.findTrayIcon(QLatin1String(LumoraProcess::kWindowClass)), quint64(0));
        if (!hidesApps)
            return;

        // What the dead program hid stays hidden until its next start.
        QTest::qWait(800);
        QCOMPARE(m_probe.state(clock.window()), DesktopProbe::State::iconic);
        lumora = std::make_unique<LumoraProcess>(*m_store, true);
        QVERIFY(lumora->start());
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(clock.window()), settleMs);
        QVERIFY(lumora->waitUntilReady(m_probe));
        QCOMPARE(lumora->status(), QStringLiteral("idle"));
    }

    // A Lumora stopped (SIGSTOP) for 30 s during a session: its guard takes
    // the overlay down within the promised time, the keeper puts it back
    // once Lumora runs again, and the record of the session ended by SIGTERM
    // holds the time the countdown ran, not the time it stood still.
    void stoppedProgramLosesItsOverlay()
    {
        LumoraProcess lumora(*m_store, true);
        QVERIFY(lumora.start());
        QVERIFY2(lumora.waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");
        const QString error = lumora.startScreen(QStringLiteral("Meditation - 5 min"));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).size(), 2, settleMs);
        QElapsedTimer ran;
        ran.start();
        QTRY_VERIFY_WITH_TIMEOUT(!guardsOf(lumora.pid()).isEmpty(), settleMs);
        QTest::qWait(3000); // some countdown to record
        const qint64 ranBefore = ran.elapsed();

        QVERIFY(::kill(pid_t(lumora.pid()), SIGSTOP) == 0);
        QElapsedTimer stopped;
        stopped.start();
        QTRY_VERIFY2_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).isEmpty(),
                                  "the overlay of a stopped Lumora stayed up", stoppedOverlayGoneWithinMs);
        // Not before the time-out, counted from the last heartbeat, which came
        // up to one heartbeat (a tenth of the time-out) before the stop.
        QVERIFY2(stopped.elapsed() >= OverlayWatchdog::kDefaultTimeoutMs * 9 / 10 - 500,
                 qPrintable(QString::number(stopped.elapsed())));
        QTest::qWait(int(std::max<qint64>(0, stoppedForMs - stopped.elapsed()))); // stays stopped

        QVERIFY(::kill(pid_t(lumora.pid()), SIGCONT) == 0);
        ran.restart();
        QTRY_COMPARE_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).size(), 2, settleMs);
        QTest::qWait(2000); // some more countdown
        const qint64 ranAfter = ran.elapsed();
        lumora.stop(); // SIGTERM
        QVERIFY(!lumora.isRunning());

        const auto session = m_store->lastSession();
        QVERIFY(session && session->endTime && session->actualDuration);
        QVERIFY(!session->completed);
        const double countdown = double(ranBefore + ranAfter) / 1000.0;
        QVERIFY2(qAbs(*session->actualDuration - countdown) < 3.0,
                 qPrintable(QStringLiteral("recorded %1 s for %2 s of countdown")
                                .arg(*session->actualDuration)
                                .arg(countdown)));
        QVERIFY(qAbs(*session->endTime - session->startTime - *session->actualDuration) < 0.01);
    }
};

QTEST_MAIN(TestE2eWatchdog)
#include "tst_e2e_watchdog.moc"
