// SPDX-License-Identifier: MIT
#include "AppDelegate.h"

#include "AppModel.h"
#include "AppSettings.h"
#include "BootTime.h"
#include "DurationFormat.h"
#include "FocusOverlayController.h"
#include "FocusScheduler.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "FocusSessionManager.h"
#include "GlobalShortcut.h"
#include "HotKeysController.h"
#include "Logging.h"
#include "LoginItem.h"
#include "MenuBarPopover.h"
#include "ModelContext.h"
#include "PlatformServices.h"
#include "RoundPlan.h"
#include "Schedule.h"
#include "SessionServices.h"
#include "StatusItem.h"
#include "StatusText.h"
#include "Store.h"
#include "ThemeStore.h"
#include "TrayIcon.h"
#include "UserNotifications.h"

#include <QApplication>
#include <QDir>
#include <QUuid>

namespace {

// A click on the tray icon first closes an open popup (Qt closes popups on
// any press outside them) and then reports the click; a click that arrives
// this soon after the close belongs to it and must not reopen the popover.
constexpr int kReopenGuardMs = 300;

// A path as the user knows it: ~/ for the home folder.
QString userPath(const QString &path)
{
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/") && path.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + path.mid(home.size());
    return path;
}

} // namespace

AppDelegate::AppDelegate(ModelContainer *container, SessionServices &sessions, PlatformServices &platform,
                         ThemeStore *themes, QObject *parent)
    : QObject(parent), m_sessions(sessions), m_platform(platform),
      m_model(std::make_unique<AppModel>(container)), m_themes(themes)
{
    bootTime = [] { return BootTime::read(); };
    now = [] { return QDateTime::currentDateTimeUtc(); };
    m_loginItem = platform.makeLoginItem(QCoreApplication::applicationFilePath());
    m_notifications = platform.makeUserNotifications();
    if (ModelContext *context = m_model->context()) {
        connect(context, &ModelContext::saveFailed, this, &AppDelegate::reportSaveFailure);
        connect(context, &ModelContext::saveRecovered, this, [this] {
            if (std::exchange(m_toldSaveFailure, false))
                qCInfo(lcShell).noquote()
                    << QStringLiteral("Lumora: The changes that could not be saved are saved now");
        });
    }
}

AppDelegate::~AppDelegate()
{
    m_hotKey.reset();
}

void AppDelegate::setLoginItem(std::unique_ptr<LoginItem> item)
{
    m_loginItem = std::move(item);
}

void AppDelegate::setUserNotifications(std::unique_ptr<UserNotifications> notifications)
{
    m_notifications = std::move(notifications);
}

void AppDelegate::reportSaveFailure(const QString &error)
{
    // Once per run of failures: the store keeps retrying on its own.
    if (std::exchange(m_toldSaveFailure, true))
        return;
    const QString path = m_model->container() ? userPath(m_model->container()->path()) : QString();
    const QString body =
        tr("Changes could not be saved to %1 (%2). Lumora keeps them and tries again.").arg(path, error);
    qCWarning(lcShell).noquote() << QStringLiteral("Lumora: ") + body;
    if (m_notifications)
        m_notifications->post(QUuid::createUuid().toString(QUuid::WithoutBraces), tr("Lumora Could Not Save"),
                              body, false);
}

bool AppDelegate::savePending()
{
    ModelContext *context = m_model->context();
    if (!context)
        return true;
    QString error;
    if (context->save(&error))
        return true;
    qCWarning(lcShell).noquote() << tr("Lumora: Changes could not be saved before quitting: %1").arg(error);
    return false;
}

