// SPDX-License-Identifier: MIT
// A focus session holds on a real desktop: whatever the window manager, the
// user's tools, other programs or the monitors do, every monitor stays
// covered by exactly one overlay window on top of everything else until the
// session ends the way it allows; the overlay's own buttons take clicks in
// click-through modes; the program cannot be quit past a strict session's
// challenge; and the end of a session is recorded once, whatever happens
// while the overlay fades.
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace {

constexpr int settleMs = 5000;
// An overlay taken away is back within this time.
constexpr int restoreMs = 500;
// A monitor change is covered within this time.
constexpr int monitorsMs = 1000;
// Longer than the window manager and the program need to act on anything.
constexpr int quietPeriodMs = 800;

const QString coverStrict = QStringLiteral("Cover Strict");
const QString hideStrict = QStringLiteral("Hide Strict");
const QString hidePlain = QStringLiteral("Hide Plain");
const QString coverPlain = QStringLiteral("Cover Plain");
const QString fourSeconds = QStringLiteral("Four Seconds");
const QString sentence = QStringLiteral("I stay with my work");

const QRect leftMonitor(0, 0, 1280, 800);
const QRect rightMonitor(1280, 0, 1024, 768);

enum class Attack { closeRequest, altF4, minimise, unmap, showDesktop };

bool runXrandr(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("xrandr"), arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Replaces the right monitor (this X server refuses to change a monitor in
// place, so it is removed and added again).
bool setRightMonitor(const QRect &r)
{
    runXrandr({QStringLiteral("--delmonitor"), QStringLiteral("RIGHT")});
    // Width and height in pixels / millimetres, at about 96 dpi.
    const QString geometry = QStringLiteral("%1/%2x%3/%4+%5+%6")
                                 .arg(r.width())
                                 .arg(std::max(1, r.width() * 254 / 960))
                                 .arg(r.height())
                                 .arg(r.height() * 254 / 960)
                                 .arg(r.x())
                                 .arg(r.y());
    return runXrandr(
        {QStringLiteral("--setmonitor"), QStringLiteral("RIGHT"), geometry, QStringLiteral("none")});
}

} // namespace

Q_DECLARE_METATYPE(Attack)

class TestE2eOverlayHold : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<ClickTarget> m_target;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;

    // The allowed application's window, which stands above the overlay in
    // hideApps sessions.
    QList<quint64> m_allowedAbove;

    QList<quint64> overlays() const { return LumoraProcess::shownOverlays(m_probe); }

    // Every monitor covered by exactly one overlay, on top of everything but
    // the allowed application's window (and a panel the window manager keeps
    // above that).
    bool holds(const QList<QRect> &monitors) const
    {
        const auto shown = overlays();
        if (shown.size() != monitors.size())
            return false;
        QList<quint64> panels;
        for (const auto window : m_allowedAbove)
            for (const auto above : m_probe.viewableAbove(window))
                if (m_probe.isPanel(above))
                    panels << above;
        QList<QRect> covered;
        for (const auto window : shown) {
            for (const auto above : m_probe.viewableAbove(window))
                if (!shown.contains(above) && !m_allowedAbove.contains(above) && !panels.contains(above))
                    return false;
            covered.append(m_probe.geometry(window));
        }
        std::sort(covered.begin(), covered.end(),
                  [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
        return covered == monitors;
    }
    bool holds() const { return holds({leftMonitor, rightMonitor}); }

    QString start(const QString &screen)
    {
        // The session before is over, its record written and the tray idle.
        if (!waitFor([&] { return m_lumora->status() == QLatin1String("idle"); }, settleMs))
            return QStringLiteral("a session is still running: ") + m_lumora->status();
        m_allowedAbove.clear();
        if (screen == hidePlain || screen == hideStrict)
            m_allowedAbove.append(m_probe.topLevel(m_target->winId()));
        if (const QString error = m_lumora->startScreen(screen); !error.isEmpty())
            return error;
        if (!waitFor([&] { return holds(); }, settleMs))
            return QStringLiteral("the overlay did not cover both monitors");
        return {};
    }
    bool running(const QString &screen) const
    {
        return m_lumora->status().startsWith(screen + QStringLiteral(" - "));
    }
    void startLumora()
    {
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QVERIFY(m_lumora->start());
        QVERIFY2(m_lumora->waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");
    }
    // Ends a strict session through its challenge.
    QString passChallenge(quint64 overlay)
    {
        if (!m_probe.focusWindow() || m_probe.focusWindow() != overlay)
            xdotool({QStringLiteral("windowfocus"), QString::number(overlay)});
        if (!xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), sentence}) ||
            !xdotool({QStringLiteral("key"), QStringLiteral("Return")}))
            return QStringLiteral("xdotool failed");
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));

        // On the left monitor beside the overlay's exit button, an allowed
        // application: hideApps leaves it on screen, above the overlay.
        m_target = std::make_unique<ClickTarget>();
        m_target->setWindowTitle(QStringLiteral("click target"));
        m_target->setGeometry(160, 540, 460, 240);
        m_target->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(m_target->winId()), settleMs);
        const QString targetClass = m_probe.windowClass(m_target->winId());

        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            auto strict = [&](const QString &name, LockMode mode, qint64 order) {
                auto screen = std::make_unique<FocusScreen>(name, 120.0, QStringList{targetClass},
                                                            QStringList{}, mode, false, order);
                screen->setStrictModeEnabled(true);
                screen->setStrictModeType(StrictModeType::sentence);
                screen->setStrictModeSentence(sentence);
                context->insert(std::move(screen));
            };
            strict(coverStrict, LockMode::overlay, 0);
            strict(hideStrict, LockMode::hideApps, 1);
            context->insert(std::make_unique<FocusScreen>(hidePlain, 120.0, QStringList{targetClass},
                                                          QStringList{}, LockMode::hideApps, false, 2));
            context->insert(std::make_unique<FocusScreen>(coverPlain, 120.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 3));
            context->insert(std::make_unique<FocusScreen>(fourSeconds, 4.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 4));
            context->insert(std::make_unique<AppSettings>());
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        startLumora();
    }

    void cleanup()
    {
        if (!m_lumora->isRunning()) {
            startLumora();
            return;
        }
        // A check that failed mid-session leaves no session behind.
        if (!overlays().isEmpty() && m_lumora->status() != QStringLiteral("idle")) {
            m_lumora->stop(); // SIGTERM ends even a strict session
            startLumora();
        }
    }

    void cleanupTestCase()
    {
        m_lumora.reset();
        setRightMonitor(rightMonitor);
    }

    void overlayComesBackAtOnce_data()
    {
        QTest::addColumn<QString>("screen");
        const QList<QPair<const char *, QString>> modes{{"strict overlay", coverStrict},
                                                        {"hideApps", hidePlain}};
        for (const auto &[name, screen] : modes) {
            QTest::addRow("%s", name) << screen;
        }
    }
    void overlayComesBackAtOnce()
    {
        QFETCH(QString, screen);
        QString error = start(screen);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        const QList<QPair<const char *, Attack>> attacks{{"close request", Attack::closeRequest},
                                                         {"Alt+F4", Attack::altF4},
                                                         {"minimise", Attack::minimise},
                                                         {"unmap", Attack::unmap},
                                                         {"show desktop", Attack::showDesktop}};
        for (const auto &[name, attack] : attacks) {
            for (const auto window : overlays()) {
                switch (attack) {
                case Attack::closeRequest:
                    m_probe.requestClose(window);
                    break;
                case Attack::altF4:
                    xdotool({QStringLiteral("windowfocus"), QString::number(window)});
                    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")}));
                    break;
                case Attack::minimise:
                    QVERIFY(xdotool({QStringLiteral("windowminimize"), QString::number(window)}));
                    break;
                case Attack::unmap:
                    QVERIFY(xdotool({QStringLiteral("windowunmap"), QString::number(window)}));
                    break;
                case Attack::showDesktop:
                    m_probe.showDesktop(true);
                    break;
                }
                QVERIFY2(
                    waitFor([&] { return holds(); }, restoreMs),
                    qPrintable(QStringLiteral("not back within %1 ms after %2").arg(restoreMs).arg(name)));
                if (attack == Attack::showDesktop)
                    m_probe.showDesktop(false);
            }
        }
        // The session went on all along (the tray's text follows within a
        // second or so).
        QTRY_VERIFY_WITH_TIMEOUT(running(screen), settleMs);
        QVERIFY(!m_store->lastSessionEnded(screen));
        QVERIFY(holds());

        if (screen == coverStrict) {
            m_lumora->stop(); // a signal still ends the strict session
            QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(screen), settleMs);
            QVERIFY(!m_store->lastSession()->completed);
        } else {
            error = LumoraProcess::exitSessionEarly(m_probe);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(screen), settleMs);
        }
    }

    void fullScreenAppStaysBelow()
    {
        const QString error = start(coverPlain);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        XClient xterm(QStringLiteral("xterm"), {QStringLiteral("-fullscreen")}, QStringLiteral("XTerm"));
        QVERIFY(xterm.start(m_probe));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isViewable(xterm.window()), settleMs);
        QVERIFY2(waitFor([&] { return holds(); }, restoreMs),
                 "the full-screen terminal stayed above the overlay");
        QTest::qWait(quietPeriodMs);
        QVERIFY(holds());
        xterm.stop();
        QVERIFY(LumoraProcess::exitSessionEarly(m_probe).isEmpty());
    }

    void lumoraWindowsStayBelow()
    {
        const QString error = start(hidePlain);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // The global shortcut (default Ctrl+Alt+Super+F) and a second start
        // asking for the popover.
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+super+f")}));
        m_lumora->run({QStringLiteral("--popover")});
        // The main window brought forward, as Alt+Tab would.
        m_lumora->run({QStringLiteral("--open")});
        QTest::qWait(quietPeriodMs);
        QVERIFY(holds());
        QVERIFY(running(hidePlain));
        QVERIFY(LumoraProcess::exitSessionEarly(m_probe).isEmpty());
    }

    void buttonsTakeClicksInHideApps()
    {
        const int pressesBefore = m_target->presses;
        const QString error = start(hidePlain);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        quint64 left = 0;
        for (const auto window : overlays())
            if (m_probe.geometry(window) == leftMonitor)
                left = window;
        QVERIFY(left);
        // "+5 min" and "End Session" above "Emergency Exit", the lowest.
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.inputShape(left).size(), 3, settleMs);
        const auto shape = m_probe.inputShape(left);
        const QRect button = *std::max_element(shape.cbegin(), shape.cend(),
                                               [](const QRect &a, const QRect &b) { return a.y() < b.y(); });
        QVERIFY2(button.width() < 400 && button.bottom() > 600, "the input shape is not the exit button");

        // Beside the button: the window beneath gets the click (brought to
        // the front first; earlier tests opened Lumora's main window).
        QVERIFY(m_probe.activateAndWait(m_target->winId(), settleMs));
        QVERIFY(waitFor([&] { return holds(); }, restoreMs));
        const QPoint beside(button.left() - 60, button.center().y());
        QVERIFY(m_target->geometry().contains(beside));
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(beside.x()),
                         QString::number(beside.y()), QStringLiteral("click"), QStringLiteral("1")}));
        QTRY_COMPARE_WITH_TIMEOUT(m_target->presses, pressesBefore + 1, settleMs);

        // On the button: the confirmation.
        QVERIFY(
            xdotool({QStringLiteral("mousemove"), QString::number(button.center().x()),
                     QString::number(button.center().y()), QStringLiteral("click"), QStringLiteral("1")}));
        quint64 box = 0;
        QTRY_VERIFY_WITH_TIMEOUT((box =
                                      [&] {
                                          for (const auto w : m_probe.findWindowsByTitle(
                                                   QLatin1String(LumoraProcess::kConfirmationTitle)))
                                              if (m_probe.isViewable(w))
                                                  return w;
                                          return quint64(0);
                                      }()) != 0,
                                 settleMs);
        QCOMPARE(m_target->presses, pressesBefore + 1);
        // Above the overlay, and answered from the keyboard.
        QVERIFY(waitFor(
            [&] {
                const auto above = m_probe.viewableAbove(box);
                return std::none_of(above.cbegin(), above.cend(),
                                    [&](quint64 w) { return overlays().contains(w); });
            },
            restoreMs));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.focusWindow(), box, settleMs);
        QVERIFY(LumoraProcess::answerExitConfirmation(m_probe, true).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(hidePlain), settleMs);
    }

    void strictSessionGuardsQuit()
    {
        QString error = start(hideStrict);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Lumora's main window brought forward behind the overlay, as Alt+Tab
        // does, and Ctrl+Q pressed there.
        m_lumora->run({QStringLiteral("--open")});
        quint64 main = 0;
        QTRY_VERIFY_WITH_TIMEOUT((main =
                                      [&] {
                                          for (const auto w :
                                               m_probe.findWindowsByTitle(QStringLiteral("Lumora")))
                                              if (m_probe.isShown(w))
                                                  return w;
                                          return quint64(0);
                                      }()) != 0,
                                 settleMs);
        QVERIFY(m_probe.activateAndWait(main, settleMs));
        QVERIFY2(waitFor([&] { return holds(); }, restoreMs), "the main window came above the overlay");
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+q")}));

        // Not quit: the challenge is up on the primary monitor's overlay.
        quint64 left = 0;
        for (const auto window : overlays())
            if (m_probe.geometry(window) == leftMonitor)
                left = window;
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.inputShape(left).size(), 2, settleMs); // button and sheet
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.focusWindow(), left, settleMs);
        QTest::qWait(quietPeriodMs);
        QVERIFY(m_lumora->isRunning());
        QVERIFY(running(hideStrict));

        // Passing it ends the session early, recorded, and then quits.
        error = passChallenge(left);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(!m_lumora->isRunning(), settleMs);
        QVERIFY(m_store->lastSessionEnded(hideStrict));
        QVERIFY(!m_store->lastSession()->completed);
        QVERIFY(overlays().isEmpty());
    }

    void sessionEndsUnderTheAlert()
    {
        const QString error = start(fourSeconds);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString opened = LumoraProcess::openExitConfirmation(m_probe);
        QVERIFY2(opened.isEmpty(), qPrintable(opened));
        // Left unanswered: the countdown reaches zero underneath.
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(fourSeconds), 4000 + settleMs);
        QVERIFY(m_store->lastSession()->completed);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kConfirmationTitle)).isEmpty() ||
                std::none_of(
                    m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kConfirmationTitle)).cbegin(),
                    m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kConfirmationTitle)).cend(),
                    [&](quint64 w) { return m_probe.isViewable(w); }),
            settleMs);
        QVERIFY(overlays().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
        const auto rows = m_store->sessions();
        QCOMPARE(std::count_if(rows.cbegin(), rows.cend(),
                               [](const ScratchStore::SessionRow &r) { return r.screenName == fourSeconds; }),
                 1);
    }

    void closingDuringTheFadeStillRecords()
    {
        const auto before = m_store->sessions().size();
        const QString error = start(fourSeconds);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Close requests (what Alt+F4 sends) to every overlay window until
        // none is left: refused while the session runs, some of them land in
        // the fade-out.
        QVERIFY(waitFor(
            [&] {
                const auto shown = overlays();
                for (const auto window : shown)
                    m_probe.requestClose(window);
                return shown.isEmpty();
            },
            4000 + settleMs));
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(fourSeconds), settleMs);
        QVERIFY(m_store->lastSession()->completed);
        QCOMPARE(m_store->sessions().size(), before + 1);
        // No overlay window is left at all, mapped or not.
        QTRY_VERIFY_WITH_TIMEOUT(
            m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kOverlayTitle)).isEmpty(), settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
        // And the next session starts.
        QVERIFY(start(coverPlain).isEmpty());
        QVERIFY(LumoraProcess::exitSessionEarly(m_probe).isEmpty());
    }

    void monitorsComeAndGo()
    {
        const QString error = start(coverStrict);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        quint64 left = 0;
        for (const auto window : overlays())
            if (m_probe.geometry(window) == leftMonitor)
                left = window;

        QVERIFY(runXrandr({QStringLiteral("--delmonitor"), QStringLiteral("RIGHT")}));
        QVERIFY2(waitFor([&] { return holds({leftMonitor}); }, monitorsMs),
                 "a removed monitor kept its overlay");

        const QRect smaller(1280, 0, 800, 600);
        QVERIFY(setRightMonitor(smaller));
        QVERIFY2(waitFor(
                     [&] {
                         return holds({leftMonitor, smaller});
                     },
                     monitorsMs),
                 "an added monitor stayed uncovered");
        QVERIFY(setRightMonitor(rightMonitor));
        QVERIFY2(waitFor([&] { return holds(); }, monitorsMs), "a replaced monitor stayed uncovered");

        // The primary monitor's overlay is the same window all along, so its
        // countdown and challenge state are intact; the session goes on.
        QVERIFY(overlays().contains(left));
        QTRY_VERIFY_WITH_TIMEOUT(running(coverStrict), settleMs);
        m_lumora->stop();
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(coverStrict), settleMs);
    }
};

QTEST_MAIN(TestE2eOverlayHold)
#include "tst_e2e_overlayhold.moc"
