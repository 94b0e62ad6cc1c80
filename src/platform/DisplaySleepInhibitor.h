// SPDX-License-Identifier: MIT
#pragma once

// Keeps the display awake for as long as it lives, where the desktop offers
// that; otherwise it does nothing. Made by PlatformServices.
class DisplaySleepInhibitor
{
public:
    virtual ~DisplaySleepInhibitor() = default;
};