int AppDelegate::closeAbandonedSessions(std::optional<QDateTime> lastAlive)
{
    const int closed =
        m_model->closeAbandonedSessions(lastAlive, now ? now() : QDateTime::currentDateTimeUtc());
    if (closed > 0) {
        qCInfo(lcShell).noquote()
            << QStringLiteral("Lumora: Closed %1 focus session(s) left open by a run that ended unexpectedly")
                   .arg(closed);
        m_model->context()->save();
    }
    return closed;
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_steps << QStringLiteral("activate");
    m_steps << QStringLiteral("sessionManager");
    FocusSessionManager &manager = m_sessions.manager();
    manager.setModelContainer(m_model->container());
    FocusOverlayController *overlay = &m_sessions.overlay();
    overlay->setAccentColor(m_themes->accent());
    connect(m_themes, &ThemeStore::accentChanged, overlay,
            [themes = m_themes.data(), overlay] { overlay->setAccentColor(themes->accent()); });
    m_steps << QStringLiteral("menuBarExtra");
    setupMenuBarExtra();
    // The countdown follows the session at once, not only on the next tick.
    connect(&manager, &FocusSessionManager::activeSessionChanged, this, &AppDelegate::updateMenuBarCountdown,
            Qt::UniqueConnection);
    connect(&manager, &FocusSessionManager::remainingTimeChanged, this, &AppDelegate::updateMenuBarCountdown,
            Qt::UniqueConnection);
    connect(&manager, &FocusSessionManager::phaseChanged, this, &AppDelegate::updateMenuBarCountdown,
            Qt::UniqueConnection);
    m_steps << QStringLiteral("globalHotKey");
    setupGlobalHotKey();
    m_steps << QStringLiteral("launchAtLogin");
    loadAndApplySettings();
    m_steps << QStringLiteral("autoStart");
    handleAutoStartOnLogin();
    m_steps << QStringLiteral("menuBarTimer");
    startMenuBarTimer();
    m_steps << QStringLiteral("scheduler");
    startScheduler();
}

void AppDelegate::startScheduler()
{
    if (m_scheduler)
        return;
    FocusScheduler::Services services;
    services.plans = [this] {
        QList<FocusScheduler::Plan> plans;
        for (const FocusScreen *screen : m_model->focusScreens()) {
            if (screen->isDeleted() || screen->schedules().isEmpty())
                continue;
            plans.append({screen->uuid(), Schedule::parseAll(screen->schedules()),
                          RoundPlan::of(*screen).totalLength()});
        }
        return plans;
    };
    if (now)
        services.now = now;
    m_scheduler = new FocusScheduler(std::move(services), this);
    connect(m_scheduler, &FocusScheduler::due, this,
            [this](const QUuid &id, const QDateTime &until) {
                FocusScreen *screen = nullptr;
                for (FocusScreen *s : m_model->focusScreens())
                    if (s->uuid() == id && !s->isDeleted())
                        screen = s;
                if (!screen)
                    return;
                const QString name = screen->name();
                qCInfo(lcShell).noquote()
                    << QStringLiteral("Lumora: Starting the scheduled focus screen \"%1\"").arg(name);
                startFocusSession(
                    screen,
                    [this, name](const QString &error) {
                        if (error.isEmpty())
                            return;
                        const QString text =
                            tr("The scheduled focus screen \"%1\" did not start: %2").arg(name, error);
                        qCWarning(lcShell).noquote() << QStringLiteral("Lumora: ") + text;
                        if (m_notifications)
                            m_notifications->post(QUuid::createUuid().toString(QUuid::WithoutBraces),
                                                  tr("Scheduled Session Skipped"), text, false);
                    },
                    until);
            });
    // Edited schedules are looked at again at once.
    connect(m_model->context(), &ModelContext::didChange, m_scheduler, [this](const QString &entity) {
        if (entity == FocusScreen::entityInfo().name)
            m_scheduler->reschedule();
    });
    m_scheduler->start();
}

void AppDelegate::applicationWillTerminate()
{
    if (m_scheduler)
        m_scheduler->stop();
    // Quitting (or a logout) in the middle of a session gives the hidden
    // applications back and records the session as ended early, instead of
    // leaving both for a later start to clean up.
    m_sessions.manager().abandonSession();
    // Typing and new records younger than the automatic save are written now.
    savePending();
    m_hotKey.reset();
    if (m_menuBarTimer) {
        m_menuBarTimer->stop();
        m_menuBarTimer->deleteLater();
        m_menuBarTimer = nullptr;
    }
}

