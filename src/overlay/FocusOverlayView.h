// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "OverlayBackground.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class AppCatalogue;
class ExitChallenge;
class ChallengeSheet;
class IconView;
class QLabel;
class QVBoxLayout;

// What one overlay view shows, taken from the running focus screen.
struct FocusOverlayContent
{
    QString screenName;
    double duration = 0; // the focus screen's length; not displayed
    double remainingTime = 0;
    QStringList allowedApps;
    LockMode lockMode = LockMode::hideApps;
    bool strictModeEnabled = false;
    StrictModeType strictModeType = StrictModeType::none;
    std::optional<QString> strictModeSentence;
    std::optional<QString> strictModeAnswer;
    OverlayBackgroundType overlayBackgroundType = OverlayBackgroundType::system;
    std::optional<QString> overlayBackgroundValue;
    // A screen with rounds: which one (1-based) and how many; 0 for a
    // screen without.
    int round = 0;
    int rounds = 0;
    // The break after `round`, not a round: the view says "Break" (or
    // "Long Break") and offers "Skip Break".
    bool isBreak = false;
    bool isLongBreak = false;
    // The session keeps a block list: the windows of every application but
    // blockedApps stand above the overlay in the click-through modes.
    bool blockList = false;
    QStringList blockedApps;
};

// The full-screen content of one overlay window: the focus screen's name and
// lock mode, the countdown, the allowed applications and the exit section
// with its challenge, over the screen's background.
//
// The window around it (frameless, on top, click-through, the Esc monitor,
// the confirmation) belongs to whoever shows it. That owner makes one view
// per display, gives it the display's picture for the system background,
// calls setRemainingTime() every second (which leaves the challenge state
// alone) and hears emergencyExitRequested(), from the "Emergency Exit" button
// or a passed challenge. The request is delivered from the event loop, after
// the click or key press that caused it has been handled, so the handler may
// run a modal confirmation or tear the view down.
class FocusOverlayView : public QWidget
{
    Q_OBJECT
public:
    // catalogue: where the allowed applications' names and icons are looked
    // up; without one the badges show what the list says.
    explicit FocusOverlayView(const FocusOverlayContent &content, QWidget *parent = nullptr,
                              const AppCatalogue *catalogue = nullptr);
    ~FocusOverlayView() override;

    const FocusOverlayContent &content() const { return m_content; }
    const QString &screenName() const { return m_content.screenName; }
    double remainingTime() const { return m_content.remainingTime; }
    void setRemainingTime(double remainingTime);

    // The display as it looked just before the overlay: blurred here and
    // shown under black at 0.85 for the system background. A null image
    // leaves plain black at 0.85.
    void setScreenGrab(const QImage &grab);

    QColor accentColor() const { return m_accent; }
    void setAccentColor(const QColor &accent);

    // Run on every exit request, before the signal. The owner's callback
    // should hold the owner weakly.
    void setOnEmergencyExitRequested(std::function<void()> callback);

    // A quit asked for while the challenge is locked (its cooldown): says so
    // under the exit button until the cooldown is over.
    void showQuitRefused();
    // The note showQuitRefused() shows, empty while none is shown.
    QString quitNotice() const;

    // The view's own challenge state (a fresh one per view).
    ExitChallenge *challenge() const { return m_challenge; }

    // Where the view's own controls are, in view coordinates: the exit
    // button, "+5 min" and "End Session" without a challenge, and the
    // challenge sheet while it is open. Where the overlay
    // lets clicks through, it still takes them here.
    QRegion interactiveRegion() const;

    // The background for the current kind, value and size.
    OverlayBackground overlayBackground();

    // "%02d:%02d" of whole minutes and seconds, rounded towards zero, never

    // What "+5 min" adds, in minutes.
    static constexpr int kQuickExtendMinutes = 5;

Q_SIGNALS:
    void emergencyExitRequested();
    // "End Session" (sessions without a challenge): end now, as ended early,
    // without asking. Delivered from the event loop.
    void endSessionRequested();
    // "+5 min" (sessions without a challenge). Delivered from the event loop.
    void extendRequested(int minutes);
    // "Skip Break" (during a break): the next round starts now. Delivered
    // from the event loop.
    void skipBreakRequested();
    // A correct challenge answer; emergencyExitRequested() follows.
    void challengePassed();
    // interactiveRegion() has changed (layout, sheet opened or closed).
    void interactiveRegionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildCountdownCard();
    QWidget *buildAllowedApps();
    QWidget *buildExitSection();
    void requestEmergencyExit();
    void syncChallenge();
    void placeSheet();

    FocusOverlayContent m_content;
    const AppCatalogue *m_catalogue = nullptr;
    QColor m_accent;
    std::function<void()> m_onEmergencyExitRequested;
    ExitChallenge *m_challenge = nullptr;

    QImage m_blurredGrab;
    OverlayBackground m_background;
    QSize m_backgroundSize;
    bool m_backgroundStale = true;

    QWidget *m_column = nullptr;
    IconView *m_modeIcon = nullptr;
    QLabel *m_countdown = nullptr;
    QWidget *m_exitButton = nullptr;
    // "+5 min" and "End Session", in sessions without a challenge.
    QList<QWidget *> m_controlButtons;
    QLabel *m_challengeCaption = nullptr;
    QLabel *m_quitNotice = nullptr;
    QWidget *m_scrim = nullptr;
    ChallengeSheet *m_sheet = nullptr;
};
