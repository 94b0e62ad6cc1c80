#pragma once

#include "Enums.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Everything the overlay shows for one session.
struct OverlayContent
{
    QString screenName;
    double duration = 0;      // the focus screen's length; not displayed
    double remainingTime = 0; // seconds left
    QStringList allowedApps;
    LockMode lockMode = LockMode::hideApps;
    bool strictModeEnabled = false;
    StrictModeType strictModeType = StrictModeType::none;
    std::optional<QString> strictModeSentence;
    std::optional<QString> strictModeAnswer;
    OverlayBackgroundType overlayBackgroundType = OverlayBackgroundType::system;
    std::optional<QString> overlayBackgroundValue;
};

// What the session manager needs of the full-screen overlay.
class OverlayPresenter
{
public:
    virtual ~OverlayPresenter() = default;

    // Covers every display; replaces whatever was shown before.
    virtual void show(const OverlayContent &content) = 0;
    // Updates the countdown of every window, keeping each one's challenge state.
    virtual void updateCountdown(double remainingTime) = 0;
    // Takes the windows down; completion runs once they are gone (at once
    // when there are none, after the fade otherwise).
    virtual void hide(std::function<void()> completion = {}) = 0;
    // Run when the user confirms leaving the session early.
    virtual void setOnEmergencyExit(std::function<void()> callback) = 0;
};