void AppDelegate::setupMenuBarExtra()
{
    m_statusItem = new StatusItem(m_platform.makeTrayIcon(), this);
    // The icon goes to the tray host before anything else is done.
    m_platform.sendWindowRequests();
    // The icon shows by itself once a tray host starts; until then the main
    // window is the way in (see LumoraApp).
    if (!StatusItem::isTrayAvailable()) {
        qCWarning(lcShell).noquote() << tr(
            "Lumora: No system tray is available; the main window stays open instead of the tray icon");
    }
    m_statusItem->showIdle();
    m_statusItem->setAccent(m_themes->accent());
    connect(m_themes, &ThemeStore::accentChanged, m_statusItem,
            [this] { m_statusItem->setAccent(m_themes->accent()); });
    connect(m_statusItem, &StatusItem::clicked, this, &AppDelegate::togglePopover);
    // A session started from anywhere takes the popover away.
    connect(&m_sessions.manager(), &FocusSessionManager::activeSessionChanged, this, [this] {
        if (m_sessions.manager().activeSession())
            closePopover();
    });
}

// The popover's widgets are built the first time it opens: a start that
// never opens it (most starts) neither pays for them nor keeps them.
MenuBarPopover *AppDelegate::ensurePopover()
{
    if (m_popover)
        return m_popover;
    QPointer<AppDelegate> weak(this);
    MenuBarPopover::Actions actions;
    actions.start = [weak](FocusScreen *screen) {
        if (weak)
            weak->startFocusSession(screen);
    };
    actions.open = [weak] {
        if (weak)
            weak->openMainWindow();
    };
    actions.quit = [weak] {
        if (weak)
            weak->requestQuit();
        else
            QCoreApplication::exit(0);
    };
    m_popover = new MenuBarPopover(m_model.get(), m_themes, actions);
    connect(this, &QObject::destroyed, m_popover.data(), &QObject::deleteLater);
    connect(m_popover, &MenuBarPopover::closed, this, [this] { m_popoverClosed.start(); });
    return m_popover;
}

void AppDelegate::setupGlobalHotKey()
{
    if (!m_hotKeys) {
        m_hotKeyBackend = m_platform.makeHotKeyBackend();
        m_hotKeys = std::make_unique<HotKeysController>(m_hotKeyBackend.get());
    }
    const QList<AppSettings *> rows = m_model->context()->fetch<AppSettings>();
    const QString shortcut = rows.isEmpty() ? QString::fromUtf8(AppSettings::kDefaultGlobalShortcut)
                                            : rows.first()->globalShortcut();
    QPointer<AppDelegate> weak(this);
    if (registerGlobalHotKey(*m_hotKeys, shortcut, m_hotKey, this, [weak] {
            if (weak)
                weak->showPopover();
        }) == ShortcutRegistration::registered)
        m_hotKeyText = shortcut;
}

ShortcutRegistration AppDelegate::applyGlobalShortcut(const QString &text)
{
    if (!m_hotKeys)
        return ShortcutRegistration::unavailable;
    if (text.trimmed().isEmpty()) {
        m_hotKey.reset();
        m_hotKeyText.clear();
        return ShortcutRegistration::invalid;
    }
    QPointer<AppDelegate> weak(this);
    const auto show = [weak] {
        if (weak)
            weak->showPopover();
    };
    const ShortcutRegistration result = registerGlobalHotKey(*m_hotKeys, text, m_hotKey, this, show);
    if (result == ShortcutRegistration::registered) {
        m_hotKeyText = text;
    } else if (result == ShortcutRegistration::refused) {
        // Keep a working shortcut: the one that was in force before.
        if (m_hotKeyText.isEmpty() || registerGlobalHotKey(*m_hotKeys, m_hotKeyText, m_hotKey, this, show) !=
                                          ShortcutRegistration::registered) {
            m_hotKey.reset();
            m_hotKeyText.clear();
        }
    }
    return result;
}

