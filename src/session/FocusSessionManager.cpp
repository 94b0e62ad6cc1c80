// SPDX-License-Identifier: MIT
#include "FocusSessionManager.h"

#include "Accessibility.h"
#include "AppLockManager.h"
#include "AppLockProfile.h"
#include "AppOpener.h"
#include "DisplayText.h"
#include "ExitChallenge.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "Logging.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "NotificationCenter.h"
#include "NotificationHold.h"
#include "OverlayPresenter.h"
#include "SessionPreferences.h"
#include "SessionSound.h"
#include "UserNotifications.h"
#include "WebsiteDomain.h"

#include <QUrl>
#include <QUuid>
#include <algorithm>

FocusSessionManager::FocusSessionManager(Services services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
    m_timer.setInterval(kTickIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &FocusSessionManager::tick, Qt::QueuedConnection);

    if (m_services.overlay) {
        QPointer<FocusSessionManager> weak(this);
        m_services.overlay->setOnEmergencyExit([weak] {
            QMetaObject::invokeMethod(
                weak.data(),
                [weak] {
                    if (weak)
                        weak->endSession(false);
                },
                Qt::QueuedConnection);
        });
        m_services.overlay->setOnExtendRequested([weak](int minutes) {
            if (weak)
                weak->extendSession(minutes);
        });
        m_services.overlay->setOnSkipBreak([weak] {
            QMetaObject::invokeMethod(
                weak.data(),
                [weak] {
                    if (weak)
                        weak->skipBreak();
                },
                Qt::QueuedConnection);
        });
    }
    if (m_services.lockManager) {
        connect(m_services.lockManager, &AppLockManager::hidingRefused, this, [this](const QString &reason) {
            // The lock manager has said it on standard error already.
            if (m_services.notifications)
                m_services.notifications->post(QUuid::createUuid().toString(QUuid::WithoutBraces),
                                               tr("Applications Not Hidden"), reason, false);
        });
        connect(m_services.lockManager, &AppLockManager::hidingUnavailable, this,
                [this](const QString &reason) {
                    if (m_services.notifications)
                        m_services.notifications->post(
                            QUuid::createUuid().toString(QUuid::WithoutBraces), tr("Applications Not Hidden"),
                            tr("This desktop does not let programs hide other applications (%1). "
                               "The focus overlay still covers every screen.")
                                .arg(reason),
                            false);
                });
    }
    // Start requests are handled in a later turn of the event loop; the
    // connection goes away with the manager.
    if (m_services.requests) {
        connect(
            m_services.requests, &NotificationCenter::posted, this,
            [this](const QString &name, const QVariantMap &userInfo) {
                if (name == QLatin1String(kStartRequest))
                    handleStartRequest(userInfo);
            },
            Qt::QueuedConnection);
    }
}

FocusSessionManager::~FocusSessionManager()
{
    if (m_services.overlay) {
        m_services.overlay->setOnEmergencyExit({});
        m_services.overlay->setOnExtendRequested({});
        m_services.overlay->setOnSkipBreak({});
    }
}

QDateTime FocusSessionManager::now() const
{
    return m_services.now ? m_services.now() : QDateTime::currentDateTimeUtc();
}

void FocusSessionManager::setModelContainer(ModelContainer *container)
{
    if (m_modelContainer == container)
        return;
    m_modelContainer = container;
    if (container) {
        // Records live in the container; never hold them past its life.
        connect(container, &QObject::destroyed, this, [this] {
            m_timer.stop();
            clearActive();
        });
    }
}

void FocusSessionManager::postStartRequest(NotificationCenter &center, const PersistentIdentifier &sessionID,
                                           const PersistentIdentifier &screenID, const QDateTime &until)
{
    QVariantMap info{{QLatin1String(kSessionIDKey), QVariant::fromValue(sessionID)},
                     {QLatin1String(kScreenIDKey), QVariant::fromValue(screenID)}};
    if (until.isValid())
        info.insert(QLatin1String(kUntilKey), until);
    center.post(QLatin1String(kStartRequest), info);
}

