// SPDX-License-Identifier: MIT
// The app lock on a real desktop: real X clients under openbox are hidden
// and shown again by the lock manager over the X11 workspace.
#include "AppLockManager.h"
#include "DesktopProbe.h"
#include "LockJournal.h"
#include "X11Accessibility.h"
#include "X11Workspace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <memory>

using Mode = AppLockManager::LockMode;

namespace {

// Ceilings, not waits: every check returns as soon as the window manager has
// done its part. They are generous because a machine running builds beside
// the suite has been seen to need just over 5 s for openbox to activate a
// window. The preventLaunch check keeps its one second.
constexpr int settleMs = 20000;
constexpr int launchHiddenWithinMs = 1000;
// Longer than the window manager needs to act on anything sent to it.
constexpr int quietPeriodMs = 800;

const QString xtermClass = QStringLiteral("XTerm");

std::unique_ptr<XClient> xclock()
{
    return std::make_unique<XClient>(QStringLiteral("xclock"), QStringList{"-geometry", "120x120+40+40"},
                                     QStringLiteral("XClock"));
}
std::unique_ptr<XClient> xeyes()
{
    return std::make_unique<XClient>(QStringLiteral("xeyes"), QStringList{"-geometry", "120x120+200+40"},
                                     QStringLiteral("XEyes"));
}
std::unique_ptr<XClient> xterm()
{
    return std::make_unique<XClient>(QStringLiteral("xterm"), QStringList{"-geometry", "40x8+400+40"},
                                     xtermClass);
}
// rxvt-unicode: desktop entry "rxvt-unicode", WM_CLASS "urxvt" / "URxvt".
std::unique_ptr<XClient> urxvt(const QString &geometry = QStringLiteral("40x8+400+300"))
{
    return std::make_unique<XClient>(QStringLiteral("urxvt"), QStringList{"-geometry", geometry},
                                     QStringLiteral("URxvt"));
}

// A helper program: named by the environment under CTest, else next to this one.
QString helper(const char *variable, const char *name)
{
    const auto path = qEnvironmentVariable(variable);
    return path.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name)
                          : path;
}

} // namespace

