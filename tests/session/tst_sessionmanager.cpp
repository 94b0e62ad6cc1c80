// SPDX-License-Identifier: MIT
// The focus session manager against fakes for the desktop (workspace,
// overlay, notifications, opener, clock) and a real store file. Ticks are
// driven directly; the clock moves one second per tick.
#include "AppLockManager.h"
#include "AppLockProfile.h"
#include "FakeAccessibility.h"
#include "FakeAppOpener.h"
#include "FakeDoNotDisturb.h"
#include "FakeUserNotifications.h"
#include "FakeWorkspace.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "FocusSessionManager.h"
#include "ModelContext.h"
#include "NotificationCenter.h"
#include "NotificationHold.h"
#include "OverlayPresenter.h"
#include "SessionPreferences.h"
#include "Store.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Records what the manager asks of the overlay. hide() keeps the completion
// until the test lets the fade end.
class FakeOverlay final : public OverlayPresenter
{
public:
    void show(const FocusOverlayContent &c) override
    {
        shown.append(c);
        visible = true;
    }
    void updateCountdown(double remaining) override { countdowns.append(remaining); }
    void hide(std::function<void()> completion) override
    {
        ++hides;
        visible = false;
        pending = std::move(completion);
    }
    void setOnEmergencyExit(std::function<void()> callback) override
    {
        onEmergencyExit = std::move(callback);
    }
    void setOnExtendRequested(std::function<void(int)> callback) override { onExtend = std::move(callback); }
    void setOnSkipBreak(std::function<void()> callback) override { onSkipBreak = std::move(callback); }

    void finishFade()
    {
        if (auto c = std::exchange(pending, {}))
            c();
    }

    QList<FocusOverlayContent> shown;
    QList<double> countdowns;
    int hides = 0;
    bool visible = false;
    std::function<void()> pending;
    std::function<void()> onEmergencyExit;
    std::function<void(int)> onExtend;
    std::function<void()> onSkipBreak;
};

} // namespace

