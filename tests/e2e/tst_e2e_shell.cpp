// SPDX-License-Identifier: MIT
// The shell of the real program on a real desktop: its icon in the tray
// host, the popover opened by a click on it and by the stored global
// shortcut (also after a switch of keyboard layout and with Scroll Lock on),
// a session started from a popover row and one handed over by a second
// process.
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <memory>

namespace {

constexpr int settleMs = 5000;
constexpr int quietPeriodMs = 800;
constexpr QSize popoverSize(280, 360);
// The popover's list: its margin, then each row's own margin before the
// row's text; the "Start" button sits at the row's right end.
constexpr int listMargin = 8;
constexpr int rowMargin = 12;
constexpr int minimumRowHeight = 20;
// Inside a button, left of its right border.
constexpr int buttonInset = 20;

// The seeded focus screens, in their sort order.
const QStringList seededScreens{QStringLiteral("Read Bible - 10 min"), QStringLiteral("Deep Work - 50 min"),
                                QStringLiteral("Meditation - 5 min")};

enum class Opener { trayClick, globalShortcut };

bool differs(QRgb a, QRgb b)
{
    constexpr int tolerance = 12;
    return qAbs(qRed(a) - qRed(b)) > tolerance || qAbs(qGreen(a) - qGreen(b)) > tolerance ||
           qAbs(qBlue(a) - qBlue(b)) > tolerance;
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestE2eShell : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;

    quint64 trayIcon() const { return m_probe.findTrayIcon(QLatin1String(LumoraProcess::kWindowClass)); }

    // The popover on screen: a frameless popup titled "Lumora" (as the main
    // window and the tray icon are); 0 when none.
    quint64 popover() const
    {
        for (const auto window : m_probe.findWindowsByTitle(QStringLiteral("Lumora")))
            if (m_probe.isViewable(window) && m_probe.isOverrideRedirect(window) &&
                m_probe.geometry(window).size() == popoverSize)
                return window;
        return 0;
    }

    bool click(const QPoint &at) const
    {
        return xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

    bool open(Opener opener) const
    {
        if (opener == Opener::globalShortcut)
            return xdotool({QStringLiteral("key"), QStringLiteral("super+shift+y")});
        return click(m_probe.geometry(trayIcon()).center());
    }

    // The "Start" buttons of the popover's rows, top to bottom, in root
    // coordinates, found on screen: each row is a tile of its own colour on
    // the list's background with its button at the right end.
    QList<QPoint> startButtons(const QRect &geometry) const
    {
        QList<QPoint> out;
        const QImage image = m_probe.grab(geometry);
        const int background = listMargin / 2;        // in the list's margin
        const int inRow = listMargin + rowMargin / 2; // in a row's margin, left of its text
        int rowTop = -1;
        for (int y = 0; y <= image.height(); ++y) {
            const bool row = y < image.height() && differs(image.pixel(inRow, y), image.pixel(background, y));
            if (row && rowTop < 0)
                rowTop = y;
            if (row || rowTop < 0)
                continue;
            if (y - rowTop >= minimumRowHeight) {
                const int middle = (rowTop + y) / 2;
                const QRgb tile = image.pixel(inRow, middle);
                // The button's right border: the first change of colour from the row's right end.
                for (int x = image.width() - listMargin - rowMargin / 2; x > image.width() / 2; --x) {
                    if (differs(image.pixel(x, middle), tile)) {
                        out.append(geometry.topLeft() + QPoint(x - buttonInset, middle));
                        break;
                    }
                }
            }
            rowTop = -1;
        }
        return out;
    }

    // A changed keymap reaches Lumora after the tool that changed it is gone:
    // presses the shortcut until the popover shows (a stale grab never lets a
    // press through), waiting for the window each time.
    bool openByShortcut() const
    {
        QDeadlineTimer deadline(4 * settleMs);
        while (!deadline.hasExpired())
            if (open(Opener::globalShortcut) && waitFor([this] { return popover() != 0; }, settleMs / 2))
                return true;
        return false;
    }

    static bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    QString runningStatus(const QString &screen) const
    {
        const QString status = m_lumora->status();
        static const QRegularExpression countdown(QStringLiteral(" - \\d\\d:\\d\\d remaining$"));
        return status.startsWith(screen) && countdown.match(status).hasMatch() ? screen : status;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        // The shortcut is read at launch; the sample screens come with the seed.
        const QString fillError = m_store->fill([](ModelContext *context) {
            context->insert(std::make_unique<AppSettings>())
                ->setGlobalShortcut(QStringLiteral("cmd+shift+y"));
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        m_lumora = std::make_unique<LumoraProcess>(*m_store, true);
        QVERIFY(m_lumora->start());
        QVERIFY2(m_lumora->waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");
    }

    // Whatever a failed check left open is closed for the next one.
    void cleanup()
    {
        if (popover()) {
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
            QTRY_VERIFY_WITH_TIMEOUT(!popover(), settleMs);
            QTest::qWait(quietPeriodMs);
        }
        if (!LumoraProcess::shownOverlays(m_probe).isEmpty())
            QVERIFY2(LumoraProcess::exitSessionEarly(m_probe).isEmpty(), "the session could not be ended");
    }

    void iconSitsInTheTrayHost()
    {
        const auto icon = trayIcon();
        QVERIFY(icon);
        const QRect geometry = m_probe.geometry(icon);
        QVERIFY(!geometry.isEmpty());
        // trayer runs at the top right of the left monitor.
        QVERIFY2(QRect(0, 0, 1280, 40).contains(geometry), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                          .arg(geometry.x())
                                                                          .arg(geometry.y())
                                                                          .arg(geometry.width())
                                                                          .arg(geometry.height())));
        QCOMPARE(m_lumora->status(), QStringLiteral("idle"));
        QVERIFY(!popover());
    }

    void popoverListsTheScreens_data()
    {
        QTest::addColumn<Opener>("opener");
        QTest::newRow("click on the tray icon") << Opener::trayClick;
        QTest::newRow("global shortcut super+shift+y") << Opener::globalShortcut;
    }
    void popoverListsTheScreens()
    {
        QFETCH(Opener, opener);
        QVERIFY(open(opener));
        quint64 window = 0;
        QVERIFY(waitFor([&] { return (window = popover()) != 0; }, settleMs));
        const QRect geometry = m_probe.geometry(window);
        QCOMPARE(geometry.size(), popoverSize);
        const QRect icon = m_probe.geometry(trayIcon());
        QVERIFY(geometry.top() > icon.bottom()); // under the icon
        QVERIFY(QRect(0, 0, 1280, 800).contains(geometry));
        QTRY_COMPARE_WITH_TIMEOUT(startButtons(geometry).size(), seededScreens.size(), settleMs);

        if (opener == Opener::trayClick) {
            // A second click on the icon closes it and does not open it again.
            QVERIFY(click(icon.center()));
            QTRY_VERIFY_WITH_TIMEOUT(!popover(), settleMs);
            QTest::qWait(quietPeriodMs);
            QVERIFY(!popover());
        } else {
            QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
            QTRY_VERIFY_WITH_TIMEOUT(!popover(), settleMs);
            // A click on the icon right after a close is taken for the click
            // that closed it; the next test's click comes later.
            QTest::qWait(quietPeriodMs);
        }
    }

    // The German layout puts y where z was: the shortcut follows its key
    // there and back. Scroll Lock, here on Mod3 as many layouts have it,
    // does not get in its way either.
    void shortcutFollowsLayoutAndLocks()
    {
        const auto usLayout = qScopeGuard([] { run(QStringLiteral("setxkbmap"), {QStringLiteral("us")}); });
        for (const QString &layout : {QStringLiteral("de"), QStringLiteral("us")}) {
            QVERIFY(run(QStringLiteral("setxkbmap"), {layout}));
            QVERIFY2(openByShortcut(), qPrintable(layout));
            QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
            QTRY_VERIFY_WITH_TIMEOUT(!popover(), settleMs);
        }
        QVERIFY(
            run(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("add mod3 = Scroll_Lock")}));
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Scroll_Lock")}));
        const auto scrollLockOff = qScopeGuard([] {
            xdotool({QStringLiteral("key"), QStringLiteral("Scroll_Lock")});
        });
        QVERIFY(m_probe.isModifierOn(5)); // Mod3
        QVERIFY(openByShortcut());
    }

    void startFromAPopoverRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("first row") << 0;
        QTest::newRow("second row") << 1;
    }
    void startFromAPopoverRow()
    {
        QFETCH(int, row);
        QVERIFY(open(Opener::trayClick));
        quint64 window = 0;
        QVERIFY(waitFor([&] { return (window = popover()) != 0; }, settleMs));
        QList<QPoint> buttons;
        QVERIFY(waitFor([&] { return (buttons = startButtons(m_probe.geometry(window))).size() > row; },
                        settleMs));

        QVERIFY(click(buttons.at(row)));
        QTRY_VERIFY_WITH_TIMEOUT(!popover(), settleMs); // starting closes the popover
        QTRY_COMPARE_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).size(), 2, settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(runningStatus(seededScreens.at(row)), seededScreens.at(row), settleMs);

        const QString error = LumoraProcess::exitSessionEarly(m_probe);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
    }

    void startFromASecondProcess()
    {
        const QString screen = QStringLiteral("Meditation - 5 min");
        const QString startError = m_lumora->startScreen(screen);
        QVERIFY2(startError.isEmpty(), qPrintable(startError));
        QTRY_COMPARE_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).size(), 2, settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(runningStatus(screen), screen, settleMs);
        const QString status = m_lumora->status();
        QVERIFY2(status.contains(QLatin1String(" - 04:")) || status.contains(QLatin1String(" - 05:00")),
                 qPrintable(status));

        const QString error = LumoraProcess::exitSessionEarly(m_probe);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
    }

    void unknownScreenIsRefused()
    {
        const auto sessionsBefore = m_store->sessions().size();
        const auto started = m_lumora->run({QStringLiteral("--start"), QStringLiteral("No Such")});
        QVERIFY(started.finished);
        QVERIFY(started.exitCode != 0);
        QVERIFY2(started.err.contains(QLatin1String("No Such")), qPrintable(started.err));
        QTest::qWait(quietPeriodMs);
        QVERIFY(LumoraProcess::shownOverlays(m_probe).isEmpty());
        QCOMPARE(m_lumora->status(), QStringLiteral("idle"));
        QCOMPARE(m_store->sessions().size(), sessionsBefore);
        QVERIFY(m_lumora->isRunning());
    }
};

QTEST_MAIN(TestE2eShell)
#include "tst_e2e_shell.moc"
