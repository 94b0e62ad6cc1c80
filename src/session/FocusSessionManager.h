// SPDX-License-Identifier: MIT
#pragma once

#include "FocusOverlayView.h"
#include "ModelContainer.h"
#include "PersistentIdentifier.h"
#include "RoundPlan.h"
#include "WebsiteSession.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class Accessibility;
class AppLockManager;
class AppLockProfile;
class AppOpener;
class FocusScreen;
class FocusSession;
class NotificationCenter;
class NotificationHold;
class SessionSound;
class OverlayPresenter;
class UserNotifications;

// Runs the one focus session that can be active at a time: from the start
// request the shell posts, through the lock, the overlay and the one-second
// countdown, to the recorded outcome and the completion notification.
//
// A screen with rounds runs them one after another, each its own session
// record (its `round` set), with a break after each completed round but the
// last: the overlay says "Break" with the break's countdown and can skip it,
// and the hidden applications come back for it or stay hidden, as the screen
// says. An early end, in a round or a break, ends the whole cycle. A start
// with an end time (a schedule's) stops the cycle then, the running round
// recorded as completed.
//
// A screen that uses a lock profile hides the profile's blocked applications
// with the profile's lock mode and keeps the browsers away from its blocked
// websites; without one (or when its profile is gone) the screen's own
// allowed lists apply. Main thread only.
class FocusSessionManager : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kStartRequest = "Lumora.startFocusSession";
    static constexpr const char *kSessionIDKey = "sessionID";
    static constexpr const char *kScreenIDKey = "screenID";
    // Optional: when the session must stop (a QDateTime).
    static constexpr const char *kUntilKey = "until";
    static constexpr int kTickIntervalMs = 1000;
    // A running session says it is alive this often (in ticks): a session
    // cut off by a kill is recorded as ending at most this long too early.
    static constexpr int kHeartbeatTicks = 2;
    static constexpr int kQuitRestoreMs = 2000;
    // The end told to the browsers is told again when the countdown and the
    // clock have drifted this far apart (a suspended machine).
    static constexpr qint64 kWebsiteEndDriftMs = 2000;
    // What one request may add to a running session, in minutes.
    static constexpr int kMaxExtendMinutes = 240;

    // The services a manager works through; none is owned.
    struct Services
    {
        AppLockManager *lockManager = nullptr;
        OverlayPresenter *overlay = nullptr;
        Accessibility *accessibility = nullptr;
        AppOpener *opener = nullptr;
        UserNotifications *notifications = nullptr;
        // Where the shell posts start requests (see postStartRequest).
        NotificationCenter *requests = nullptr;
        // Other programs' notifications held back during a session, and the
        // sound at its completion, as the user's session preferences say.
        NotificationHold *notificationHold = nullptr;
        SessionSound *sound = nullptr;
        std::function<QDateTime()> now; // wall clock; the real one when empty
    };

    explicit FocusSessionManager(Services services, QObject *parent = nullptr);
    ~FocusSessionManager() override;

    ModelContainer *modelContainer() const { return m_modelContainer; }
    void setModelContainer(ModelContainer *container);

    FocusSession *activeSession() const { return m_activeSession; }
    FocusScreen *activeScreen() const { return m_activeScreen; }
    double remainingTime() const { return m_remainingTime; }
    bool isTimerRunning() const { return m_timer.isActive(); }
    // The running session is guarded by its exit challenge.
    bool isStrict() const;
    // The running session is being ended (its outcome is fixed).
    bool isEnding() const { return m_ending.has_value(); }
    // The websites the running session keeps the browsers to: set from the
    // start of a session whose screen allows at least one domain until the
    // session ends; nothing otherwise.
    const std::optional<WebsiteSession> &websiteSession() const { return m_websiteSession; }
    // The running cycle's round (1-based; during a break the one before it)
    // and how many it has; 0 when nothing runs.
    int round() const { return m_round; }
    int rounds() const { return m_activeScreen ? m_plan.rounds : 0; }
    // A break between rounds runs (activeSession() is the round before it).
    bool isOnBreak() const { return m_onBreak; }
    bool isLongBreak() const { return m_onBreak && m_plan.isLongBreakAfter(m_round); }
    // The profile whose lists the running session keeps; null for the
    // screen's own lists.
    AppLockProfile *activeProfile() const;

    AppLockManager *lockManager() const { return m_services.lockManager; }
    OverlayPresenter *overlay() const { return m_services.overlay; }

    // Posts the start request for a session and screen just recorded to the
    // managers that hear `center`.
    static void postStartRequest(NotificationCenter &center, const PersistentIdentifier &sessionID,
                                 const PersistentIdentifier &screenID, const QDateTime &until = {});

    // Returns false when the request is refused because a session runs
    // already: a running session is never replaced, and the refused
    // session's record, which never ran, is removed from the store.
    // until: when the cycle must stop (invalid: it runs its full length).
    bool startSession(FocusSession *session, FocusScreen *screen, const QDateTime &until = {});
    void endSession(bool completed);
    // The program is quitting: ends a running session at once, without
    // waiting for the overlay's fade, as an early end. Hidden applications
    // come back (waiting up to kQuitRestoreMs for the window manager) and
    // the outcome is saved.
    void abandonSession();

    // Ends the running session now, as ended early, on the user's request
    // ("End Session", `lumora --stop`). Returns why not, empty when it ends:
    // nothing runs, it is ending already, it is strict (only its challenge
    // ends it early), or it is not `expected` (a request made for a session
    // that has ended since; null: whichever runs) or of the screen named
    // `expectedScreen` (empty: any).
    QString stopSession(const FocusSession *expected = nullptr, const QString &expectedScreen = {});
    // Adds minutes (1 to kMaxExtendMinutes) to the running session's
    // countdown ("+5 min", `lumora --extend`); its record keeps the time it
    // really ran. Returns why not, empty when done: nothing runs, it is
    // ending, or the number is out of range. Strict sessions may be
    // extended: more time never weakens the commitment.
    QString extendSession(int minutes, const FocusSession *expected = nullptr);
    // Ends the running break now and starts the next round ("Skip Break").
    // Returns why not, empty when done.
    QString skipBreak();

    // One countdown step; the timer calls it every second.
    void tick();

    // The text of a refusal: "a focus session is already running: <name>".
    QString runningSessionMessage() const;

