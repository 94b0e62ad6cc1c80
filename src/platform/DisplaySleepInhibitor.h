#pragma once

#include <QString>

#include <memory>

// Keeps the display awake for as long as it lives, where the desktop offers
// that; otherwise it does nothing.
class DisplaySleepInhibitor
{
public:
    virtual ~DisplaySleepInhibitor() = default;

    // Asks the desktop to keep the display awake, giving the reason.
    static std::unique_ptr<DisplaySleepInhibitor> inhibit(const QString &reason);
};