HotKeyBackend::Keeper AppDelegate::shortcutKeeper() const
{
    return m_hotKeyBackend ? m_hotKeyBackend->keeper() : HotKeyBackend::Keeper::none;
}

void AppDelegate::loadAndApplySettings()
{
    const QList<AppSettings *> rows = m_model->context()->fetch<AppSettings>();
    if (rows.isEmpty())
        return;
    // A development run on a scratch store never touches the user's login
    // entry: its sample settings would otherwise remove a real one.
    if (Store::isOverridden())
        return;
    applyLaunchAtLogin(rows.first()->launchAtLogin());
}

bool AppDelegate::applyLaunchAtLogin(bool enabled)
{
    if (!m_loginItem)
        return false;
    QString error;
    const bool ok = enabled ? m_loginItem->registerItem(&error) : m_loginItem->unregisterItem(&error);
    if (!ok)
        qCInfo(lcShell).noquote() << QStringLiteral("Failed to apply launch at login: ") + error;
    return ok;
}

bool AppDelegate::isLoginLaunch() const
{
    if (loginLaunchMarked)
        return true;
    return StatusText::isLoginLaunch(bootTime ? bootTime() : std::nullopt,
                                     now ? now() : QDateTime::currentDateTimeUtc());
}

void AppDelegate::handleAutoStartOnLogin()
{
    if (!isLoginLaunch()) {
        qCInfo(lcShell).noquote() << QStringLiteral("Lumora: Skipping auto-start (manual launch)");
        return;
    }
    const QList<FocusScreen *> screens = m_model->autoStartFocusScreens();
    if (screens.isEmpty())
        return;
    FocusScreen *screen = screens.first();
    QTimer::singleShot(kAutoStartDelayMs, this, [this, screen] {
        if (!screen->isDeleted())
            startFocusSession(screen);
    });
}

void AppDelegate::startMenuBarTimer()
{
    if (!m_menuBarTimer) {
        m_menuBarTimer = new QTimer(this);
        m_menuBarTimer->setInterval(kMenuBarIntervalMs);
        connect(m_menuBarTimer, &QTimer::timeout, this, &AppDelegate::menuBarTick);
    }
    m_menuBarTimer->start();
}

bool AppDelegate::menuBarTick()
{
    // At rest the tray already shows the idle item: the tick only compares,
    // and queues no update (posting one is a second wake of the event loop).
    if (!m_statusItem || (!m_sessions.manager().activeSession() && m_statusItem->isIdle()))
        return false;
    QMetaObject::invokeMethod(this, &AppDelegate::updateMenuBarCountdown, Qt::QueuedConnection);
    return true;
}

void AppDelegate::updateMenuBarCountdown()
{
    if (!m_statusItem)
        return;
    const FocusSessionManager &manager = m_sessions.manager();
    if (manager.activeSession() && manager.activeScreen()) {
        const QString countdown = DurationFormat::countdown(manager.remainingTime());
        //: The tray's title during a break between rounds: "Break 04:12".
        const QString title = !manager.isOnBreak()    ? countdown
                              : manager.isLongBreak() ? tr("Long Break %1").arg(countdown)
                                                      : tr("Break %1").arg(countdown);
        m_statusItem->setTitle(title);
        m_statusItem->setToolTip(StatusText::countdownToolTip(manager.activeScreen()->name(), title));
    } else {
        m_statusItem->showIdle();
    }
}

void AppDelegate::startFocusSession(FocusScreen *screen)
{
    startFocusSession(screen, {});
}

