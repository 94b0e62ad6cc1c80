// SPDX-License-Identifier: MIT
#pragma once

#include "RunningApplication.h"

// Result of an accessibility call; success is 0, as callers test it.
enum class AccessibilityError { success = 0, notTrusted, invalidElement, cannotComplete };

// The accessibility service: whether this program may act on other
// applications, and the "hidden" attribute of an application element.
// On X11 the program is trusted when an EWMH window manager runs, and
// setting "hidden" iconifies or restores the application's windows through
// that window manager, without activating or raising anything.
class Accessibility
{
public:
    Accessibility() = default;
    Accessibility(const Accessibility &) = delete;
    Accessibility &operator=(const Accessibility &) = delete;
    virtual ~Accessibility() = default;

    enum class TrustPrompt { no, yes };
    // With TrustPrompt::yes the platform may ask the user to grant trust
    // (X11 has nothing to ask; the answer is the same).
    virtual bool isProcessTrusted(TrustPrompt prompt = TrustPrompt::no) = 0;

    // Sets the "hidden" attribute of the application's element.
    virtual AccessibilityError setHidden(const RunningApplication &app, bool hidden) = 0;
};