void FocusSessionManager::handleStartRequest(const QVariantMap &userInfo)
{
    const QVariant sessionValue = userInfo.value(QLatin1String(kSessionIDKey));
    const QVariant screenValue = userInfo.value(QLatin1String(kScreenIDKey));
    if (sessionValue.metaType() != QMetaType::fromType<PersistentIdentifier>() ||
        screenValue.metaType() != QMetaType::fromType<PersistentIdentifier>())
        return;
    if (!m_modelContainer) {
        Q_EMIT startRequestHandled(sessionValue.value<PersistentIdentifier>(), tr("Lumora is not ready yet"));
        return;
    }
    ModelContext *context = m_modelContainer->mainContext();
    const auto sessionID = sessionValue.value<PersistentIdentifier>();
    auto *session = context->model<FocusSession>(sessionID);
    auto *screen = context->model<FocusScreen>(screenValue.value<PersistentIdentifier>());
    if (!session || !screen) {
        Q_EMIT startRequestHandled(sessionID, tr("the focus session or its focus screen no longer exists"));
        return;
    }
    const bool started = startSession(session, screen, userInfo.value(QLatin1String(kUntilKey)).toDateTime());
    Q_EMIT startRequestHandled(sessionID, started ? QString() : runningSessionMessage());
}

QString FocusSessionManager::runningSessionMessage() const
{
    return tr("a focus session is already running: %1")
        .arg(m_activeScreen ? m_activeScreen->name() : tr("Focus Session"));
}

bool FocusSessionManager::startSession(FocusSession *session, FocusScreen *screen, const QDateTime &until)
{
    if (!session || !screen)
        return false;
    if (m_activeSession) {
        // The refused record never ran: it leaves no trace in the history.
        if (session != m_activeSession && !session->endTime() && !session->isDeleted()) {
            if (ModelContext *context = session->modelContext()) {
                context->remove(session);
                context->save();
            }
        }
        return false;
    }

    if (m_services.accessibility &&
        !m_services.accessibility->isProcessTrusted(Accessibility::TrustPrompt::no))
        m_services.accessibility->isProcessTrusted(Accessibility::TrustPrompt::yes);

    m_plan = RoundPlan::of(*screen);
    m_round = 1;
    m_onBreak = false;
    m_until = until;
    if (m_plan.rounds > 1)
        session->setRound(m_round);
    m_activeSession = session;
    m_activeScreen = screen;
    Q_EMIT activeSessionChanged();
    Q_EMIT activeScreenChanged();
    beginRound(true);

    if (m_services.notifications)
        m_services.notifications->requestAuthorization();
    return true;
}

AppLockProfile *FocusSessionManager::activeProfile() const
{
    if (!m_activeScreen || m_activeScreen->lockProfileID().isNull() || !m_modelContainer)
        return nullptr;
    const QUuid id = m_activeScreen->lockProfileID();
    const auto profiles = m_modelContainer->mainContext()->fetch<AppLockProfile>(
        {[&id](const AppLockProfile &p) { return p.uuid() == id && !p.isDeleted(); }, {}, 1});
    return profiles.value(0);
}

FocusOverlayContent FocusSessionManager::overlayContent() const
{
    const FocusScreen *screen = m_activeScreen;
    FocusOverlayContent content;
    content.screenName = screen->name();
    content.duration = m_onBreak ? m_plan.breakAfter(m_round) : screen->duration();
    content.remainingTime = m_remainingTime;
    if (const AppLockProfile *profile = activeProfile()) {
        content.lockMode = profile->mode();
        content.blockedApps = profile->blockedApps();
        content.blockList = true;
    } else {
        content.allowedApps = screen->allowedApps();
        content.lockMode = screen->lockMode();
    }
    content.strictModeEnabled = screen->strictModeEnabled();
    content.strictModeType = screen->strictModeType();
    content.strictModeSentence = screen->strictModeSentence();
    content.strictModeAnswer = screen->strictModeAnswer();
    content.overlayBackgroundType = screen->overlayBackgroundType();
    content.overlayBackgroundValue = screen->overlayBackgroundValue();
    if (m_plan.rounds > 1) {
        content.round = m_round;
        content.rounds = m_plan.rounds;
    }
    content.isBreak = m_onBreak;
    content.isLongBreak = isLongBreak();
    // Applications back for the break stand above the overlay too.
    if (m_onBreak && m_plan.appsBackDuringBreak) {
        content.allowedApps.clear();
        content.blockedApps.clear();
        content.blockList = true;
    }
    return content;
}

