// The overlay never traps the user: a watchdog takes its windows off the
// screen when the program's main loop hangs, and a program that dies takes
// its overlay with it (what it hid comes back at its next start).
#include "DesktopProbe.h"
#include "LumoraProcess.h"
#include "OverlayWindows.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr int settleMs = 5000;
constexpr int watchdogTimeoutMs = 400;
// Well past the timeout and the watchdog's own polling.
constexpr int hangMs = 4 * watchdogTimeoutMs;

enum class MainLoop { hangs, beats, hangsAfterClear };

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

        OverlayWatchdog watchdog(watchdogTimeoutMs);
        QVERIFY(watchdog.isAvailable());
        watchdog.watch({&window});
        if (mainLoop == MainLoop::hangsAfterClear)
            watchdog.clear();
        if (mainLoop == MainLoop::beats)
            QTest::qWait(hangMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(hangMs)); // no event is processed

        // Still before this program handles any event: what the X server
        // shows is the watchdog's doing alone.
        QCOMPARE(m_probe.isViewable(id), !takenDown);
        QCOMPARE(watchdog.rescues(), takenDown ? 1 : 0);
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

        OverlayWatchdog watchdog(watchdogTimeoutMs);
        OverlayKeeper keeper;
        QVERIFY(keeper.isAvailable());
        QObject::connect(&keeper, &OverlayKeeper::remapped, [&] { watchdog.watch({&window}); });
        keeper.hold({&window});
        watchdog.watch({&window});
        std::this_thread::sleep_for(std::chrono::milliseconds(hangMs)); // no event is processed
        QVERIFY(!m_probe.isViewable(id));
        QCOMPARE(watchdog.rescues(), 1);

        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isViewable(id), settleMs);
        QCOMPARE(keeper.remaps(), 1);
        // Watched again: a second hang takes it down again.
        std::this_thread::sleep_for(std::chrono::milliseconds(hangMs));
        QVERIFY(!m_probe.isViewable(id));
        QCOMPARE(watchdog.rescues(), 2);
        keeper.release();
        watchdog.clear();
    }

    // With nothing to guard the watchdog's thread never wakes; guarding, it
    // wakes only to look at the heartbeat when a deadline could have passed.
    void watchdogSleepsWhileNothingIsWatched()
    {
        OverlayWatchdog watchdog(watchdogTimeoutMs);
        QVERIFY(watchdog.isAvailable());
        QTest::qWait(3 * watchdogTimeoutMs);
        QCOMPARE(watchdog.wakeups(), 0);

        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(200, 200, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        watchdog.watch({&window});
        QTRY_VERIFY_WITH_TIMEOUT(watchdog.wakeups() > 0, settleMs);
        QCOMPARE(watchdog.rescues(), 0); // the main loop kept beating

        watchdog.clear();
        QTest::qWait(watchdogTimeoutMs); // a wake-up already under way is counted by now
        const int afterClear = watchdog.wakeups();
        QTest::qWait(3 * watchdogTimeoutMs);
        QCOMPARE(watchdog.wakeups(), afterClear);
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

        OverlayWatchdog watchdog(watchdogTimeoutMs);
        OverlayKeeper keeper;
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

        lumora->kill(); // SIGKILL: nothing of the program runs any more
        QTRY_VERIFY_WITH_TIMEOUT(overlayWindowsAnywhere().isEmpty(), settleMs);
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
};

QTEST_MAIN(TestE2eWatchdog)
#include "tst_e2e_watchdog.moc"
