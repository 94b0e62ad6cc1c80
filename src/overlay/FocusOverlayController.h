#pragma once

#include "EscapeCounter.h"
#include "OverlayPresenter.h"
#include "OverlayWindows.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class FocusOverlayView;
class QWidget;

// One frameless, always-on-top, full-screen window per display while a
// session runs, with the overlay view inside. Fades in over 0.3 s and out
// over 0.25 s; in hideApps and preventLaunch clicks fall through to the
// allowed applications, in overlay mode the windows take them. Watches Esc
// for the rapid exit and asks before a session is ended early.
class FocusOverlayController : public QObject, public OverlayPresenter
{
    Q_OBJECT
public:
    static constexpr int kFadeInMs = 300;
    static constexpr int kFadeOutMs = 250;

    explicit FocusOverlayController(QObject *parent = nullptr);
    ~FocusOverlayController() override;

    void show(const FocusOverlayContent &content) override;
    void updateCountdown(double remainingTime) override;
    void hide(std::function<void()> completion = {}) override;
    void setOnEmergencyExit(std::function<void()> callback) override;

    // The windows up now, one per display in the display list's order.
    QList<QWidget *> windows() const;
    QList<FocusOverlayView *> views() const;
    bool isEscMonitorInstalled() const { return m_escMonitorInstalled; }

    void setAccentColor(const QColor &accent);

    // Fades can be switched off (tests); windows then appear and go at once,
    // and hide still runs its completion from the event loop.
    void setAnimated(bool animated) { m_animated = animated; }

    // The time source of the Esc counting, in milliseconds (tests).
    void setClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }

    // Asks before ending the session early; the first button ("Cancel Focus
    // Session") ends it.
    void confirmEmergencyExit();

    // Test seam: the next confirmation is answered with this (true = "Cancel
    // Focus Session") instead of being shown.
    static void answerNextConfirmation(bool endSession);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *createOverlayWindow(class QScreen *screen, const FocusOverlayContent &content);
    void setupEscKeyMonitor(bool strictModeEnabled, StrictModeType strictModeType);
    void removeEscKeyMonitor();
    void setWindowsAbove(bool above);
    qint64 nowMs() const;

    QList<QPointer<QWidget>> m_windows;
    std::function<void()> m_onEmergencyExit;
    EscapeCounter m_escCounter;
    bool m_escMonitorInstalled = false;
    bool m_confirming = false;
    bool m_animated = true;
    QColor m_accent;
    std::function<qint64()> m_nowMs;
    QElapsedTimer m_clock;
    std::unique_ptr<OverlayWatchdog> m_watchdog;
};
