// SPDX-License-Identifier: MIT
// The allowed applications stay usable during a session that hides the
// others: a real xterm allowed by a hideApps or preventLaunch screen stands
// above the overlay, takes the pointer and the keyboard and shows what is
// typed, while a not-allowed xclock is hidden and the overlay covers the rest
// of each monitor. In overlay mode nothing stands above the overlay.
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

constexpr int settleMs = 5000;

const QString hideWithTerminal = QStringLiteral("Hide With Terminal");
const QString preventWithTerminal = QStringLiteral("Prevent With Terminal");
const QString coverWithTerminal = QStringLiteral("Cover With Terminal");

// The two monitors of the test desktop, left to right.
const QList<QRect> monitors{QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};

// The terminal's colours: a background the overlay never shows.
const QColor terminalBackground(0, 255, 0);
const QColor terminalText(0, 0, 0);

int countPixels(const QImage &image, const QColor &color)
{
    int count = 0;
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == (wanted & 0xffffff))
                ++count;
    return count;
}

} // namespace

class TestE2eAllowedAbove : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;
    std::unique_ptr<XClient> m_terminal;
    std::unique_ptr<XClient> m_clock;
    QString m_typedFile;

    QList<quint64> overlays() const { return LumoraProcess::shownOverlays(m_probe); }

    // Both monitors covered by one overlay each, with nothing but the
    // windows in `allowed` (top-levels) above them, and the panel (trayer)
    // where the window manager keeps it above an allowed window.
    QString covered(const QList<quint64> &allowed) const
    {
        QList<quint64> panels;
        for (const auto window : allowed)
            for (const auto above : m_probe.viewableAbove(window))
                if (m_probe.isPanel(above))
                    panels << above;
        const auto shown = overlays();
        if (shown.size() != monitors.size())
            return QStringLiteral("%1 overlays on screen").arg(shown.size());
        QList<QRect> rects;
        for (const auto window : shown) {
            for (const auto above : m_probe.viewableAbove(window))
                if (!shown.contains(above) && !allowed.contains(above) && !panels.contains(above)) {
                    QStringList classes;
                    for (const auto client : m_probe.clientWindows())
                        if (m_probe.topLevel(client) == above)
                            classes << m_probe.windowClass(client);
                    const QRect r = m_probe.geometry(above);
                    return QStringLiteral(
                               "window %1 (%2, %3x%4+%5+%6, title %7, or %8) stands above the overlay")
                        .arg(above)
                        .arg(classes.join(QLatin1Char(',')))
                        .arg(r.width())
                        .arg(r.height())
                        .arg(r.x())
                        .arg(r.y())
                        .arg(m_probe.windowTitle(above))
                        .arg(m_probe.isOverrideRedirect(above));
                }
            rects.append(m_probe.geometry(window));
        }
        std::sort(rects.begin(), rects.end(), [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
        return rects == monitors ? QString() : QStringLiteral("the overlays do not cover the monitors");
    }

    quint64 terminalTopLevel() const { return m_probe.topLevel(m_terminal->window()); }
    QRect terminalRect() const { return m_probe.geometry(m_terminal->window()); }

    void startTerminal()
    {
        // A shell line that writes what is typed into it to a file.
        m_typedFile = m_store->folder() + QStringLiteral("/typed.txt");
        QFile::remove(m_typedFile);
        const QString script =
            QStringLiteral("read line && printf %s \"$line\" > '%1'; exec sleep 600").arg(m_typedFile);
        m_terminal = std::make_unique<XClient>(QStringLiteral("xterm"),
                                               QStringList{"-geometry", "50x8+200+120", "-bg",
                                                           terminalBackground.name(), "-fg",
                                                           terminalText.name(), "-e", "sh", "-c", script},
                                               QStringLiteral("XTerm"));
        QVERIFY(m_terminal->start(m_probe));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        // Named by its program, as a user may name it.
        const QStringList allowed{QStringLiteral("xterm")};
        const QString fillError = m_store->fill([&](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(hideWithTerminal, 120.0, allowed, QStringList{},
                                                          LockMode::hideApps, false, 0));
            context->insert(std::make_unique<FocusScreen>(preventWithTerminal, 120.0, allowed, QStringList{},
                                                          LockMode::preventLaunch, false, 1));
            context->insert(std::make_unique<FocusScreen>(coverWithTerminal, 120.0, allowed, QStringList{},
                                                          LockMode::overlay, false, 2));
            context->insert(std::make_unique<AppSettings>());
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QVERIFY(m_lumora->start());
        QVERIFY(m_lumora->waitUntilIdle());
    }

    void init()
    {
        startTerminal();
        m_clock = std::make_unique<XClient>(
            QStringLiteral("xclock"), QStringList{"-geometry", "120x120+1320+40"}, QStringLiteral("XClock"));
        QVERIFY(m_clock->start(m_probe));
    }

    void cleanup()
    {
        if (!overlays().isEmpty())
            QVERIFY2(LumoraProcess::exitSessionEarly(m_probe).isEmpty(), "the session could not be ended");
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
        m_terminal.reset();
        m_clock.reset();
    }

    void cleanupTestCase() { m_lumora.reset(); }

    void allowedTerminalIsAboveAndUsable_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::newRow("hideApps") << hideWithTerminal;
        QTest::newRow("preventLaunch") << preventWithTerminal;
    }
    void allowedTerminalIsAboveAndUsable()
    {
        QFETCH(QString, screen);
        const QString error = m_lumora->startScreen(screen);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        // The clock is put away, the terminal stands above the overlay and
        // the overlay covers everything else.
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.state(m_clock->window()) == DesktopProbe::State::iconic, settleMs);
        QString coverError;
        QVERIFY2(waitFor([&] { return (coverError = covered({terminalTopLevel()})).isEmpty(); }, settleMs),
                 qPrintable(coverError));
        const auto terminalOnTop = [&] {
            for (const auto overlay : overlays())
                if (m_probe.geometry(overlay).intersects(terminalRect()) &&
                    !m_probe.viewableAbove(overlay).contains(terminalTopLevel()))
                    return false;
            return true;
        };
        QVERIFY2(waitFor(terminalOnTop, settleMs), "the allowed terminal is below the overlay");

        // What the screen shows where the terminal is: the terminal itself.
        const QRect rect = terminalRect();
        QTRY_VERIFY_WITH_TIMEOUT(
            countPixels(m_probe.grab(rect), terminalBackground) > rect.width() * rect.height() / 2, settleMs);
        // And beside it the overlay, not the terminal's colour.
        const QRect beside(rect.right() + 200, rect.top(), 100, 100);
        QVERIFY(countPixels(m_probe.grab(beside), terminalBackground) == 0);
        const int textBefore = countPixels(m_probe.grab(rect), terminalText);

        // A click on it gives it the keyboard, as on any desktop.
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(rect.center().x()),
                         QString::number(rect.center().y()), QStringLiteral("click"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.focusWindow() == terminalTopLevel() ||
                                     m_probe.focusWindow() == m_terminal->window(),
                                 settleMs);
        const QString typed = QStringLiteral("allowed above the overlay");
        QVERIFY(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), typed}));
        // The text shows in the terminal before it is sent.
        QTRY_VERIFY_WITH_TIMEOUT(countPixels(m_probe.grab(rect), terminalText) > textBefore + 50, settleMs);
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
        const auto written = [&] {
            QFile file(m_typedFile);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(written(), typed.toUtf8(), settleMs);
        // Still above, still a session.
        QVERIFY2(covered({terminalTopLevel()}).isEmpty(), qPrintable(covered({terminalTopLevel()})));
        QVERIFY(m_lumora->status().startsWith(screen));
    }

    void overlayModeCoversTheAllowedTerminal()
    {
        const QString error = m_lumora->startScreen(coverWithTerminal);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QString coverError;
        QVERIFY2(waitFor([&] { return (coverError = covered({})).isEmpty(); }, settleMs),
                 qPrintable(coverError));
        // Raising the terminal does not bring it above the overlay.
        QVERIFY(m_probe.activateAndWait(m_terminal->window(), settleMs));
        QVERIFY2(waitFor([&] { return (coverError = covered({})).isEmpty(); }, settleMs),
                 qPrintable(coverError));
        const QRect rect = terminalRect();
        QTRY_COMPARE_WITH_TIMEOUT(countPixels(m_probe.grab(rect), terminalBackground), 0, settleMs);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestE2eAllowedAbove test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_allowedabove.moc"
