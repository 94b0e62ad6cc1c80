// SPDX-License-Identifier: MIT
// A working day of the real program on a real desktop: a screen whose
// schedule is open at Lumora's start starts by itself; a screen of two short
// rounds runs a break between them (the overlay stays, the hidden
// applications come back for it or stay hidden, as the screen says) and
// records one row per round; a screen that uses a lock profile hides
// exactly the profile's blocked applications.
#include "AppLockProfile.h"
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "Schedule.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QTest>

#include <memory>

namespace {

constexpr int settleMs = 5000;
// Two three-second rounds and a four-second break, their fades and saves,
// with room for a busy machine.
constexpr int cycleEndsWithinMs = 30000;

const QString scheduled = QStringLiteral("Scheduled Now");
const QString roundsBack = QStringLiteral("Two Rounds, Apps Back");
const QString roundsHidden = QStringLiteral("Two Rounds, Apps Hidden");
const QString blocksClock = QStringLiteral("Blocks the Clock");

} // namespace

class TestE2eRounds : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<ClickTarget> m_target;
    std::unique_ptr<XClient> m_clock;
    std::unique_ptr<XClient> m_eyes;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;

    QList<quint64> overlays() const { return LumoraProcess::shownOverlays(m_probe); }
    bool iconic(const XClient &client) const
    {
        return m_probe.state(client.window()) == DesktopProbe::State::iconic;
    }
    bool shown(const XClient &client) const { return m_probe.isShown(client.window()); }
    QList<ScratchStore::SessionRow> rowsOf(const QString &screen) const
    {
        QList<ScratchStore::SessionRow> rows;
        for (const auto &row : m_store->sessions())
            if (row.screenName == screen)
                rows.append(row);
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        m_target = std::make_unique<ClickTarget>();
        m_target->setWindowTitle(QStringLiteral("click target"));
        m_target->setGeometry(1500, 400, 240, 160);
        m_target->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isShown(m_target->winId()), settleMs);
        const QString targetClass = m_probe.windowClass(m_target->winId());
        m_clock = std::make_unique<XClient>(
            QStringLiteral("xclock"), QStringList{"-geometry", "120x120+1320+40"}, QStringLiteral("XClock"));
        QVERIFY(m_clock->start(m_probe));
        m_eyes = std::make_unique<XClient>(
            QStringLiteral("xeyes"), QStringList{"-geometry", "120x120+1500+40"}, QStringLiteral("XEyes"));
        QVERIFY(m_eyes->start(m_probe));

        // A window open from now for five minutes, on today's weekday.
        const QDateTime now = QDateTime::currentDateTime();
        Schedule window;
        window.days = quint8(1u << (now.date().dayOfWeek() - 1));
        window.start = QTime(now.time().hour(), now.time().minute());
        window.end = window.start.addSecs(5 * 60);

        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            auto *open = context->insert(std::make_unique<FocusScreen>(
                scheduled, 600.0, QStringList{targetClass}, QStringList{}, LockMode::hideApps, false, 0));
            open->setSchedules({window.toString()});
            for (const auto &[name, back] : {std::pair{roundsBack, true}, std::pair{roundsHidden, false}}) {
                auto *screen = context->insert(std::make_unique<FocusScreen>(
                    name, 3.0, QStringList{targetClass}, QStringList{}, LockMode::hideApps, false, 1));
                screen->setRounds(2);
                screen->setBreakLength(4.0);
                screen->setAppsBackDuringBreak(back);
            }
            auto *profile = context->insert(std::make_unique<AppLockProfile>(
                QStringLiteral("Clock"), QStringList{QStringLiteral("xclock")}, QStringList{},
                LockMode::hideApps));
            // Without the profile, this list would hide the eyes too.
            auto *blocking = context->insert(std::make_unique<FocusScreen>(
                blocksClock, 600.0, QStringList{targetClass}, QStringList{}, LockMode::overlay, false, 2));
            blocking->setLockProfileID(profile->uuid());
            context->insert(std::make_unique<AppSettings>());
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));

        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QVERIFY(m_lumora->start());
        QVERIFY2(m_lumora->waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");
    }

    void cleanup()
    {
        if (!overlays().isEmpty())
            QVERIFY2(LumoraProcess::exitSessionEarly(m_probe).isEmpty(), "the session could not be ended");
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
    }

    void cleanupTestCase()
    {
        m_lumora.reset();
        m_eyes.reset();
        m_clock.reset();
    }

    // Started at Lumora's start, inside its window, through the same path
    // as any start: the overlay covers the screens and the tray counts down
    // at most what is left of the window.
    void scheduledWindowStartsAtLaunch()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_lumora->status().startsWith(scheduled + QStringLiteral(" - ")), settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(overlays().size(), 2, settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock), settleMs);
        const QString status = m_lumora->status();
        const QStringList minutes = status.section(QStringLiteral(" - "), 1).section(u':', 0, 0).split(u' ');
        QVERIFY2(minutes.last().toInt() <= 5, qPrintable(status));
        // A second start while it runs is refused, like any other.
        QVERIFY(!m_lumora->startScreen(roundsBack).isEmpty());
    }

    void twoRoundsWithABreak_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("appsBack");
        QTest::newRow("applications back for the break") << roundsBack << true;
        QTest::newRow("applications hidden through the break") << roundsHidden << false;
    }
    void twoRoundsWithABreak()
    {
        QFETCH(QString, screen);
        QFETCH(bool, appsBack);
        const QString error = m_lumora->startScreen(screen);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(overlays().size(), 2, settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock), settleMs);

        // The break: the overlay stays (the round's windows fade out as the
        // break's come), the tray says "Break".
        QTRY_VERIFY_WITH_TIMEOUT(m_lumora->status().startsWith(screen + QStringLiteral(" - Break ")),
                                 cycleEndsWithinMs);
        QTRY_COMPARE_WITH_TIMEOUT(overlays().size(), 2, settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(rowsOf(screen).size(), 1, settleMs);
        QVERIFY(rowsOf(screen).first().completed);
        if (appsBack)
            QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock), settleMs);
        else
            QVERIFY(iconic(*m_clock));

        // Round two hides them again.
        QTRY_VERIFY_WITH_TIMEOUT(!m_lumora->status().contains(QStringLiteral("Break")) &&
                                     m_lumora->status() != QStringLiteral("idle"),
                                 cycleEndsWithinMs);
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock), settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(rowsOf(screen).size(), 2, settleMs);

        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), cycleEndsWithinMs);
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(screen), settleMs);
        const auto rows = rowsOf(screen);
        QCOMPARE(rows.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(rows[i].round, i + 1);
            QVERIFY(rows[i].completed);
            QVERIFY2(*rows[i].actualDuration > 2.5 && *rows[i].actualDuration < 8.0,
                     qPrintable(QString::number(*rows[i].actualDuration)));
        }
        // The break lies between them.
        QVERIFY(rows[1].startTime - *rows[0].endTime > 3.0);
    }

    // Only the profile's blocked application goes; the screen's own list,
    // which would hide the eyes, is not used.
    void profileHidesExactlyItsBlockedApplications()
    {
        const QString error = m_lumora->startScreen(blocksClock);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(overlays().size(), 2, settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(iconic(*m_clock), settleMs);
        // Given the time to act on anything, the eyes and the target stay.
        QTest::qWait(800);
        QVERIFY(shown(*m_eyes));
        QVERIFY(m_probe.isShown(m_target->winId()));
        QVERIFY2(LumoraProcess::exitSessionEarly(m_probe).isEmpty(), "the session could not be ended");
        QTRY_VERIFY_WITH_TIMEOUT(shown(*m_clock), settleMs);
    }
};

QTEST_MAIN(TestE2eRounds)
#include "tst_e2e_rounds.moc"