void AppDelegate::startFocusSession(FocusScreen *screen, StartDone done, const QDateTime &until)
{
    if (!screen || screen->isDeleted()) {
        if (done)
            done(tr("the focus screen no longer exists"));
        return;
    }
    FocusSessionManager &manager = m_sessions.manager();
    // A running session is never replaced; the request leaves no record.
    if (manager.activeSession()) {
        if (done)
            done(manager.runningSessionMessage());
        return;
    }
    FocusSession *session = m_model->startFocusSession(screen);
    // A failed save is reported and retried by the store; the session runs.
    m_model->context()->save();
    if (done) {
        const PersistentIdentifier id = session->id();
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            connect(&manager, &FocusSessionManager::startRequestHandled, this,
                    [connection, id, done](const PersistentIdentifier &handled, const QString &error) {
                        if (handled != id)
                            return;
                        QObject::disconnect(*connection);
                        done(error);
                    });
    }
    FocusSessionManager::postStartRequest(m_sessions.requests(), session->id(), screen->id(), until);
    closePopover();
}

void AppDelegate::startFocusScreenNamed(const QString &name, StartDone done)
{
    for (FocusScreen *screen : m_model->focusScreens()) {
        if (screen->name() == name) {
            startFocusSession(screen, std::move(done));
            return;
        }
    }
    if (done)
        done(tr("no focus screen is named \"%1\"").arg(name));
}

void AppDelegate::openMainWindow()
{
    closePopover();
    if (openMainWindowHandler)
        openMainWindowHandler();
}

void AppDelegate::togglePopover()
{
    if (!m_statusItem)
        return;
    // During a session without a challenge the tray item offers "+5 min"
    // and "End Session" instead of the list.
    if (m_sessions.manager().activeSession()) {
        if (!m_sessions.manager().isEnding())
            m_sessions.overlay().showSessionMenu(m_statusItem->geometry().center());
        return;
    }
    if (m_popover && m_popover->isVisible()) {
        closePopover();
        return;
    }
    if (m_popoverClosed.isValid() && m_popoverClosed.elapsed() < kReopenGuardMs)
        return;
    showPopover();
}

void AppDelegate::showPopover()
{
    // The overlay stays the topmost thing on screen for the whole session:
    // the popover (with "Start" and "Quit Lumora") waits until it is over.
    if (!m_statusItem || (m_popover && m_popover->isVisible()) || m_sessions.manager().activeSession())
        return;
    ensurePopover()->showAt(m_statusItem->geometry());
}

QString AppDelegate::whyNoPopover() const
{
    const FocusSessionManager &manager = m_sessions.manager();
    if (!manager.activeSession())
        return {};
    const QString name = manager.activeScreen() ? manager.activeScreen()->name() : QString();
    if (manager.isStrict())
        return tr("the focus session \"%1\" is running; the list opens when it is over").arg(name);
    return tr("the focus session \"%1\" is running; the list opens when it is over (end it with "
              "\"End Session\" on the overlay or lumora --stop, add time with lumora --extend)")
        .arg(name);
}

QString AppDelegate::stopSession(const QString &screenName)
{
    return m_sessions.manager().stopSession(nullptr, screenName);
}

QString AppDelegate::extendSession(int minutes)
{
    return m_sessions.manager().extendSession(minutes);
}

// Quitting leaves the event loop with exit(): quit() would first ask every
// window to close, and the main window kept open without a tray refuses.
void AppDelegate::requestQuit()
{
    closePopover();
    // Under a strict session the program is left only the way the session
    // allows: the challenge comes up, and passing it ends the session early
    // (recorded as such) before the program quits.
    FocusSessionManager &manager = m_sessions.manager();
    const FocusScreen *screen = manager.activeScreen();
    if (manager.activeSession() && screen && screen->strictModeEnabled() &&
        screen->strictModeType() != StrictModeType::none) {
        const bool guarded = m_sessions.overlay().openQuitChallenge([&manager] {
            manager.abandonSession();
            QCoreApplication::exit(0);
        });
        if (guarded)
            return;
    }
    QCoreApplication::exit(0);
}

void AppDelegate::closePopover()
{
    if (m_popover && m_popover->isVisible())
        m_popover->close();
}