double FocusSessionManager::capped(double seconds) const
{
    if (!m_until.isValid())
        return seconds;
    return std::clamp(double(now().msecsTo(m_until)) / 1000.0, 0.0, seconds);
}

bool FocusSessionManager::deadlinePassed() const
{
    // Within a tick of it counts as there.
    return m_until.isValid() && now().msecsTo(m_until) < kTickIntervalMs;
}

void FocusSessionManager::beginRound(bool first)
{
    FocusScreen *screen = m_activeScreen;
    const bool wasOnBreak = m_onBreak;
    m_onBreak = false;
    setRemainingTime(capped(m_plan.roundLength));

    // The browsers keep to the screen's websites (an empty list, or one
    // without a single domain, leaves them free), or away from its
    // profile's blocked ones.
    const AppLockProfile *profile = activeProfile();
    const QStringList domains =
        WebsiteDomain::domains(profile ? profile->blockedWebsites() : screen->allowedWebsites());
    if (!domains.isEmpty())
        setWebsiteSession(WebsiteSession{screen->name(), now().addMSecs(qint64(m_remainingTime * 1000)),
                                         domains, profile != nullptr});

    if (m_services.lockManager && !m_services.lockManager->isActive()) {
        if (profile)
            m_services.lockManager->startLock(AppLockManager::lockMode(profile->mode()),
                                              profile->blockedApps(), AppLockManager::ListKind::blocked);
        else
            m_services.lockManager->startLock(AppLockManager::lockMode(screen->lockMode()),
                                              screen->allowedApps());
    }

    if (first) {
        // Other programs' notifications wait until the session is over;
        // where the desktop has no way to hold them back, it says why once,
        // on standard error, like the other things a desktop cannot do.
        if (m_services.notificationHold && SessionPreferences::doNotDisturb())
            m_services.notificationHold->hold();

        // The application wins over the address; an address that does not
        // parse with a scheme is skipped.
        if (m_services.opener) {
            if (screen->autoOpenApp()) {
                m_services.opener->openApplication(*screen->autoOpenApp());
            } else if (screen->autoOpenURL()) {
                const QUrl url(*screen->autoOpenURL(), QUrl::StrictMode);
                if (url.isValid() && !url.scheme().isEmpty())
                    m_services.opener->openURL(url);
            }
        }
    }

    if (m_services.overlay)
        m_services.overlay->show(overlayContent());

    startTimer();
    m_ticks = 0;
    m_lastTick = now();
    m_lostMs = 0;
    if (wasOnBreak)
        Q_EMIT phaseChanged();
    Q_EMIT heartbeat();
}

void FocusSessionManager::startBreak()
{
    m_onBreak = true;
    setRemainingTime(capped(m_plan.breakAfter(m_round)));
    if (m_plan.appsBackDuringBreak) {
        if (m_services.lockManager)
            m_services.lockManager->stopLock();
        setWebsiteSession(std::nullopt);
    } else if (m_websiteSession) {
        WebsiteSession moved = *m_websiteSession;
        moved.end = now().addMSecs(qint64(m_remainingTime * 1000));
        setWebsiteSession(moved);
    }
    if (m_services.overlay)
        m_services.overlay->show(overlayContent());
    startTimer();
    m_lastTick = now();
    Q_EMIT phaseChanged();
}

void FocusSessionManager::beginNextRound()
{
    ModelContext *context = m_modelContainer ? m_modelContainer->mainContext() : nullptr;
    if (!context || !m_activeScreen) {
        endSession(false);
        return;
    }
    auto *session = context->insert(std::make_unique<FocusSession>(m_activeScreen->uuid(), now()));
    session->setRound(m_round + 1);
    context->save();
    m_round += 1;
    m_activeSession = session;
    Q_EMIT activeSessionChanged();
    beginRound(false);
}

QString FocusSessionManager::skipBreak()
{
    if (!m_activeSession)
        return tr("no focus session is running");
    if (!m_onBreak || m_ending)
        return tr("no break is running");
    m_timer.stop();
    beginNextRound();
    return {};
}

void FocusSessionManager::startTimer()
{
    m_timer.stop();
    m_timer.start();
}