Q_SIGNALS:
    void activeSessionChanged();
    void activeScreenChanged();
    void remainingTimeChanged();
    // A start request for this session was handled: error is empty when the
    // session started, and says why not otherwise.
    void startRequestHandled(const PersistentIdentifier &sessionID, const QString &error);
    // A session is running and this process is alive: at the start and then
    // every kHeartbeatTicks ticks.
    void heartbeat();
    void websiteSessionChanged();
    // A break began or ended.
    void phaseChanged();

private:
    void setWebsiteSession(std::optional<WebsiteSession> session);
    void handleStartRequest(const QVariantMap &userInfo);
    void startTimer();
    // The running round's lock, websites, overlay and countdown.
    void beginRound(bool first);
    void startBreak();
    void beginNextRound();
    FocusOverlayContent overlayContent() const;
    // `seconds`, or less when the cycle must stop before they are over.
    double capped(double seconds) const;
    bool deadlinePassed() const;
    void finishSession(bool completed);
    // Writes the running round's outcome into its record, and saves.
    void recordOutcome(bool completed);
    void saveOutcome();
    void postCompletionNotification();
    void postProblem(const QString &title, const QString &body);
    void setRemainingTime(double seconds);
    void clearActive();
    QDateTime now() const;
    // Time in which the timer did not fire (a stopped process, a suspended
    // machine) is not counted by the countdown, nor by the session's record:
    // noteLostTime() adds what passed since the last tick beyond one tick,
    // and the record ends at countdownNow(), the clock less that time.
    void noteLostTime();
    QDateTime countdownNow() const;

    Services m_services;
    QPointer<ModelContainer> m_modelContainer;
    FocusSession *m_activeSession = nullptr;
    FocusScreen *m_activeScreen = nullptr;
    double m_remainingTime = 0;
    int m_ticks = 0;
    QDateTime m_lastTick;
    qint64 m_lostMs = 0;
    // The running session is being ended (the overlay fades out); the
    // outcome is fixed and a second end changes nothing.
    std::optional<bool> m_ending;
    std::optional<WebsiteSession> m_websiteSession;
    QTimer m_timer;
    RoundPlan m_plan;
    int m_round = 0;
    bool m_onBreak = false;
    QDateTime m_until;
};
