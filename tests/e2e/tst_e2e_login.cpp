// SPDX-License-Identifier: MIT
// Lumora started with the desktop session, on a desktop whose tray host is
// missing at first: the main window stays reachable until the tray host
// comes, and the autostart entry Lumora writes, run as the session runs it,
// starts the focus screen marked for auto-start.
#include "AppSettings.h"
#include "DesktopEntries.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <memory>

namespace {

constexpr int settleMs = 5000;
constexpr int readyMs = 15000;
// Longer than the 0.5 s auto-start delay and a window manager's reaction.
constexpr int quietPeriodMs = 1500;
// A launch this long after boot is not a login launch by the boot-time rule.
constexpr double bootedLongAgoSeconds = 90;

const QString autoStartScreen = QStringLiteral("Morning Pages");

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A tray host (trayer) has a window on the display.
bool trayHostRuns()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {"search", "--class", "trayer"});
    return search.waitForFinished(settleMs) && search.exitCode() == 0 &&
           !search.readAllStandardOutput().isEmpty();
}

double uptimeSeconds()
{
    return readFile(QStringLiteral("/proc/uptime")).section(QLatin1Char(' '), 0, 0).toDouble();
}

} // namespace

class TestE2eLogin : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    QProcess m_trayer;

    // The main window on screen (a managed window titled "Lumora"); 0 when none.
    quint64 shownMainWindow() const
    {
        for (const auto window : m_probe.clientWindows())
            if (m_probe.windowTitle(window) == QLatin1String("Lumora") && m_probe.isShown(window))
                return window;
        return 0;
    }
    quint64 mainWindowAnyState() const
    {
        for (const auto window : m_probe.clientWindows())
            if (m_probe.windowTitle(window) == QLatin1String("Lumora"))
                return window;
        return 0;
    }
    quint64 trayIcon() const { return m_probe.findTrayIcon(QLatin1String(LumoraProcess::kWindowClass)); }

    // The tray host of desktop-session.sh, started late.
    bool startTrayHost()
    {
        if (m_trayer.state() != QProcess::NotRunning)
            return true;
        m_trayer.start(QStringLiteral("trayer"), {"--edge", "top", "--align", "right", "--widthtype",
                                                  "request", "--height", "24", "--SetDockType", "true"});
        return m_trayer.waitForStarted() && waitFor(trayHostRuns, settleMs);
    }

    bool closeMainWindowWithCtrlW(quint64 window)
    {
        if (!m_probe.activateAndWait(window, settleMs))
            return false;
        return xdotool({QStringLiteral("key"), QStringLiteral("ctrl+w")});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(!qEnvironmentVariableIsEmpty("LUMORA_E2E_NO_TRAY"), "registered to run without a tray host");
    }

    void cleanupTestCase()
    {
        if (m_trayer.state() != QProcess::NotRunning) {
            m_trayer.terminate();
            if (!m_trayer.waitForFinished(settleMs))
                m_trayer.kill();
        }
    }

    // Without a tray host a login launch shows the main window, closing it
    // only minimises it, and the icon comes as soon as a tray host starts.
    void withoutATrayTheMainWindowStaysReachable()
    {
        QVERIFY2(!trayHostRuns(), "a tray host already runs");
        ScratchStore store;
        QVERIFY(store.isValid());
        LumoraProcess lumora(store);
        const QString errors = QDir(store.folder()).filePath(QStringLiteral("stderr.txt"));
        lumora.setStandardErrorFile(errors);
        QVERIFY(lumora.start({QStringLiteral("--login")}));

        QTRY_VERIFY2_WITH_TIMEOUT(shownMainWindow() != 0,
                                  "no main window after a login launch without a tray", readyMs);
        const QString notice = QStringLiteral("Lumora: No system tray is available");
        QTRY_VERIFY_WITH_TIMEOUT(readFile(errors).contains(notice), settleMs);
        QCOMPARE(readFile(errors).count(notice), 1);

        // Closing keeps it one step away: minimised, not hidden.
        const quint64 window = shownMainWindow();
        QVERIFY(closeMainWindowWithCtrlW(window));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.state(window), DesktopProbe::State::iconic, settleMs);
        QVERIFY(lumora.isRunning());

        QVERIFY(startTrayHost());
        QTRY_VERIFY2_WITH_TIMEOUT(trayIcon() != 0, "the icon did not come when the tray host started",
                                  readyMs);
        QCOMPARE(readFile(errors).count(notice), 1);

        // With a tray, closing hides the window; the tray brings it back.
        QVERIFY(lumora.run({QStringLiteral("--open")}).finished);
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(window), settleMs);
        QVERIFY(closeMainWindowWithCtrlW(window));
        QTRY_VERIFY_WITH_TIMEOUT(!m_probe.isViewable(window), settleMs);
        QVERIFY2(lumora.isRunning(), "Lumora ended when its main window was closed");
        QVERIFY(m_probe.state(window) != DesktopProbe::State::iconic);
        lumora.stop();
    }

    // The entry Lumora writes for "Launch at Login", run as the session runs
    // it long after boot, starts the screen marked for auto-start, quietly.
    void autostartEntryStartsTheAutoStartScreen()
    {
        if (uptimeSeconds() < bootedLongAgoSeconds)
            QSKIP("the machine booted too recently to tell a login launch from a manual one by boot time");
        QVERIFY(startTrayHost());

        ScratchStore store(QLatin1String(ScratchStore::kUserStorePath));
        QVERIFY(store.isValid());
        const QString fillError = store.fill([](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(QStringLiteral("Not This One"), 600.0,
                                                          QStringList{}, QStringList{}, LockMode::overlay,
                                                          false, 0));
            context->insert(std::make_unique<FocusScreen>(autoStartScreen, 600.0, QStringList{},
                                                          QStringList{}, LockMode::overlay, true, 1));
            context->insert(std::make_unique<AppSettings>())->setLaunchAtLogin(true);
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));

        // An entry of an older version, without the login mark.
        const QString entryPath =
            QDir(store.folder()).filePath(QStringLiteral("config/autostart/lumora.desktop"));
        QVERIFY(QDir().mkpath(QFileInfo(entryPath).path()));
        {
            QFile old(entryPath);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Lumora\nExec=\"%1\"\n")
                          .arg(LumoraProcess::program())
                          .toUtf8());
        }

        // A manual start, as the user who turned the setting on: it brings the
        // entry up to date and starts nothing.
        {
            LumoraProcess manual(store);
            manual.useUserStore();
            QVERIFY(manual.start());
            QVERIFY2(manual.waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");
            QTRY_VERIFY_WITH_TIMEOUT(readFile(entryPath).contains(QLatin1String("--login")), settleMs);
            QTest::qWait(quietPeriodMs);
            QVERIFY(LumoraProcess::shownOverlays(m_probe).isEmpty());
            manual.stop();
        }

        // The session runs the Exec line as it stands in the entry.
        const auto entry = DesktopEntries::find(entryPath);
        QVERIFY2(entry, qPrintable(readFile(entryPath)));
        const QStringList command = DesktopEntries::execArguments(*entry);
        QVERIFY2(command.size() >= 2, qPrintable(entry->exec));
        QCOMPARE(QFileInfo(command.first()).canonicalFilePath(),
                 QFileInfo(LumoraProcess::program()).canonicalFilePath());

        LumoraProcess status(store);
        status.useUserStore();
        QProcess login;
        login.setProcessEnvironment(status.environment());
        login.setProcessChannelMode(QProcess::ForwardedChannels);
        login.start(command.first(), command.mid(1));
        QVERIFY(login.waitForStarted());
        const auto stopLogin = qScopeGuard([&] {
            login.terminate();
            if (!login.waitForFinished(settleMs))
                login.kill();
        });

        QTRY_VERIFY2_WITH_TIMEOUT(!LumoraProcess::shownOverlays(m_probe).isEmpty(),
                                  "the auto-start screen did not start", readyMs);
        // The tray's countdown, refreshed every second, names the screen.
        QString shown;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (shown = status.status()).startsWith(autoStartScreen + QLatin1String(" - ")), qPrintable(shown),
            settleMs);
        QTest::qWait(quietPeriodMs);
        QVERIFY2(!mainWindowAnyState() || !m_probe.isViewable(mainWindowAnyState()),
                 "the main window opened on a login launch with a tray");
        QVERIFY(trayIcon() != 0);
    }
};

QTEST_MAIN(TestE2eLogin)
#include "tst_e2e_login.moc"