void FocusSessionManager::tick()
{
    if (!m_activeSession)
        return;
    // The countdown counts firings; time in which the timer did not fire
    // (a suspended machine) does not count.
    noteLostTime();
    setRemainingTime(m_remainingTime - 1.0);
    if (++m_ticks % kHeartbeatTicks == 0)
        Q_EMIT heartbeat();
    if (m_remainingTime <= 0) {
        if (m_onBreak && !deadlinePassed()) {
            m_timer.stop();
            beginNextRound();
        } else {
            endSession(true);
        }
        return;
    }
    if (m_websiteSession) {
        const QDateTime end = now().addMSecs(qint64(m_remainingTime * 1000));
        if (qAbs(end.msecsTo(m_websiteSession->end)) > kWebsiteEndDriftMs) {
            WebsiteSession moved = *m_websiteSession;
            moved.end = end;
            setWebsiteSession(moved);
        }
    }
    if (m_services.overlay)
        m_services.overlay->updateCountdown(m_remainingTime);
}

void FocusSessionManager::endSession(bool completed)
{
    if (!m_activeSession || m_ending)
        return;
    noteLostTime();
    m_timer.stop();
    // A completed round with rounds to come: recorded, then the break.
    if (completed && !m_onBreak && m_round < m_plan.rounds && !deadlinePassed()) {
        recordOutcome(true);
        saveOutcome();
        if (m_services.sound && SessionPreferences::endSound())
            m_services.sound->playComplete();
        if (m_plan.breakAfter(m_round) > 0)
            startBreak();
        else
            beginNextRound();
        return;
    }
    m_ending = completed;
    // The session is over for the browsers as soon as it ends.
    setWebsiteSession(std::nullopt);
    QPointer<FocusSessionManager> weak(this);
    FocusSession *session = m_activeSession;
    auto finish = [weak, completed, session] {
        QMetaObject::invokeMethod(
            weak.data(),
            [weak, completed, session] {
                // Finished already when the program quit during the fade.
                if (weak && weak->m_activeSession == session && weak->m_ending)
                    weak->finishSession(completed);
            },
            Qt::QueuedConnection);
    };
    if (m_services.overlay)
        m_services.overlay->hide(finish);
    else
        finish();
}

bool FocusSessionManager::isStrict() const
{
    return m_activeScreen &&
           Challenge::isInForce(m_activeScreen->strictModeEnabled(), m_activeScreen->strictModeType());
}

QString FocusSessionManager::stopSession(const FocusSession *expected, const QString &expectedScreen)
{
    if (!m_activeSession)
        return tr("no focus session is running");
    const QString name = m_activeScreen ? m_activeScreen->name() : tr("Focus Session");
    if ((expected && expected != m_activeSession) ||
        (!expectedScreen.isEmpty() && (!m_activeScreen || m_activeScreen->name() != expectedScreen)))
        return tr("the focus session asked for is no longer running (running now: %1)").arg(name);
    if (m_ending)
        return tr("the focus session \"%1\" is ending already").arg(name);
    if (isStrict())
        return tr("the focus session \"%1\" is strict: only its challenge on the overlay ends it early")
            .arg(name);
    endSession(false);
    return {};
}

QString FocusSessionManager::extendSession(int minutes, const FocusSession *expected)
{
    if (minutes < 1 || minutes > kMaxExtendMinutes)
        return tr("the minutes to add must be a whole number from 1 to %1").arg(kMaxExtendMinutes);
    if (!m_activeSession)
        return tr("no focus session is running");
    const QString name = m_activeScreen ? m_activeScreen->name() : tr("Focus Session");
    if (expected && expected != m_activeSession)
        return tr("the focus session asked for is no longer running (running now: %1)").arg(name);
    if (m_ending)
        return tr("the focus session \"%1\" is ending already").arg(name);
    setRemainingTime(m_remainingTime + minutes * 60.0);
    if (m_websiteSession) {
        WebsiteSession moved = *m_websiteSession;
        moved.end = now().addMSecs(qint64(m_remainingTime * 1000));
        setWebsiteSession(moved);
    }
    if (m_services.overlay)
        m_services.overlay->updateCountdown(m_remainingTime);
    return {};
}