class TestSessionManager : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ModelContainer> m_container;
    std::unique_ptr<FakeWorkspace> m_workspace;
    std::unique_ptr<FakeAccessibility> m_accessibility;
    std::unique_ptr<AppLockManager> m_lock;
    FakeOverlay m_overlay;
    FakeUserNotifications m_notifications;
    FakeAppOpener m_opener;
    NotificationCenter m_requests;
    QDateTime m_clock;
    FakeDoNotDisturb m_dnd;
    FakeSessionSound m_sound;
    std::unique_ptr<NotificationHold> m_hold;
    std::unique_ptr<FocusSessionManager> m_manager;

    int m_run = 0;
    QString holdJournalPath() const
    {
        return m_dir.filePath(QStringLiteral("held-notifications-%1").arg(m_run));
    }

    int postedTitled(const QString &title) const
    {
        int n = 0;
        for (const auto &posted : m_notifications.posted)
            if (posted.title == title)
                ++n;
        return n;
    }

    ModelContext *ctx() const { return m_container->mainContext(); }

    FocusScreen *addScreen(double duration)
    {
        auto *screen = ctx()->insert(std::make_unique<FocusScreen>(QStringLiteral("Deep Work"), duration));
        ctx()->save();
        return screen;
    }

    // What the shell does: record a session now, save, post the request.
    FocusSession *requestStart(FocusScreen *screen, const QDateTime &until = {})
    {
        auto *session = ctx()->insert(std::make_unique<FocusSession>(screen->uuid(), m_clock));
        ctx()->save();
        FocusSessionManager::postStartRequest(m_requests, session->id(), screen->id(), until);
        QCoreApplication::processEvents(); // the request is handled in a later turn
        return session;
    }

    void tickTimes(int n)
    {
        for (int i = 0; i < n; ++i) {
            m_clock = m_clock.addSecs(1);
            m_manager->tick();
        }
    }

    void finishFade()
    {
        m_overlay.finishFade();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void init()
    {
        static int n = 0;
        m_container = ModelContainer::open(m_dir.filePath(QStringLiteral("s%1.store").arg(n++)),
                                           Store::schema(), nullptr);
        ctx()->setAutosaveEnabled(false);
        m_workspace = std::make_unique<FakeWorkspace>();
        m_accessibility = std::make_unique<FakeAccessibility>(m_workspace.get());
        m_lock = std::make_unique<AppLockManager>(m_workspace.get(), m_accessibility.get());
        m_overlay = FakeOverlay();
        m_notifications = FakeUserNotifications();
        m_opener = FakeAppOpener();
        m_clock = QDateTime(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC);
        m_dnd = FakeDoNotDisturb();
        m_sound = FakeSessionSound();
        ++m_run;
        m_hold = std::make_unique<NotificationHold>(&m_dnd, holdJournalPath());
        SessionPreferences::setDoNotDisturb(true);
        SessionPreferences::setEndSound(true);
        makeManager(&m_sound);
    }
    void makeManager(SessionSound *sound)
    {
        FocusSessionManager::Services services;
        services.lockManager = m_lock.get();
        services.overlay = &m_overlay;
        services.accessibility = m_accessibility.get();
        services.opener = &m_opener;
        services.notifications = &m_notifications;
        services.requests = &m_requests;
        services.now = [this] { return m_clock; };
        services.notificationHold = m_hold.get();
        services.sound = sound;
        m_manager = std::make_unique<FocusSessionManager>(services);
        m_manager->setModelContainer(m_container.get());
    }
    void cleanup()
    {
        m_manager.reset();
        m_hold.reset();
        m_lock.reset();
        m_accessibility.reset();
        m_workspace.reset();
        m_container.reset();
    }

    // However a session ends it ends once, and everything it took is given
    // back: the record says how and for how long and is saved, the
    // applications come back, the browsers are free and other programs'
    // notifications let through as it ends (the crash journal gone). The
    // sound and the completion notice come at a completed end only.
    void sessionEndings_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("completed") << "completed";
        QTest::newRow("stopped") << "stopped";
        QTest::newRow("emergency exit") << "exit";
        QTest::newRow("quit") << "quit";
    }
    void sessionEndings()
    {
        QFETCH(QString, ending);
        const bool completed = ending == QLatin1String("completed");
        const RunningApplication clock = m_workspace->addApplication(QStringLiteral("XClock"), 12);
        FocusScreen *screen = addScreen(10);
        screen->setAllowedWebsites({QStringLiteral("github.com")});
        QSignalSpy website(m_manager.get(), &FocusSessionManager::websiteSessionChanged);
        FocusSession *session = requestStart(screen);
        QCOMPARE(m_manager->activeSession(), session);
        QCOMPARE(m_manager->activeScreen(), screen);
        QCOMPARE(m_manager->remainingTime(), 10.0);
        QVERIFY(m_manager->isTimerRunning());
        QVERIFY(m_lock->isActive() && m_workspace->isHidden(clock));
        QVERIFY(m_hold->isHolding() && QFileInfo::exists(holdJournalPath()));
        QCOMPARE(m_overlay.shown.size(), 1);
        QCOMPARE(m_notifications.authorizationRequests, 1);

        tickTimes(completed ? 10 : 7);
        QCOMPARE(m_overlay.countdowns.mid(0, 2), (QList<double>{9, 8}));
        if (ending == QLatin1String("stopped")) {
            QCOMPARE(m_manager->stopSession(), QString());
        } else if (ending == QLatin1String("exit")) {
            QVERIFY(m_overlay.onEmergencyExit);
            m_overlay.onEmergencyExit(); // the user confirmed
            QCoreApplication::processEvents();
        } else if (ending == QLatin1String("quit")) {
            m_manager->abandonSession();
            // No event loop turn is needed: the program is about to end.
            QVERIFY(!m_workspace->isHidden(clock));
            QVERIFY(!m_manager->activeSession());
        }
        // The browsers are free at once, before the overlay has faded.
        QVERIFY(!m_manager->websiteSession());
        QCOMPARE(website.size(), 2);
        if (ending != QLatin1String("quit")) {
            QCOMPARE(m_overlay.hides, 1);
            QVERIFY(!m_manager->isTimerRunning());
            // Until the overlay is gone the session is still held.
            QCOMPARE(m_manager->activeSession(), session);
            QVERIFY(m_lock->isActive());
            if (completed)
                m_clock = m_clock.addMSecs(250);
            finishFade();
        }
        QVERIFY(!m_lock->isActive() && !m_workspace->isHidden(clock));
        QVERIFY(!m_manager->activeSession() && !m_manager->activeScreen());
        QCOMPARE(m_manager->remainingTime(), 0.0);
        QCOMPARE(session->completed(), completed);
        QCOMPARE(*session->endTime(), m_clock);
        QCOMPARE(*session->actualDuration(), completed ? 10.25 : 7.0);
        QVERIFY(!ctx()->hasChanges()); // saved
        QCOMPARE(m_dnd.log, (QStringList{"hold fake", "release fake"}));
        QVERIFY(!m_hold->isHolding() && !QFileInfo::exists(holdJournalPath()));
        QCOMPARE(m_sound.completes, completed ? 1 : 0);
        QCOMPARE(m_notifications.posted.size(), completed ? 1 : 0);
        if (completed) {
            QCOMPARE(m_notifications.posted[0].title, QStringLiteral("Focus Session Complete"));
            QCOMPARE(m_notifications.posted[0].body,
                     QStringLiteral("Great job! You've finished your session: Deep Work"));
            // The sound is this program's own: the notification asks for none.
            QVERIFY(!m_notifications.posted[0].playSound);
            QVERIFY(!QUuid::fromString(m_notifications.posted[0].identifier).isNull());
        }

        // Ending again does nothing.
        const int hides = m_overlay.hides;
        m_manager->endSession(false);
        m_manager->abandonSession();
        QVERIFY(m_manager->stopSession().contains(QStringLiteral("no focus session is running")));
        finishFade();
        QCOMPARE(m_overlay.hides, hides);
        QCOMPARE(session->completed(), completed);
        QCOMPARE(m_notifications.posted.size(), completed ? 1 : 0);
        QCOMPARE(website.size(), 2);
    }

    void completesOnTheTickThatReachesZero_data()
    {
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<double>("remainingAtEnd");
        QTest::newRow("zero") << 0.0 << 1 << -1.0;
        QTest::newRow("negative") << -5.0 << 1 << -6.0;
        QTest::newRow("fractional 2.5") << 2.5 << 3 << -0.5;
        QTest::newRow("one") << 1.0 << 1 << 0.0;
    }
    void completesOnTheTickThatReachesZero()
    {
        QFETCH(double, duration);
        QFETCH(int, ticks);
        QFETCH(double, remainingAtEnd);
        FocusSession *session = requestStart(addScreen(duration));
        tickTimes(ticks - 1);
        QCOMPARE(m_overlay.hides, 0);
        tickTimes(1);
        QCOMPARE(m_overlay.hides, 1);
        QCOMPARE(m_manager->remainingTime(), remainingAtEnd);
        finishFade();
        QVERIFY(session->completed());
        QCOMPARE(*session->actualDuration(), double(ticks));
    }

    // A stop ends a plain session early, once; it is refused (with the
    // reason) when nothing runs, for a strict session, for another screen or
    // another session than the running one, and while the session ends.
    void stopSession_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("refusal"); // empty: the session ends early
        const auto row = [](const char *name, const char *situation, const char *refusal) {
            QTest::newRow(name) << QString::fromLatin1(situation) << QString::fromLatin1(refusal);
        };
        row("plain", "plain", "");
        row("plain, its screen named", "named", "");
        row("idle", "idle", "no focus session is running");
        row("strict", "strict", "is strict");
        row("another screen", "other screen", "no longer running");
        row("another session", "other session", "no longer running");
        row("reaching zero", "ending", "ending already");
    }
    void stopSession()
    {
        QFETCH(QString, situation);
        QFETCH(QString, refusal);
        if (situation == QLatin1String("idle")) {
            QVERIFY(m_manager->stopSession().contains(refusal));
            return;
        }
        FocusScreen *screen = addScreen(situation == QLatin1String("ending") ? 5 : 60);
        if (situation == QLatin1String("strict")) {
            screen->setStrictModeEnabled(true);
            screen->setStrictModeType(StrictModeType::math);
            ctx()->save();
        }
        FocusSession *session = requestStart(screen);
        tickTimes(5);
        QString error;
        if (situation == QLatin1String("named"))
            error = m_manager->stopSession(nullptr, QStringLiteral("Deep Work"));
        else if (situation == QLatin1String("other screen"))
            error = m_manager->stopSession(nullptr, QStringLiteral("Reading"));
        else if (situation == QLatin1String("other session"))
            error = m_manager->stopSession(
                ctx()->insert(std::make_unique<FocusSession>(screen->uuid(), m_clock)));
        else
            error = m_manager->stopSession();
        QVERIFY2(refusal.isEmpty() ? error.isEmpty() : error.contains(refusal), qPrintable(error));
        // A second stop changes nothing.
        if (refusal.isEmpty())
            QVERIFY(m_manager->stopSession().contains(QStringLiteral("ending already")));
        finishFade();
        if (!refusal.isEmpty() && situation != QLatin1String("ending")) {
            QCOMPARE(m_manager->activeSession(), session);
            QCOMPARE(m_overlay.hides, 0);
            return;
        }
        QCOMPARE(m_overlay.hides, 1);
        QVERIFY(!m_manager->activeSession());
        QCOMPARE(session->completed(), situation == QLatin1String("ending"));
        QCOMPARE(*session->actualDuration(), 5.0);
        QVERIFY(!ctx()->hasChanges());
    }

    // More time lengthens the countdown (the overlay and the browsers are
    // told); the record keeps the time the session really ran. Minutes out
    // of range and requests while idle or ending are refused.
    void extendSession_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("five") << 5 << "";
        QTest::newRow("one") << 1 << "";
        QTest::newRow("the most") << FocusSessionManager::kMaxExtendMinutes << "";
        QTest::newRow("zero") << 0 << "whole number from 1";
        QTest::newRow("negative") << -3 << "whole number from 1";
        QTest::newRow("too many") << FocusSessionManager::kMaxExtendMinutes + 1 << "whole number from 1";
    }
    void extendSession()
    {
        QFETCH(int, minutes);
        QFETCH(QString, refusal);
        QVERIFY(!m_manager->extendSession(5).isEmpty()); // idle
        auto *screen = addScreen(3);
        screen->setAllowedWebsites({QStringLiteral("github.com")});
        ctx()->save();
        FocusSession *session = requestStart(screen);
        tickTimes(2);
        const QDateTime endBefore = m_manager->websiteSession()->end;
        const QString error = m_manager->extendSession(minutes);
        QVERIFY2(refusal.isEmpty() ? error.isEmpty() : error.contains(refusal), qPrintable(error));
        const double added = refusal.isEmpty() ? minutes * 60.0 : 0.0;
        QCOMPARE(m_manager->remainingTime(), 1.0 + added);
        QCOMPARE(m_manager->websiteSession()->end, endBefore.addSecs(qint64(added)));
        if (refusal.isEmpty())
            QCOMPARE(m_overlay.countdowns.last(), 1.0 + added);
        // The overlay's "+5 min" goes the same way.
        QVERIFY(m_overlay.onExtend);
        m_overlay.onExtend(5);
        QCOMPARE(m_manager->remainingTime(), 1.0 + added + 300);
        tickTimes(int(1 + added + 300));
        QCOMPARE(m_overlay.hides, 1);
        QVERIFY(!m_manager->extendSession(5).isEmpty()); // ending
        finishFade();
        QVERIFY(session->completed());
        QCOMPARE(*session->actualDuration(), 2 + 1 + added + 300);
    }

    // Holding other programs' notifications back and the end sound follow
    // the user's preferences (sessionEndings has them on); a desktop without
    // the means runs the session and says why once; notifications the user
    // already holds back are left so. With a player of its own the program
    // never asks the notification for a sound; without one the
    // notification's hint is the sound.
    void doNotDisturbAndSound_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("sounds");
        QTest::addColumn<bool>("hinted");
        QTest::newRow("preferences off") << "off" << QStringList() << 0 << false;
        QTest::newRow("no means") << "no means" << QStringList() << 1 << false;
        QTest::newRow("held already by the user") << "held" << QStringList() << 1 << false;
        QTest::newRow("holding fails") << "fails" << QStringList{"hold fake"} << 1 << false;
        QTest::newRow("no player") << "no player" << QStringList{"hold fake", "release fake"} << 0 << true;
        QTest::newRow("no player, sound off") << "no player, off" << QStringList() << 0 << false;
    }
    void doNotDisturbAndSound()
    {
        QFETCH(QString, situation);
        QFETCH(QStringList, log);
        QFETCH(int, sounds);
        QFETCH(bool, hinted);
        if (situation.endsWith(QLatin1String("off"))) {
            SessionPreferences::setDoNotDisturb(false);
            SessionPreferences::setEndSound(false);
        }
        if (situation.startsWith(QLatin1String("no player")))
            makeManager(nullptr);
        if (situation == QLatin1String("no means")) {
            m_dnd.means.clear();
            NotificationHold first(&m_dnd, QString());
            QCOMPARE(first.hold(), QStringLiteral("no means on this desktop"));
            QVERIFY(first.hold().isEmpty());
        }
        m_dnd.held = situation == QLatin1String("held");
        m_dnd.failHold = situation == QLatin1String("fails");
        FocusSession *session = requestStart(addScreen(3));
        QCOMPARE(m_hold->isHolding(), log.size() == 2);
        QCOMPARE(QFileInfo::exists(holdJournalPath()), log.size() == 2);
        tickTimes(3);
        finishFade();
        QVERIFY(session->completed());
        QCOMPARE(m_dnd.log, log);
        QCOMPARE(m_dnd.held, situation == QLatin1String("held"));
        QCOMPARE(m_sound.completes, sounds);
        QVERIFY(!QFileInfo::exists(holdJournalPath()));
        QCOMPARE(m_notifications.posted.size(), 1);
        QCOMPARE(m_notifications.posted[0].playSound, hinted);
        // Told once per run that there is no means, not at every session.
        QVERIFY(m_hold->hold().isEmpty());
    }

    // A run killed while holding notifications back leaves its journal; the
    // next run's start lets them through again and removes it.
    void killedRunsHoldIsReleasedAtTheNextStart()
    {
        FocusSession *session = requestStart(addScreen(60));
        QVERIFY(session);
        QVERIFY(m_dnd.held);
        QVERIFY(QFileInfo::exists(holdJournalPath()));
        // The next run: its own hold over the same journal.
        FakeDoNotDisturb nextRun;
        nextRun.held = true;
        NotificationHold next(&nextRun, holdJournalPath());
        QCOMPARE(next.restoreLeftovers(), 1);
        QCOMPARE(nextRun.log, QStringList{QStringLiteral("release fake")});
        QVERIFY(!nextRun.held);
        QVERIFY(!QFileInfo::exists(holdJournalPath()));
        QCOMPARE(next.restoreLeftovers(), 0);
    }

    // Time in which the timer stood still (the process stopped, the machine
    // asleep) is not counted by the countdown and not recorded either,
    // however the session ends; a tick late by the usual jitter counts.
    // 10 ticks, the stop, the late tick (when it comes before the end), 5
    // more ticks (or the rest of a 20 s countdown), the end.
    void recordHoldsTheTimeTheCountdownRan_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("stoppedMs");
        QTest::addColumn<double>("recorded");
        QTest::newRow("ended early after a stop") << "early" << 88000 << 16.0;
        QTest::newRow("completed after a stop") << "completed" << 88000 << 20.0;
        // SIGCONT and SIGTERM at once: the late tick never comes.
        QTest::newRow("quit right after a stop") << "quit" << 88000 << 11.0;
        QTest::newRow("a late tick") << "early" << 1500 << 16.5;
    }
    void recordHoldsTheTimeTheCountdownRan()
    {
        QFETCH(QString, ending);
        QFETCH(int, stoppedMs);
        QFETCH(double, recorded);
        FocusSession *session = requestStart(addScreen(20));
        tickTimes(10);
        m_clock = m_clock.addMSecs(stoppedMs);
        if (ending == QLatin1String("quit")) {
            m_manager->abandonSession();
        } else {
            m_manager->tick();
            tickTimes(ending == QLatin1String("completed") ? 9 : 5);
            if (ending == QLatin1String("early"))
                m_manager->endSession(false);
            QCOMPARE(m_overlay.hides, 1);
            finishFade();
        }
        QCOMPARE(session->completed(), ending == QLatin1String("completed"));
        QCOMPARE(*session->actualDuration(), recorded);
        // The columns keep their meaning: the duration is end less start.
        QCOMPARE(session->startTime().msecsTo(*session->endTime()), qint64(recorded * 1000));
    }

    // A second end while the overlay fades (an early exit confirmed as the
    // countdown reaches zero, or the program quitting) keeps the first
    // outcome and records the session once.
    void endingTwiceDuringTheFade_data()
    {
        QTest::addColumn<bool>("quitDuringFade");
        QTest::newRow("early exit during the fade") << false;
        QTest::newRow("quit during the fade") << true;
    }
    void endingTwiceDuringTheFade()
    {
        QFETCH(bool, quitDuringFade);
        FocusSession *session = requestStart(addScreen(2));
        tickTimes(2);
        QCOMPARE(m_overlay.hides, 1);
        if (quitDuringFade)
            m_manager->abandonSession();
        else
            m_manager->endSession(false);
        QCOMPARE(m_overlay.hides, 1);
        finishFade();
        QVERIFY(session->completed());
        QCOMPARE(*session->actualDuration(), 2.0);
        QCOMPARE(m_notifications.posted.size(), 1);
        QVERIFY(!m_manager->activeSession());
    }

    // The browsers are told the screen's domains, as domains, from the start
    // until the session ends (sessionEndings ends it every way); a list
    // without a domain tells nothing.
    void websiteSessionFollowsTheSession_data()
    {
        QTest::addColumn<QStringList>("allowedWebsites");
        QTest::addColumn<QStringList>("domains"); // empty: the browsers stay free
        QTest::newRow("typed addresses")
            << QStringList{"https://www.GitHub.com/lumora", "not a domain", "github.com", "docs.qt.io"}
            << QStringList{"github.com", "docs.qt.io"};
        QTest::newRow("empty list") << QStringList() << QStringList();
        QTest::newRow("no domain in the list") << QStringList{"two words", "a_b"} << QStringList();
    }
    void websiteSessionFollowsTheSession()
    {
        QFETCH(QStringList, allowedWebsites);
        QFETCH(QStringList, domains);
        FocusScreen *screen = addScreen(60);
        screen->setAllowedWebsites(allowedWebsites);
        QSignalSpy changed(m_manager.get(), &FocusSessionManager::websiteSessionChanged);
        const QDateTime start = m_clock;
        requestStart(screen);
        QCOMPARE(m_manager->websiteSession().has_value(), !domains.isEmpty());
        if (!domains.isEmpty()) {
            QCOMPARE(m_manager->websiteSession()->screenName, QStringLiteral("Deep Work"));
            QCOMPARE(m_manager->websiteSession()->domains, domains);
            QCOMPARE(m_manager->websiteSession()->end, start.addSecs(60));
        }
        tickTimes(5);
        QCOMPARE(changed.size(), domains.isEmpty() ? 0 : 1);
        m_manager->endSession(false);
        QVERIFY(!m_manager->websiteSession());
        finishFade();
        QCOMPARE(changed.size(), domains.isEmpty() ? 0 : 2);
    }

    // Time in which the countdown did not run (a suspended machine) moves
    // the end the browsers show; the usual jitter of a tick does not.
    void websiteSessionEndFollowsTheCountdown()
    {
        FocusScreen *screen = addScreen(600);
        screen->setAllowedWebsites({QStringLiteral("github.com")});
        requestStart(screen);
        const QDateTime end = m_manager->websiteSession()->end;
        QSignalSpy changed(m_manager.get(), &FocusSessionManager::websiteSessionChanged);
        m_clock = m_clock.addMSecs(1500);
        m_manager->tick();
        QCOMPARE(changed.size(), 0);
        QCOMPARE(m_manager->websiteSession()->end, end);
        m_clock = m_clock.addSecs(3600); // asleep for an hour
        m_manager->tick();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(m_manager->websiteSession()->end, m_clock.addSecs(598));
    }

    // A running session is never replaced, and the refused request leaves
    // no session behind in the store.
    void secondStartIsRefusedWithoutARecord()
    {
        FocusScreen *screen = addScreen(60);
        QSignalSpy handled(m_manager.get(), &FocusSessionManager::startRequestHandled);
        FocusSession *first = requestStart(screen);
        tickTimes(5);
        FocusSession *second = requestStart(addScreen(10));
        const PersistentIdentifier secondID = second->id();
        QCOMPARE(m_manager->activeSession(), first);
        QCOMPARE(m_manager->remainingTime(), 55.0);
        QVERIFY(m_manager->isTimerRunning());
        QCOMPARE(m_overlay.shown.size(), 1);
        QVERIFY(second->isDeleted());
        QCOMPARE(ctx()->fetchCount<FocusSession>(), 1);
        QVERIFY(!ctx()->hasChanges());

        QCOMPARE(handled.size(), 2);
        QCOMPARE(handled[0][0].value<PersistentIdentifier>(), first->id());
        QCOMPARE(handled[0][1].toString(), QString());
        QCOMPARE(handled[1][0].value<PersistentIdentifier>(), secondID);
        QCOMPARE(handled[1][1].toString(), QStringLiteral("a focus session is already running: Deep Work"));
    }

    // A lock journal that cannot be written: the session runs with the
    // overlay alone, and the user is told why.
    void unwritableJournalRunsOverlayOnlyAndSaysWhy()
    {
        const auto other = m_workspace->addApplication(QStringLiteral("Other"), 42);
        m_lock->setJournalPath(QStringLiteral("/dev/null/Lumora.store.locked-windows"));
        FocusScreen *screen = addScreen(60);
        QCOMPARE(screen->lockMode(), LockMode::hideApps);
        requestStart(screen);
        QVERIFY(m_manager->activeSession());
        QCOMPARE(m_overlay.shown.size(), 1);
        QVERIFY(!m_workspace->isHidden(other));
        QCOMPARE(m_notifications.posted.size(), 1);
        QCOMPARE(m_notifications.posted.first().title, QStringLiteral("Applications Not Hidden"));
        QVERIFY(m_notifications.posted.first().body.contains(QLatin1String("Not a directory")));
    }

    // The store refuses to write (here: another writer holds it); the
    // outcome is kept, the user hears of it, and the completion is still
    // announced. Once the store is free again the outcome is written.
    void failedSaveAtTheEndIsToldAndKept()
    {
        FocusSession *session = requestStart(addScreen(2));
        const QString connection = QStringLiteral("blocker");
        {
            QSqlDatabase blocker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            blocker.setDatabaseName(m_container->path());
            QVERIFY(blocker.open());
            QSqlQuery begin(blocker);
            QVERIFY(begin.exec(QStringLiteral("BEGIN IMMEDIATE")));
            for (const QString &name : QSqlDatabase::connectionNames()) {
                if (name != connection)
                    QSqlQuery(QStringLiteral("PRAGMA busy_timeout = 0"), QSqlDatabase::database(name));
            }

            tickTimes(2);
            finishFade();
            QVERIFY(session->completed());
            QVERIFY(ctx()->hasChanges());
            QCOMPARE(m_notifications.posted.size(), 2);
            QCOMPARE(m_notifications.posted[0].title, QStringLiteral("Focus Session Complete"));
            QCOMPARE(m_notifications.posted[1].title, QStringLiteral("Focus Session Not Recorded Yet"));
            QVERIFY(m_notifications.posted[1].body.contains(QLatin1String("Deep Work")));
            QVERIFY(m_notifications.posted[1].body.contains(QLatin1String("locked")));
            QVERIFY(blocker.rollback());
            blocker.close();
        }
        QSqlDatabase::removeDatabase(connection);
        QVERIFY(ctx()->save());
        auto reopened = ModelContainer::open(m_container->path(), Store::schema(), nullptr);
        QVERIFY(reopened);
        const auto rows = reopened->mainContext()->fetch<FocusSession>();
        QCOMPARE(rows.size(), 1);
        QVERIFY(rows.first()->completed());
    }

    void unresolvableRequestsAreIgnored_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("swapped identifiers") << "swapped";
        QTest::newRow("not identifiers") << "strings";
        QTest::newRow("missing key") << "missing";
        QTest::newRow("deleted session") << "deleted";
        QTest::newRow("no container") << "nocontainer";
        QTest::newRow("another notification") << "othername";
    }
    void unresolvableRequestsAreIgnored()
    {
        QFETCH(QString, kind);
        FocusScreen *screen = addScreen(60);
        auto *session = ctx()->insert(std::make_unique<FocusSession>(screen->uuid(), m_clock));
        const QVariant sessionId = QVariant::fromValue(session->id());
        const QVariant screenId = QVariant::fromValue(screen->id());
        QVariantMap info{{QStringLiteral("sessionID"), sessionId}, {QStringLiteral("screenID"), screenId}};
        QString name = QLatin1String(FocusSessionManager::kStartRequest);
        if (kind == QLatin1String("swapped"))
            info = {{QStringLiteral("sessionID"), screenId}, {QStringLiteral("screenID"), sessionId}};
        else if (kind == QLatin1String("strings"))
            info = {{QStringLiteral("sessionID"), session->id().toString()},
                    {QStringLiteral("screenID"), screen->id().toString()}};
        else if (kind == QLatin1String("missing"))
            info.remove(QStringLiteral("screenID"));
        else if (kind == QLatin1String("deleted"))
            ctx()->remove(session);
        else if (kind == QLatin1String("nocontainer"))
            m_manager->setModelContainer(nullptr);
        else if (kind == QLatin1String("othername"))
            name = QStringLiteral("Lumora.somethingElse");
        m_requests.post(name, info);
        QCoreApplication::processEvents();
        QVERIFY(!m_manager->activeSession());
        QVERIFY(m_overlay.shown.isEmpty());
        QVERIFY(!m_lock->isActive());
    }

    // opened: what the start opened, "app:<name>" or "url:<address>".
    void autoOpen_data()
    {
        QTest::addColumn<QVariant>("app");
        QTest::addColumn<QVariant>("url");
        QTest::addColumn<QStringList>("opened");
        const auto row = [](const char *name, const char *app, const char *url, const char *opened) {
            const auto value = [](const char *text) {
                return text ? QVariant(QString::fromLatin1(text)) : QVariant();
            };
            QTest::newRow(name) << value(app) << value(url)
                                << (opened ? QStringList{QString::fromLatin1(opened)} : QStringList());
        };
        row("app wins over address", "firefox", "https://example.com", "app:firefox");
        row("empty app still wins", "", "https://a.b", "app:");
        row("address", nullptr, "https://example.com/x?y=1", "url:https://example.com/x?y=1");
        row("address without scheme", nullptr, "example.com", nullptr);
        row("address that does not parse", nullptr, "http://exa mple.com:99999", nullptr);
        row("nothing", nullptr, nullptr, nullptr);
    }
    void autoOpen()
    {
        QFETCH(QVariant, app);
        QFETCH(QVariant, url);
        QFETCH(QStringList, opened);
        FocusScreen *screen = addScreen(60);
        if (app.isValid())
            screen->setAutoOpenApp(app.toString());
        if (url.isValid())
            screen->setAutoOpenURL(url.toString());
        requestStart(screen);
        QStringList openedNow;
        for (const QString &a : std::as_const(m_opener.applications))
            openedNow << QStringLiteral("app:") + a;
        for (const QUrl &u : std::as_const(m_opener.urls))
            openedNow << QStringLiteral("url:") + u.toString();
        QCOMPARE(openedNow, opened);
    }

    void lockAndOverlayGetTheScreenAsStored()
    {
        m_workspace->addApplication(QStringLiteral("org.gnome.Terminal"), 11);
        const RunningApplication clock = m_workspace->addApplication(QStringLiteral("XClock"), 12);
        FocusScreen *screen = addScreen(60);
        const QStringList allowed{QStringLiteral("org.gnome.Terminal"), QStringLiteral("b"),
                                  QStringLiteral("org.gnome.Terminal")};
        screen->setAllowedApps(allowed);
        screen->setLockMode(LockMode::preventLaunch);
        screen->setStrictModeEnabled(true);
        screen->setStrictModeType(StrictModeType::math);
        screen->setOverlayBackgroundType(OverlayBackgroundType::solid);
        screen->setOverlayBackgroundValue(QStringLiteral("#123456"));
        requestStart(screen);
        QCOMPARE(m_lock->currentMode(), AppLockManager::LockMode::preventLaunch);
        QCOMPARE(m_lock->allowedAppIds(), QSet<QString>(allowed.begin(), allowed.end()));
        QVERIFY(m_workspace->isHidden(clock));
        const FocusOverlayContent &c = m_overlay.shown.first();
        QCOMPARE(c.allowedApps, allowed); // order and duplicates as stored
        QCOMPARE(c.screenName, QStringLiteral("Deep Work"));
        QCOMPARE(c.remainingTime, 60.0);
        QCOMPARE(c.lockMode, LockMode::preventLaunch);
        QVERIFY(c.strictModeEnabled);
        QCOMPARE(c.strictModeType, StrictModeType::math);
        QCOMPARE(c.overlayBackgroundType, OverlayBackgroundType::solid);
        QCOMPARE(*c.overlayBackgroundValue, QStringLiteral("#123456"));
    }

    // script: "t<n>" n seconds of countdown, "skip" the overlay's Skip Break,
    // "end" End Session, "hidden"/"shown" what the other application is now.
    // overlays: what each overlay shown said: R<round> a round ("R" without
    // rounds), B<round> a break after it, L<round> a long one. rows: every
    // session record, "<round>:<completed>:<seconds>".
    void roundsAndBreaks_data()
    {
        QTest::addColumn<int>("rounds");
        QTest::addColumn<double>("breakLength");
        QTest::addColumn<int>("longEvery");
        QTest::addColumn<double>("longLength");
        QTest::addColumn<bool>("appsBack");
        QTest::addColumn<int>("untilSeconds"); // 0: no end
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("overlays");
        QTest::addColumn<QStringList>("rows");
        const auto row = [](const char *name, int rounds, double breakLength, int longEvery,
                            double longLength, bool appsBack, int untilSeconds, const char *script,
                            const char *overlays, const char *rows) {
            const auto words = [](const char *text) {
                return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
            };
            QTest::newRow(name) << rounds << breakLength << longEvery << longLength << appsBack
                                << untilSeconds << words(script) << words(overlays) << words(rows);
        };
        row("two rounds, applications back for the break", 2, 2, 0, 0, true, 0,
            "hidden t3 shown t2 hidden t3 shown", "R1 B1 R2", "1:1:3 2:1:3");
        row("two rounds, applications stay hidden", 2, 2, 0, 0, false, 0,
            "hidden t3 hidden t2 hidden t3 shown", "R1 B1 R2", "1:1:3 2:1:3");
        row("a skipped break", 2, 60, 0, 0, true, 0, "t3 t1 skip hidden t3", "R1 B1 R2", "1:1:3 2:1:3");
        row("an end in the break ends the cycle", 3, 60, 0, 0, true, 0, "t3 t5 end shown", "R1 B1", "1:1:3");
        row("an end in a round ends the cycle", 3, 2, 0, 0, true, 0, "t3 t2 t1 end shown", "R1 B1 R2",
            "1:1:3 2:0:1");
        row("a long break every second round", 3, 1, 2, 4, true, 0, "t3 t1 t3 t4 t3", "R1 B1 R2 L2 R3",
            "1:1:3 2:1:3 3:1:3");
        row("no break length: the next round at once", 2, 0, 0, 0, true, 0, "t3 hidden t3", "R1 R2",
            "1:1:3 2:1:3");
        row("no rounds: one session", 0, 5, 0, 0, true, 0, "t3", "R", "0:1:3");
        row("a scheduled end stops the cycle", 3, 2, 0, 0, true, 4, "t3 t1 shown", "R1 B1", "1:1:3");
        row("a scheduled end in a round completes it", 3, 1, 0, 0, true, 5, "t3 t1 t1 shown", "R1 B1 R2",
            "1:1:3 2:1:1");
    }
    void roundsAndBreaks()
    {
        QFETCH(int, rounds);
        QFETCH(double, breakLength);
        QFETCH(int, longEvery);
        QFETCH(double, longLength);
        QFETCH(bool, appsBack);
        QFETCH(int, untilSeconds);
        QFETCH(QStringList, script);
        QFETCH(QStringList, overlays);
        QFETCH(QStringList, rows);
        const RunningApplication other = m_workspace->addApplication(QStringLiteral("XClock"), 12);
        FocusScreen *screen = addScreen(3);
        screen->setRounds(rounds);
        screen->setBreakLength(breakLength);
        screen->setLongBreakEvery(longEvery);
        screen->setLongBreakLength(longLength);
        screen->setAppsBackDuringBreak(appsBack);
        ctx()->save();
        QSignalSpy phases(m_manager.get(), &FocusSessionManager::phaseChanged);
        requestStart(screen, untilSeconds ? m_clock.addSecs(untilSeconds) : QDateTime());
        QVERIFY(m_manager->activeSession());
        for (const QString &step : std::as_const(script)) {
            QCoreApplication::processEvents();
            if (step.startsWith(QLatin1Char('t'))) {
                tickTimes(step.mid(1).toInt());
            } else if (step == QLatin1String("skip")) {
                QVERIFY(m_overlay.onSkipBreak);
                m_overlay.onSkipBreak();
                QCoreApplication::processEvents();
            } else if (step == QLatin1String("end")) {
                QCOMPARE(m_manager->stopSession(), QString());
            } else if (step == QLatin1String("hidden") || step == QLatin1String("shown")) {
                QCOMPARE(m_workspace->isHidden(other), step == QLatin1String("hidden"));
            }
            if (m_overlay.pending)
                finishFade();
        }
        QVERIFY(!m_manager->activeSession());
        QVERIFY(!m_manager->isOnBreak());
        QVERIFY(!m_lock->isActive());
        QStringList shown;
        for (const FocusOverlayContent &c : std::as_const(m_overlay.shown))
            shown.append(QString(QChar(c.isBreak ? (c.isLongBreak ? u'L' : u'B') : u'R')) +
                         (c.rounds ? QString::number(c.round) : QString()));
        QCOMPARE(shown, overlays);
        QStringList recorded;
        for (const FocusSession *s : ctx()->fetch<FocusSession>(
                 {{}, {SortDescriptor<FocusSession>::by(&FocusSession::startTime)}, -1}))
            recorded.append(QStringLiteral("%1:%2:%3")
                                .arg(s->round())
                                .arg(int(s->completed()))
                                .arg(s->actualDuration().value_or(-1)));
        QCOMPARE(recorded, rows);
        // A break begins and ends: two phase changes for each.
        const int breaks = int(std::count_if(overlays.cbegin(), overlays.cend(), [](const QString &o) {
            return o.startsWith(u'B') || o.startsWith(u'L');
        }));
        QCOMPARE(phases.count(), 2 * breaks);
        // One completion notification, for the cycle, when it was not ended early.
        QCOMPARE(postedTitled(QStringLiteral("Focus Session Complete")),
                 script.contains(QStringLiteral("end")) ? 0 : 1);
    }

    // A break's overlay offers the skip; a round's does not, and a skip then
    // is refused.
    void skipOnlyInABreak()
    {
        FocusScreen *screen = addScreen(3);
        screen->setRounds(2);
        screen->setBreakLength(30);
        requestStart(screen);
        QVERIFY(!m_manager->skipBreak().isEmpty());
        QVERIFY(!m_overlay.shown.last().isBreak);
        tickTimes(3);
        QVERIFY(m_manager->isOnBreak());
        QCOMPARE(m_manager->remainingTime(), 30.0);
        QVERIFY(m_overlay.shown.last().isBreak);
        QCOMPARE(m_overlay.shown.last().remainingTime, 30.0);
        QCOMPARE(m_manager->round(), 1);
        QCOMPARE(m_manager->skipBreak(), QString());
        QCOMPARE(m_manager->round(), 2);
        QVERIFY(!m_manager->isOnBreak());
        QCOMPARE(m_manager->remainingTime(), 3.0);
    }

    // profileApps/profileSites: the profile's lists; deleted: the profile is
    // gone before the start. hidden: which of A, B, C the session hides.
    void lockProfiles_data()
    {
        QTest::addColumn<QStringList>("profileApps");
        QTest::addColumn<QStringList>("profileSites");
        QTest::addColumn<LockMode>("profileMode");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QStringList>("domains");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("the profile's blocked applications only")
            << QStringList{"B"} << QStringList{"https://www.YouTube.com/watch", "not a domain", "reddit.com"}
            << LockMode::preventLaunch << false << QStringList{"B"}
            << QStringList{"youtube.com", "reddit.com"} << true;
        QTest::newRow("a profile blocking nothing hides nothing")
            << QStringList{} << QStringList{} << LockMode::hideApps << false << QStringList{} << QStringList{}
            << false;
        QTest::newRow("a deleted profile: the screen's own lists")
            << QStringList{"B"} << QStringList{"reddit.com"} << LockMode::hideApps << true
            << QStringList{"B", "C"} << QStringList{"github.com"} << false;
    }
    void lockProfiles()
    {
        QFETCH(QStringList, profileApps);
        QFETCH(QStringList, profileSites);
        QFETCH(LockMode, profileMode);
        QFETCH(bool, deleted);
        QFETCH(QStringList, hidden);
        QFETCH(QStringList, domains);
        QFETCH(bool, blocked);
        QMap<QString, RunningApplication> apps;
        for (const QString &name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})
            apps.insert(name, m_workspace->addApplication(name, 20 + int(apps.size())));
        auto *profile = ctx()->insert(std::make_unique<AppLockProfile>(QStringLiteral("Social"), profileApps,
                                                                       profileSites, profileMode));
        FocusScreen *screen = addScreen(60);
        screen->setAllowedApps({QStringLiteral("A")});
        screen->setAllowedWebsites({QStringLiteral("github.com")});
        screen->setLockProfileID(profile->uuid());
        if (deleted)
            ctx()->remove(profile);
        ctx()->save();
        requestStart(screen);
        QStringList hiddenNow;
        for (auto it = apps.cbegin(); it != apps.cend(); ++it)
            if (m_workspace->isHidden(it.value()))
                hiddenNow.append(it.key());
        QCOMPARE(hiddenNow, hidden);
        const auto &website = m_manager->websiteSession();
        QCOMPARE(website.has_value(), !domains.isEmpty());
        if (website) {
            QCOMPARE(website->domains, domains);
            QCOMPARE(website->blocked, blocked);
        }
        const FocusOverlayContent &c = m_overlay.shown.last();
        QCOMPARE(c.blockList, !deleted);
        if (!deleted) {
            QCOMPARE(c.lockMode, profileMode);
            QCOMPARE(c.blockedApps, profileApps);
            QVERIFY(c.allowedApps.isEmpty());
            QCOMPARE(m_lock->currentMode(), AppLockManager::lockMode(profileMode));
        }
        QCOMPARE(m_manager->stopSession(), QString());
        finishFade();
        for (const auto &app : std::as_const(apps))
            QVERIFY(!m_workspace->isHidden(app));
    }

    void untrustedStillRuns()
    {
        m_accessibility->setTrusted(false);
        requestStart(addScreen(60));
        QVERIFY(m_manager->activeSession());
        QCOMPARE(m_accessibility->promptCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_sessionmanager.moc"
