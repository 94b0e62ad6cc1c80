// SPDX-License-Identifier: MIT
#pragma once

#include "EscapeCounter.h"
#include "OverlayPresenter.h"
#include "OverlayWindows.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class AppCatalogue;
class FocusOverlayView;
class QMenu;
class QMessageBox;
class QScreen;
class QWidget;

// One frameless, full-screen window per display while a session runs, with
// the overlay view inside. Fades in over 0.3 s and out over 0.25 s; in
// hideApps and preventLaunch clicks fall through to the allowed applications
// everywhere but on the overlay's own controls, in overlay mode the windows
// take them all. Watches Esc for the rapid exit and asks before a session is
// ended early.
//
// The windows hold for the whole session: they are override-redirect on X11,
// so no window manager closes, minimises, lowers or lists them, and an
// OverlayKeeper maps them again when someone unmaps them and raises them
// again whenever another window comes above. Lumora's confirmation may stand
// above them, and in hideApps and preventLaunch the windows of the allowed
// applications do (the keeper is handed the session's allowed list): they
// stay usable, with the overlay as the backdrop of everything else. Displays that come, go or change while
// they are up get exactly one window each, and the views keep their countdown and challenge. On Wayland each
// window is full screen on its own output (the compositor places windows; a dead client's surfaces go with
// it), with the same input region.
class FocusOverlayController : public QObject, public OverlayPresenter
{
    Q_OBJECT
public:
    static constexpr int kFadeInMs = 300;
    static constexpr int kFadeOutMs = 250;

    // catalogue: the installed applications, for the allowed applications'
    // names and icons (not owned; may be null). keeper and watchdog: the
    // platform's (PlatformServices::makeOverlayKeeper(),
    // makeOverlayWatchdog()), or doubles in tests.
    FocusOverlayController(const AppCatalogue *catalogue, std::unique_ptr<OverlayKeeper> keeper,
                           std::unique_ptr<OverlayWatchdog> watchdog, QObject *parent = nullptr);
    ~FocusOverlayController() override;

    void show(const FocusOverlayContent &content) override;
    void updateCountdown(double remainingTime) override;
    void hide(std::function<void()> completion = {}) override;
    void setOnEmergencyExit(std::function<void()> callback) override;
    void setOnExtendRequested(std::function<void(int minutes)> callback) override;
    void setOnSkipBreak(std::function<void()> callback) override;

    // The windows up now, one per display in the display list's order.
    QList<QWidget *> windows() const;
    QList<FocusOverlayView *> views() const;
    // The applications whose windows may stand above the overlay now.
    QStringList applicationsAbove() const { return m_keeper->allowedApplications(); }
    // What a killed run's overlay left on other programs' windows goes back
    // (see OverlayKeeper::putBackLeftovers).
    void putBackLeftovers() { m_keeper->putBackLeftovers(); }
    bool isShown() const { return m_shown; }
    bool isEscMonitorInstalled() const { return m_escMonitorInstalled; }
    // The confirmation while it is up.
    QMessageBox *confirmation() const;

    void setAccentColor(const QColor &accent);

    // Fades can be switched off (tests); windows then appear and go at once,
    // and hide still runs its completion from the event loop.
    void setAnimated(bool animated) { m_animated = animated; }

    // The time source of the Esc counting, in milliseconds (tests).
    void setClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }

    // Asks before ending the session early; "Cancel Focus Session" (drawn as
    // destructive) ends it, "Keep Focusing" (the default and Esc) keeps it. The alert is shown without a
    // nested event loop: the session goes on underneath, and taking the overlay down removes it.
    void confirmEmergencyExit();

    // Someone asks to quit the program while the exit challenge is in force:
    // opens the challenge on the primary display's window instead. When it is
    // passed, onPassed runs (in place of the confirmation); when it is
    // cancelled, nothing happens. False when there is no challenge to open.
    bool openQuitChallenge(std::function<void()> onPassed);

    // The tray item clicked during a session without a challenge: a menu at
    // `at` (global coordinates) with "+5 min" and "End Session", which stands
    // above the overlay. Returns it, or null (nothing shown) when no session
    // is shown or its challenge is in force.
    QMenu *showSessionMenu(const QPoint &at);

    // Test seam: the next confirmation is answered with this (true = "Cancel
    // Focus Session") instead of being shown.
    static void answerNextConfirmation(bool endSession);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QPointer<QWidget> window;
        QPointer<QScreen> screen;
    };

    QWidget *createOverlayWindow(QScreen *screen, const FocusOverlayContent &content);
    void addWindow(QScreen *screen);
    void screensChanged();
    void holdWindows();
    void updateInputRegion(QWidget *window);
    void exitRequested(FocusOverlayView *view);
    void finishConfirmation(bool endSession);
    void dismissConfirmation();
    void setupEscKeyMonitor(bool strictModeEnabled, StrictModeType strictModeType);
    void removeEscKeyMonitor();
    qint64 nowMs() const;

    QList<Entry> m_windows;
    FocusOverlayContent m_content;
    const AppCatalogue *m_catalogue = nullptr;
    bool m_shown = false;
    std::function<void()> m_onEmergencyExit;
    std::function<void(int)> m_onExtendRequested;
    std::function<void()> m_onSkipBreak;
    std::function<void()> m_onQuitChallengePassed;
    bool m_quitChallengePassed = false;
    QPointer<QMessageBox> m_confirmation;
    EscapeCounter m_escCounter;
    bool m_escMonitorInstalled = false;
    bool m_confirming = false;
    bool m_animated = true;
    QColor m_accent;
    std::function<qint64()> m_nowMs;
    QElapsedTimer m_clock;
    QTimer m_screensChanged;
    std::unique_ptr<OverlayKeeper> m_keeper;
    std::unique_ptr<OverlayWatchdog> m_watchdog;
};