void FocusSessionManager::abandonSession()
{
    if (!m_activeSession)
        return;
    if (m_timer.isActive())
        noteLostTime();
    m_timer.stop();
    // A session already ending keeps the outcome it was ending with.
    const bool completed = m_ending.value_or(false);
    if (m_services.overlay && !m_ending)
        m_services.overlay->hide({});
    finishSession(completed);
    if (m_services.lockManager)
        m_services.lockManager->finishRestoring(kQuitRestoreMs);
}

void FocusSessionManager::finishSession(bool completed)
{
    if (m_services.lockManager)
        m_services.lockManager->stopLock();
    // Let through before this program's own notification, which a paused
    // notification server would otherwise hold back too.
    if (m_services.notificationHold)
        m_services.notificationHold->release();
    // A break's round is recorded already.
    if (m_activeSession && !m_onBreak)
        recordOutcome(completed);
    if (m_activeSession && completed) {
        postCompletionNotification();
        if (m_services.sound && SessionPreferences::endSound())
            m_services.sound->playComplete();
    }
    saveOutcome();
    clearActive();
}

void FocusSessionManager::recordOutcome(bool completed)
{
    if (completed) {
        m_activeSession->complete(countdownNow());
    } else {
        m_activeSession->setEndTime(countdownNow());
        m_activeSession->setActualDuration(double(m_activeSession->startTime().msecsTo(countdownNow())) /
                                           1000.0);
        m_activeSession->setCompleted(false);
    }
}

void FocusSessionManager::saveOutcome()
{
    if (!m_modelContainer)
        return;
    // A failed save keeps the outcome pending; the store tries again.
    QString error;
    if (!m_modelContainer->mainContext()->save(&error) && m_activeSession) {
        const QString name = m_activeScreen ? m_activeScreen->name() : tr("Focus Session");
        postProblem(tr("Focus Session Not Recorded Yet"),
                    tr("The session \"%1\" could not be saved (%2). Lumora keeps it and tries again.")
                        .arg(name, error));
    }
}

void FocusSessionManager::noteLostTime()
{
    const QDateTime at = now();
    const qint64 since = m_lastTick.msecsTo(at);
    // A tick this late is not jitter: the timer stood still meanwhile.
    if (since > 2 * kTickIntervalMs)
        m_lostMs += since - kTickIntervalMs;
    m_lastTick = at;
}

QDateTime FocusSessionManager::countdownNow() const
{
    return now().addMSecs(-m_lostMs);
}

void FocusSessionManager::postProblem(const QString &title, const QString &body)
{
    qCWarning(lcSession).noquote() << QStringLiteral("Lumora: %1: %2").arg(title, body);
    if (m_services.notifications)
        m_services.notifications->post(QUuid::createUuid().toString(QUuid::WithoutBraces), title, body,
                                       false);
}

void FocusSessionManager::postCompletionNotification()
{
    if (!m_services.notifications)
        return;
    const QString name = m_activeScreen ? m_activeScreen->name() : tr("Focus Session");
    // One sound at the end: this program's own where it has one (or none,
    // as the user chose); the notification server's only where it has not.
    const bool serverSound = !m_services.sound && SessionPreferences::endSound();
    m_services.notifications->post(
        QUuid::createUuid().toString(QUuid::WithoutBraces), tr("Focus Session Complete"),
        tr("Great job! You've finished your session: %1").arg(DisplayText::capped(name)), serverSound);
}

void FocusSessionManager::setRemainingTime(double seconds)
{
    if (m_remainingTime == seconds)
        return;
    m_remainingTime = seconds;
    Q_EMIT remainingTimeChanged();
}

void FocusSessionManager::setWebsiteSession(std::optional<WebsiteSession> session)
{
    if (m_websiteSession == session)
        return;
    m_websiteSession = std::move(session);
    Q_EMIT websiteSessionChanged();
}

void FocusSessionManager::clearActive()
{
    m_ending.reset();
    const bool wasOnBreak = m_onBreak;
    m_onBreak = false;
    m_round = 0;
    m_until = {};
    setWebsiteSession(std::nullopt);
    const bool hadSession = m_activeSession != nullptr;
    const bool hadScreen = m_activeScreen != nullptr;
    m_activeSession = nullptr;
    m_activeScreen = nullptr;
    if (hadSession)
        Q_EMIT activeSessionChanged();
    if (hadScreen)
        Q_EMIT activeScreenChanged();
    setRemainingTime(0);
    if (wasOnBreak)
        Q_EMIT phaseChanged();
}
