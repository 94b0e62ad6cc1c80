// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "GlobalShortcut.h"
#include "HotKeyBackend.h"
#include "MenuBarPopover.h"
#include "StatusItem.h"

#include <functional>
#include <memory>
#include <optional>

class AppModel;
class FocusScheduler;
class FocusScreen;
class HotKey;
class HotKeysController;
class LoginItem;
class PlatformServices;
class SessionServices;
class UserNotifications;

class ModelContainer;
class ThemeStore;

// The shell's controller: the tray item and popover, the global shortcut,
// the launch-at-login entry, the auto-start after a login launch and the
// one-second countdown in the tray. Every session started from the shell
// goes through startFocusSession().
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAutoStartDelayMs = 500;
    static constexpr int kMenuBarIntervalMs = 1000;

    // sessions: the session machinery the shell built; platform: where the
    // delegate gets its desktop services (login item, notifications, hot
    // keys). The tray item, popover and overlay take their accent from
    // `themes` (not null, outliving the delegate).
    AppDelegate(ModelContainer *container, SessionServices &sessions, PlatformServices &platform,
                ThemeStore *themes, QObject *parent = nullptr);
    ~AppDelegate() override;

    AppModel *model() const { return m_model.get(); }
    StatusItem *statusItem() const { return m_statusItem; }
    // Built when first shown; null until then.
    MenuBarPopover *popover() const { return m_popover; }
    HotKey *hotKey() const { return m_hotKey.get(); }
    // Makes `text` the global shortcut at once: the old combination is
    // released and the new one registered. When the desktop refuses the new
    // one, the old one is registered again. An empty text releases it.
    ShortcutRegistration applyGlobalShortcut(const QString &text);
    // The shortcut text registered now (empty when none).
    const QString &globalShortcutInForce() const { return m_hotKeyText; }
    // Who holds the global shortcut in this session (nobody before the
    // launch sequence set it up).
    HotKeyBackend::Keeper shortcutKeeper() const;

    // What the shell supplies: bringing the main window forward.
    std::function<void()> openMainWindowHandler;
    // Set for a start by the autostart entry (its --login argument): a login
    // launch whenever the login happens. Without it the boot-time rule decides.
    bool loginLaunchMarked = false;
    // The boot time and clock used by isLoginLaunch (tests replace them).
    std::function<std::optional<QDateTime>()> bootTime;
    std::function<QDateTime()> now;
    // The login-item service (XDG autostart for the running program by default).
    void setLoginItem(std::unique_ptr<LoginItem> item);

    // The launch sequence, in order. steps names them as they run (tests).
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    QStringList steps() const { return m_steps; }

    void setupMenuBarExtra();
    void setupGlobalHotKey();
    void loadAndApplySettings();
    void handleAutoStartOnLogin();
    // Starts the scheduler: scheduled screens start through
    // startFocusSession() at their times (and now, for a window open at
    // this start).
    void startScheduler();
    FocusScheduler *scheduler() const { return m_scheduler; }
    void startMenuBarTimer();
    // One tick of the menu bar timer: queues updateMenuBarCountdown() when
    // the tray may have to change, and does nothing else at rest. True when
    // an update was queued.
    bool menuBarTick();

    void startFocusSession(FocusScreen *screen);
    // The same, calling done once the session has started (empty error) or
    // was refused (the reason). A start while a session runs is refused at
    // once and records nothing.
    using StartDone = std::function<void(const QString &error)>;
    // until: when the session must stop (a schedule's end); invalid: none.
    void startFocusSession(FocusScreen *screen, StartDone done, const QDateTime &until = {});
    // Starts the focus screen with exactly this name, as above; an error
    // when none has it.
    void startFocusScreenNamed(const QString &name, StartDone done);

    // Closes the session rows a run that died left open: not completed,
    // ended at lastAlive (or at their start when that is unknown or earlier).
    int closeAbandonedSessions(std::optional<QDateTime> lastAlive);
    // Writes what is pending; on failure says so on standard error.
    bool savePending();
    // Where problems the user must hear of are posted (a desktop notification
    // service by default; tests replace it).
    void setUserNotifications(std::unique_ptr<UserNotifications> notifications);
    void openMainWindow();
    void togglePopover();
    void showPopover();
    // Why the popover would not open now (a session runs), empty when it would.
    QString whyNoPopover() const;
    // `lumora --stop` and `--extend`: why not, empty when done (see
    // FocusSessionManager::stopSession and extendSession).
    QString stopSession(const QString &screenName);
    QString extendSession(int minutes);
    void closePopover();
    // "Quit Lumora" from the popover or a menu; guarded by the exit
    // challenge while a strict session runs.
    void requestQuit();
    void updateMenuBarCountdown();
    bool applyLaunchAtLogin(bool enabled);
    bool isLoginLaunch() const;

private:
    SessionServices &m_sessions;
    PlatformServices &m_platform;
    std::unique_ptr<AppModel> m_model;
    QPointer<ThemeStore> m_themes;
    QPointer<StatusItem> m_statusItem;
    QPointer<MenuBarPopover> m_popover;
    std::unique_ptr<HotKey> m_hotKey;
    QString m_hotKeyText;
    std::unique_ptr<HotKeyBackend> m_hotKeyBackend;
    // Declared after the backend: goes first and unregisters from it.
    std::unique_ptr<HotKeysController> m_hotKeys;
    std::unique_ptr<LoginItem> m_loginItem;
    QTimer *m_menuBarTimer = nullptr;
    FocusScheduler *m_scheduler = nullptr;
    QElapsedTimer m_popoverClosed;
    QStringList m_steps;
    std::unique_ptr<UserNotifications> m_notifications;
    bool m_toldSaveFailure = false;

    void reportSaveFailure(const QString &error);
    MenuBarPopover *ensurePopover();
};
