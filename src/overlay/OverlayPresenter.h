// SPDX-License-Identifier: MIT
#pragma once

#include "FocusOverlayView.h"

#include <functional>

// What the session manager needs of the full-screen overlay.
class OverlayPresenter
{
public:
    virtual ~OverlayPresenter() = default;

    // Covers every display; replaces whatever was shown before.
    virtual void show(const FocusOverlayContent &content) = 0;
    // Updates the countdown of every window, keeping each one's challenge state.
    virtual void updateCountdown(double remainingTime) = 0;
    // Takes the windows down; completion runs once they are gone (at once
    // when there are none, after the fade otherwise).
    virtual void hide(std::function<void()> completion = {}) = 0;
    // Run when the user confirms leaving the session early.
    virtual void setOnEmergencyExit(std::function<void()> callback) = 0;
    // Run when the user asks on the overlay for more time ("+5 min").
    virtual void setOnExtendRequested(std::function<void(int minutes)> callback) { Q_UNUSED(callback); }
    // Run when the user skips a break on the overlay ("Skip Break").
    virtual void setOnSkipBreak(std::function<void()> callback) { Q_UNUSED(callback); }
};
