// SPDX-License-Identifier: MIT
// Ending and lengthening a running session as the user does: "+5 min" and
// "End Session" on the overlay, `lumora --stop` and `lumora --extend` from a
// terminal (records, outcomes and exit codes), Return on the early-exit
// confirmation keeping the session, `--popover` saying why nothing opened
// and `--version`.
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

constexpr int settleMs = 5000;

const QString plain = QStringLiteral("Plain Ten Minutes");
const QString strict = QStringLiteral("Strict Ten Minutes");

} // namespace

class TestE2eSessionControl : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;

    QList<quint64> overlays() const { return LumoraProcess::shownOverlays(m_probe); }

    // Seconds left as `lumora --status` tells them; -1 when idle.
    int secondsLeft() const
    {
        static const QRegularExpression countdown(QStringLiteral("(\\d+):(\\d\\d) remaining$"));
        const auto match = countdown.match(m_lumora->status());
        return match.hasMatch() ? match.captured(1).toInt() * 60 + match.captured(2).toInt() : -1;
    }

    QString start(const QString &screen)
    {
        if (!waitFor([&] { return m_lumora->status() == QLatin1String("idle"); }, settleMs))
            return QStringLiteral("a session is still running");
        if (const QString error = m_lumora->startScreen(screen); !error.isEmpty())
            return error;
        if (!waitFor([&] { return overlays().size() == 2; }, settleMs))
            return QStringLiteral("the overlay did not come up");
        return {};
    }

    // The primary monitor's overlay and its buttons (the input shape of a
    // click-through overlay): "+5 min" and "End Session" side by side above
    // "Emergency Exit".
    struct Buttons
    {
        QPoint extend, end, emergency;
    };
    std::optional<Buttons> buttons() const
    {
        for (const auto window : overlays()) {
            const QRect geometry = m_probe.geometry(window);
            if (geometry.topLeft() != QPoint(0, 0))
                continue;
            QList<QRect> shape = m_probe.inputShape(window);
            if (shape.size() != 3)
                return std::nullopt;
            std::sort(shape.begin(), shape.end(), [](const QRect &a, const QRect &b) {
                return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
            });
            return Buttons{shape[0].center() + geometry.topLeft(), shape[1].center() + geometry.topLeft(),
                           shape[2].center() + geometry.topLeft()};
        }
        return std::nullopt;
    }

    static bool click(const QPoint &at)
    {
        return xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(plain, 600.0, QStringList{}, QStringList{},
                                                          LockMode::hideApps, false, 0));
            auto screen = std::make_unique<FocusScreen>(strict, 600.0, QStringList{}, QStringList{},
                                                        LockMode::hideApps, false, 1);
            screen->setStrictModeEnabled(true);
            screen->setStrictModeType(StrictModeType::math);
            context->insert(std::move(screen));
            context->insert(std::make_unique<AppSettings>());
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QVERIFY(m_lumora->start());
        QVERIFY(m_lumora->waitUntilIdle());
    }

    void cleanup()
    {
        if (m_lumora->status() != QLatin1String("idle")) {
            m_lumora->stop(); // ends even a strict session
            m_lumora = std::make_unique<LumoraProcess>(*m_store);
            QVERIFY(m_lumora->start());
            QVERIFY(m_lumora->waitUntilIdle());
        }
    }

    void cleanupTestCase() { m_lumora.reset(); }

    void versionIsPrinted()
    {
        const auto result = m_lumora->run({QStringLiteral("--version")});
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(
            QRegularExpression(QStringLiteral("^lumora \\d+\\.\\d+\\.\\d+\\n$")).match(result.out).hasMatch(),
            qPrintable(result.out));
    }

    // Without a session there is nothing to stop or lengthen.
    void idleRefusesStopAndExtend_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("stop") << QStringList{"--stop"} << 1 << "no focus session is running";
        QTest::newRow("extend") << QStringList{"--extend", "5"} << 1 << "no focus session is running";
        QTest::newRow("extend by nothing")
            << QStringList{"--extend", "0"} << 2 << "whole minutes from 1 to 240";
        QTest::newRow("extend by words") << QStringList{"--extend", "five"} << 2 << "whole minutes";
    }
    void idleRefusesStopAndExtend()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const auto result = m_lumora->run(args);
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(says), qPrintable(result.err));
        QCOMPARE(m_lumora->status(), QStringLiteral("idle"));
    }

    // From a terminal: more time, a popover that says why it does not
    // open, a stop for another screen refused, then the stop.
    void terminalExtendsAndStops()
    {
        QString error = start(plain);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(secondsLeft() > 0 && secondsLeft() <= 600);

        auto result = m_lumora->run({QStringLiteral("--extend"), QStringLiteral("30")});
        QCOMPARE(result.exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(secondsLeft() > 600 + 30 * 60 - 60, settleMs);

        result = m_lumora->run({QStringLiteral("--popover")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(plain) && result.err.contains(QStringLiteral("is running")),
                 qPrintable(result.err));

        result = m_lumora->run({QStringLiteral("--stop=Another Screen")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(QStringLiteral("no longer running")), qPrintable(result.err));
        QVERIFY(secondsLeft() > 0);

        result = m_lumora->run({QStringLiteral("--stop=") + plain});
        QCOMPARE(result.exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(plain), settleMs);
        const auto row = m_store->lastSession();
        QVERIFY(!row->completed);
        // The time it really ran, not the lengthened plan.
        QVERIFY(row->actualDuration && *row->actualDuration < 120);
        QCOMPARE(m_lumora->run({QStringLiteral("--stop")}).exitCode, 1);
    }

    // On the overlay: "+5 min" lengthens, "End Session" ends at once.
    void overlayButtonsExtendAndEnd()
    {
        QString error = start(plain);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        std::optional<Buttons> at;
        QVERIFY(waitFor([&] { return (at = buttons()).has_value(); }, settleMs));
        const int before = secondsLeft();
        QVERIFY(click(at->extend));
        QTRY_VERIFY_WITH_TIMEOUT(secondsLeft() > before + 240, settleMs);
        QVERIFY(click(at->end));
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(plain), settleMs);
        QVERIFY(!m_store->lastSession()->completed);
    }

    // Return on the early-exit confirmation keeps focusing.
    void returnOnTheConfirmationKeepsTheSession()
    {
        QString error = start(plain);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        error = LumoraProcess::openExitConfirmation(m_probe);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kConfirmationTitle)).isEmpty() ||
                std::none_of(
                    m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kConfirmationTitle)).cbegin(),
                    m_probe.findWindowsByTitle(QLatin1String(LumoraProcess::kConfirmationTitle)).cend(),
                    [&](quint64 w) { return m_probe.isViewable(w); }),
            settleMs);
        QVERIFY(secondsLeft() > 0);
        QCOMPARE(overlays().size(), 2);
        // Ended from the keyboard on its destructive button instead.
        error = LumoraProcess::exitSessionEarly(m_probe);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(plain), settleMs);
        QVERIFY(!m_store->lastSession()->completed);
    }

    // A strict session keeps only its challenge: no stop from a terminal,
    // no "End Session" on the overlay; more time is fine.
    void strictSessionRefusesTheStop()
    {
        QString error = start(strict);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const auto result = m_lumora->run({QStringLiteral("--stop")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(QStringLiteral("strict")), qPrintable(result.err));
        QCOMPARE(m_lumora->run({QStringLiteral("--extend"), QStringLiteral("5")}).exitCode, 0);
        QVERIFY(secondsLeft() > 600);
        for (const auto window : overlays())
            QCOMPARE(m_probe.inputShape(window).size(), 1); // the challenge button alone
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestE2eSessionControl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_sessioncontrol.moc"