class TestE2eAppLock : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<QWidget> m_ownWindow;
    QList<quint64> m_baseline; // client windows not started by a test (ours, the tray)
    std::unique_ptr<XClient> m_clock, m_eyes, m_term;
    std::unique_ptr<X11Workspace> m_workspace;
    std::unique_ptr<X11Accessibility> m_accessibility;
    std::unique_ptr<AppLockManager> m_manager;

    bool iconic(const XClient &client) const
    {
        return m_probe.state(client.window()) == DesktopProbe::State::iconic;
    }
    bool shown(const XClient &client) const { return m_probe.isShown(client.window()); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // This program's own window, which no lock may touch.
        m_ownWindow = std::make_unique<QWidget>();
        m_ownWindow->setWindowTitle(QStringLiteral("own window"));
        m_ownWindow->setGeometry(700, 300, 200, 100);
        m_ownWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ownWindow.get()));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.clientWindows().contains(m_ownWindow->winId()), settleMs);
        m_baseline = m_probe.clientWindows();
    }

    void init()
    {
        m_clock = xclock();
        m_eyes = xeyes();
        m_term = xterm();
        QVERIFY(m_clock->start(m_probe));
        QVERIFY(m_eyes->start(m_probe));
        QVERIFY(m_term->start(m_probe));
        QVERIFY(m_probe.activateAndWait(m_term->window(), settleMs));

        m_workspace = std::make_unique<X11Workspace>();
        QVERIFY2(m_workspace->isAvailable(), qPrintable(m_workspace->unavailableReason()));
        m_accessibility = std::make_unique<X11Accessibility>(m_workspace.get());
        QVERIFY(m_accessibility->isProcessTrusted());
        m_manager = std::make_unique<AppLockManager>(m_workspace.get(), m_accessibility.get());
    }

    void cleanup()
    {
        if (m_manager && m_manager->isActive())
            m_manager->stopLock();
        m_manager.reset();
        m_accessibility.reset();
        m_workspace.reset();
        m_clock.reset();
        m_eyes.reset();
        m_term.reset();
        const auto onlyBaseline = [this] {
            const auto windows = m_probe.clientWindows();
            return std::all_of(windows.cbegin(), windows.cend(),
                               [this](quint64 w) { return m_baseline.contains(w); });
        };
        QTRY_VERIFY_WITH_TIMEOUT(onlyBaseline(), settleMs);
    }

    void workspaceListsTheClients()
    {
        const auto apps = m_workspace->runningApplications();
        QStringList ids;
        for (const auto &app : apps)
            ids.append(app.appId().value_or(QStringLiteral("<none>")));
        for (const auto &expected : {"XClock", "XEyes", "XTerm"})
            QVERIFY2(ids.contains(QLatin1String(expected)), qPrintable(ids.join(' ')));
        for (const auto &app : apps) {
            // xeyes sets no _NET_WM_PID; the server still knows its process.
            QVERIFY2(app.processIdentifier().has_value(), qPrintable(app.identity()));
            if (app.appId() == QLatin1String("XEyes"))
                QCOMPARE(*app.processIdentifier(), m_eyes->pid());
        }
        QVERIFY(apps.contains(m_workspace->currentApplication()));
        QCOMPARE(*m_workspace->currentApplication().processIdentifier(), QCoreApplication::applicationPid());
    }

    void hideAppsHidesAllButTheAllowedAndRestoresWithoutFocusChange()
    {
        const auto focused = m_probe.activeWindow();
        const auto stacking = m_probe.stackingOrder();
        m_manager->startLock(Mode::hideApps, {xtermClass});
        QCOMPARE(m_manager->hiddenApps().size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock) && iconic(*m_eyes), settleMs);
        QTest::qWait(quietPeriodMs);
        QVERIFY(shown(*m_term));
        QVERIFY(m_probe.isShown(m_ownWindow->winId()));
        QVERIFY(iconic(*m_clock) && iconic(*m_eyes));

        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock) && shown(*m_eyes), settleMs);
        QTest::qWait(quietPeriodMs);
        QVERIFY(shown(*m_clock) && shown(*m_eyes) && shown(*m_term));
        QCOMPARE(m_probe.activeWindow(), focused);
        QCOMPARE(m_probe.stackingOrder(), stacking); // nothing raised
    }

    void appMinimizedBeforeTheLockStaysMinimized()
    {
        m_probe.iconify(m_eyes->window());
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_eyes), settleMs);

        m_manager->startLock(Mode::hideApps, {xtermClass});
        QCOMPARE(m_manager->hiddenApps().size(), 1);
        QCOMPARE(m_manager->hiddenApps().first().appId(), QStringLiteral("XClock"));
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock), settleMs);

        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock), settleMs);
        QTest::qWait(quietPeriodMs);
        QVERIFY(iconic(*m_eyes));
    }

    void preventLaunchHidesANewAppWithinOneSecond()
    {
        m_manager->startLock(Mode::preventLaunch, {xtermClass});
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock) && iconic(*m_eyes), settleMs);

        // A second clock, started during the lock. It may never show for
        // long, so watch for the window manager to list it.
        const auto before = m_probe.clientWindows();
        QElapsedTimer sinceStart;
        sinceStart.start();
        QProcess process;
        process.start(QStringLiteral("xclock"), {"-geometry", "100x100+40+300"});
        QVERIFY(process.waitForStarted());
        quint64 window = 0;
        QVERIFY(waitFor(
            [&] {
                for (const auto w : m_probe.clientWindows())
                    if (!before.contains(w))
                        window = w;
                return window != 0;
            },
            settleMs));
        QElapsedTimer sinceManaged;
        sinceManaged.start();
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.state(window) == DesktopProbe::State::iconic, launchHiddenWithinMs);
        qInfo("new xclock iconic %lld ms after the window manager listed it, %lld ms after it was started",
              static_cast<long long>(sinceManaged.elapsed()), static_cast<long long>(sinceStart.elapsed()));
        QVERIFY(shown(*m_term));

        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(window) && shown(*m_clock) && shown(*m_eyes), settleMs);
        process.terminate();
        process.waitForFinished();
    }

    void overlayChangesNothing()
    {
        const auto focused = m_probe.activeWindow();
        m_manager->startLock(Mode::overlay, {});
        QTest::qWait(quietPeriodMs);
        QVERIFY(m_manager->hiddenApps().isEmpty());
        QVERIFY(shown(*m_clock) && shown(*m_eyes) && shown(*m_term));
        m_manager->stopLock();
        QTest::qWait(quietPeriodMs);
        QVERIFY(shown(*m_clock) && shown(*m_eyes) && shown(*m_term));
        QCOMPARE(m_probe.activeWindow(), focused);
    }

    void appQuittingDuringTheLockLeavesTheRestoreIntact()
    {
        m_manager->startLock(Mode::hideApps, {xtermClass});
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock) && iconic(*m_eyes), settleMs);
        m_eyes->stop();
        QTRY_COMPARE_WITH_TIMEOUT(m_manager->hiddenApps().size(), 1, settleMs);
        QCOMPARE(m_manager->hiddenApps().first().appId(), QStringLiteral("XClock"));

        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock), settleMs);
        QVERIFY(shown(*m_term));
    }

    // The allow list as the app chooser fills it: desktop-entry ids, which
    // are not what the windows call themselves (debian-xterm runs as XTerm,
    // rxvt-unicode as URxvt).
    void appsChosenByDesktopEntryIdStayVisible_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("hideApps") << Mode::hideApps;
        QTest::newRow("preventLaunch") << Mode::preventLaunch;
    }
    void appsChosenByDesktopEntryIdStayVisible()
    {
        QFETCH(Mode, mode);
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("urxvt")).isEmpty(),
                 "urxvt is missing (scripts/dev.sh test installs the test packages)");
        for (const char *id : {"debian-xterm", "rxvt-unicode"})
            QVERIFY2(
                QFile::exists(QStringLiteral("/usr/share/applications/%1.desktop").arg(QLatin1String(id))),
                id);
        auto terminal = urxvt();
        QVERIFY(terminal->start(m_probe));
        QVERIFY(m_probe.activateAndWait(m_term->window(), settleMs));

        m_manager->startLock(mode, {QStringLiteral("debian-xterm"), QStringLiteral("rxvt-unicode.desktop")});
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock) && iconic(*m_eyes), settleMs);
        QTest::qWait(quietPeriodMs);
        QVERIFY2(shown(*m_term), "xterm, allowed as debian-xterm, was hidden");
        QVERIFY2(shown(*terminal), "urxvt, allowed as rxvt-unicode, was hidden");
        QCOMPARE(m_manager->hiddenApps().size(), 2);

        // Relaunched during the lock: new processes of the allowed apps stay,
        // a new app that is not allowed goes (under preventLaunch).
        auto secondTerm = std::make_unique<XClient>(QStringLiteral("xterm"),
                                                    QStringList{"-geometry", "40x8+700+40"}, xtermClass);
        auto secondTerminal = urxvt(QStringLiteral("40x8+700+300"));
        QVERIFY(secondTerm->start(m_probe));
        QVERIFY(secondTerminal->start(m_probe));
        if (mode == Mode::preventLaunch) {
            const auto before = m_probe.clientWindows();
            QProcess process;
            process.start(QStringLiteral("xclock"), {"-geometry", "100x100+40+500"});
            QVERIFY(process.waitForStarted());
            quint64 window = 0;
            QVERIFY(waitFor(
                [&] {
                    for (const auto w : m_probe.clientWindows())
                        if (!before.contains(w) && m_probe.windowClass(w) == QLatin1String("XClock"))
                            window = w;
                    return window != 0;
                },
                settleMs));
            QTRY_VERIFY_WITH_TIMEOUT(m_probe.state(window) == DesktopProbe::State::iconic, settleMs);
            process.terminate();
            process.waitForFinished();
        }
        QTest::qWait(quietPeriodMs);
        QVERIFY2(shown(*secondTerm), "a relaunched xterm was hidden");
        QVERIFY2(shown(*secondTerminal), "a relaunched urxvt was hidden");
        QVERIFY(shown(*m_term) && shown(*terminal));
        QVERIFY(iconic(*m_clock) && iconic(*m_eyes));

        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock) && shown(*m_eyes), settleMs);
        secondTerm->stop();
        secondTerminal->stop();
        terminal->stop();
    }

    // Unwatched, the workspace follows nothing (the server sends it no
    // events), yet answers from the desktop as it is now; a lock watches it,
    // and at the end it rests again.
    void unwatchedWorkspaceRestsYetAnswers()
    {
        QVERIFY(!m_workspace->isWatching());
        QSignalSpy launched(m_workspace.get(), &Workspace::applicationLaunched);
        auto late = urxvt();
        QVERIFY(late->start(m_probe));
        QTest::qWait(quietPeriodMs);
        QCOMPARE(launched.count(), 0);
        const auto apps = m_workspace->runningApplications();
        QVERIFY(std::any_of(apps.cbegin(), apps.cend(), [](const RunningApplication &app) {
            return app.appId() == QLatin1String("URxvt");
        }));
        QCOMPARE(launched.count(), 0); // read afresh, not announced as launched

        m_manager->startLock(Mode::hideApps, {xtermClass});
        QVERIFY(m_workspace->isWatching());
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*late) && iconic(*m_clock), settleMs);
        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(shown(*late) && shown(*m_clock), settleMs);
        QVERIFY(!m_workspace->isWatching());
        late->stop();
    }

    void plainHideAndUnhideKeepTheAppAndTheFocus()
    {
        const auto focused = m_probe.activeWindow();
        RunningApplication clock;
        for (const auto &app : m_workspace->runningApplications())
            if (app.appId() == QLatin1String("XClock"))
                clock = app;
        QVERIFY(clock.isValid());

        QSignalSpy terminated(m_workspace.get(), &Workspace::applicationTerminated);
        QVERIFY(m_workspace->hide(clock));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.state(m_clock->window()), DesktopProbe::State::withdrawn, settleMs);
        QVERIFY(!m_probe.isViewable(m_clock->window()));
        QTest::qWait(quietPeriodMs);
        QVERIFY(m_workspace->runningApplications().contains(clock)); // withdrawn, not gone
        QVERIFY(m_workspace->isHidden(clock));
        QCOMPARE(terminated.count(), 0);

        QVERIFY(m_workspace->unhide(clock));
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock), settleMs);
        QVERIFY(!m_workspace->isHidden(clock));
        QTest::qWait(quietPeriodMs);
        QCOMPARE(m_probe.activeWindow(), focused);
    }

    void newWindowOfAHiddenAppIsHiddenToo()
    {
        // One process that opens a second top-level window on request.
        QProcess twoWindows;
        twoWindows.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        twoWindows.start(helper("LUMORA_TWO_WINDOWS", "lumora_e2e_twowindows"), {});
        QVERIFY(twoWindows.waitForStarted());
        quint64 first = 0;
        QVERIFY(waitFor([&] { return (first = m_probe.findWindow(QStringLiteral("LumoraTwoWindows"))) != 0; },
                        settleMs));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(first), settleMs);

        m_manager->startLock(Mode::hideApps, {xtermClass});
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.state(first) == DesktopProbe::State::iconic, settleMs);
        const auto listed = m_probe.clientWindows();
        twoWindows.write("open\n");
        quint64 second = 0;
        QVERIFY(waitFor(
            [&] {
                for (const auto w : m_probe.clientWindows())
                    if (!listed.contains(w))
                        second = w;
                return second != 0;
            },
            settleMs));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.state(second) == DesktopProbe::State::iconic, settleMs);
        QCOMPARE(m_manager->hiddenApps().size(), 3); // no launch: same application

        m_manager->stopLock();
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(first) && m_probe.isShown(second), settleMs);
        twoWindows.closeWriteChannel();
        QVERIFY(twoWindows.waitForFinished(settleMs));
    }

    void workspaceWithNothingToHide_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no display") << "no display"
                                    << "no X11 display";
        QTest::newRow("Wayland session") << "wayland"
                                         << "Wayland session";
        QTest::newRow("no window manager") << "bare server"
                                           << "no EWMH window manager";
        QTest::newRow("display lost") << "lost server"
                                      << "X11 connection lost";
    }
    void workspaceWithNothingToHide()
    {
        QFETCH(QString, situation);
        QFETCH(QString, reason);
        const auto display = qgetenv("DISPLAY");
        QProcess bareServer;
        const auto stopServer = qScopeGuard([&] {
            if (bareServer.state() != QProcess::NotRunning) {
                bareServer.terminate(); // a clean shutdown removes its socket and lock
                bareServer.waitForFinished();
            }
        });
        if (situation == QLatin1String("no display")) {
            qunsetenv("DISPLAY");
        } else if (situation == QLatin1String("wayland")) {
            qputenv("WAYLAND_DISPLAY", "wayland-0");
        } else {
            // A second X server with no window manager; it picks its own number.
            bareServer.start(QStringLiteral("Xvfb"),
                             {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
            QVERIFY(bareServer.waitForReadyRead(settleMs));
            qputenv("DISPLAY", ":" + bareServer.readLine().trimmed());
        }
        auto workspace = std::make_unique<X11Workspace>();
        qputenv("DISPLAY", display);
        qunsetenv("WAYLAND_DISPLAY");
        if (situation == QLatin1String("lost server")) {
            QVERIFY(!workspace->isAvailable());
            bareServer.terminate(); // a clean shutdown removes its socket and lock
            QVERIFY(bareServer.waitForFinished());
            QVERIFY(workspace->runningApplications().isEmpty()); // and the program lives on
        }
        X11Accessibility accessibility(workspace.get());

        QVERIFY(!workspace->isAvailable());
        QCOMPARE(workspace->unavailableReason(), reason);
        QVERIFY(!accessibility.isProcessTrusted());
        QVERIFY(workspace->runningApplications().isEmpty());
        const RunningApplication clock(QStringLiteral("pid:%1").arg(m_clock->pid()), QStringLiteral("XClock"),
                                       static_cast<qint32>(m_clock->pid()));
        QCOMPARE(accessibility.setHidden(clock, true), AccessibilityError::notTrusted);
        QVERIFY(!workspace->hide(clock));

        AppLockManager manager(workspace.get(), &accessibility);
        manager.startLock(Mode::preventLaunch, {});
        QVERIFY(manager.isActive());
        QTest::qWait(quietPeriodMs);
        QVERIFY(manager.hiddenApps().isEmpty());
        QVERIFY(shown(*m_clock) && shown(*m_eyes));
        manager.stopLock();
    }

    // A workspace no lock has used holds no connection to the display: made
    // and told it is not watched (as the program does at start) it connects
    // nothing; the first call that needs the desktop connects, on the display
    // of the session it was made in.
    void workspaceConnectsOnFirstUse()
    {
        const int before = DesktopProbe::openSockets();
        X11Workspace workspace;
        workspace.setWatching(false);
        QVERIFY(!workspace.isRestoring());
        QCOMPARE(DesktopProbe::openSockets(), before);
        QVERIFY2(workspace.isAvailable(), qPrintable(workspace.unavailableReason()));
        QCOMPARE(DesktopProbe::openSockets(), before + 1);
        QVERIFY(workspace.runningApplications().size() >= 3); // the clock, the eyes and the terminal
    }

    // A journal entry brings back only the very window it names by its
    // process and class: one that lacks either could name a window the
    // user minimised since, and is dropped.
    void journalEntryRestoresOnlyTheRecordedWindow_data()
    {
        QTest::addColumn<bool>("withPid");
        QTest::addColumn<bool>("otherPid");
        QTest::addColumn<bool>("withClass");
        QTest::addColumn<bool>("restored");
        QTest::newRow("process and class recorded") << true << false << true << true;
        QTest::newRow("without a pid") << false << false << true << false;
        QTest::newRow("without a class") << true << false << false << false;
        QTest::newRow("another process") << true << true << true << false;
    }
    void journalEntryRestoresOnlyTheRecordedWindow()
    {
        QFETCH(bool, withPid);
        QFETCH(bool, otherPid);
        QFETCH(bool, withClass);
        QFETCH(bool, restored);
        m_probe.iconify(m_term->window());
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_term), settleMs);

        QJsonObject entry{{QStringLiteral("window"), qint64(m_term->window())},
                          {QStringLiteral("how"), QStringLiteral("iconified")}};
        if (withPid)
            entry.insert(QStringLiteral("pid"), otherPid ? m_clock->pid() : m_term->pid());
        if (withClass)
            entry.insert(QStringLiteral("class"), xtermClass);
        const QJsonObject record{{QStringLiteral("display"), QString::fromLocal8Bit(qgetenv("DISPLAY"))},
                                 {QStringLiteral("windows"), QJsonArray{entry}}};
        QCOMPARE(m_workspace->restoreHiddenWindows(record), restored ? 1 : 0);
        if (restored) {
            QTRY_VERIFY_WITH_TIMEOUT(shown(*m_term), settleMs);
        } else {
            QTest::qWait(quietPeriodMs);
            QVERIFY(iconic(*m_term));
        }
    }

    void aKilledLockIsUndoneAtTheNextStart()
    {
        const QString holder = helper("LUMORA_LOCK_HOLDER", "lumora_e2e_lockholder");
        QVERIFY2(QFile::exists(holder), "LUMORA_LOCK_HOLDER names no program");
        QTemporaryDir dir;
        const auto journal = LockJournal::pathForStore(dir.filePath(QStringLiteral("Lumora.store")));
        const auto focused = m_probe.activeWindow();

        QProcess locking;
        locking.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The holder is another program: this one's window is allowed like the terminal.
        const auto ownClass = m_probe.windowClass(m_ownWindow->winId());
        locking.start(holder, {journal, QStringLiteral("hideApps"), xtermClass, ownClass});
        QVERIFY(locking.waitForReadyRead(settleMs));
        QCOMPARE(locking.readAll().trimmed(), QByteArray("locked 2"));
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock) && iconic(*m_eyes), settleMs);
        QVERIFY(QFile::exists(journal));

        locking.kill(); // SIGKILL: no stopLock, no clean-up of any kind
        QVERIFY(locking.waitForFinished());
        QCOMPARE(locking.exitStatus(), QProcess::CrashExit);
        QTest::qWait(quietPeriodMs);
        QVERIFY(iconic(*m_clock) && iconic(*m_eyes));
        QVERIFY(QFile::exists(journal));

        QProcess nextStart;
        nextStart.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        nextStart.start(holder, {QStringLiteral("--restore"), journal});
        QVERIFY(nextStart.waitForFinished(settleMs));
        QCOMPARE(nextStart.exitCode(), 0);
        const auto output = QString::fromUtf8(nextStart.readAllStandardOutput());
        QVERIFY2(output.contains(QLatin1String("restored 2")), qPrintable(output));
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock) && shown(*m_eyes), settleMs);
        QVERIFY(!QFile::exists(journal));
        QVERIFY(shown(*m_term));
        QCOMPARE(m_probe.activeWindow(), focused);
    }
};

QTEST_MAIN(TestE2eAppLock)
#include "tst_e2e_applock.moc"
