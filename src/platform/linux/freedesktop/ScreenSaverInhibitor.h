// SPDX-License-Identifier: MIT
#pragma once

#include "DisplaySleepInhibitor.h"

#include <QString>

#include <optional>

// Keeps the display awake through org.freedesktop.ScreenSaver on the session
// bus; without a bus or a screen saver service it does nothing.
class ScreenSaverInhibitor : public DisplaySleepInhibitor
{
public:
    explicit ScreenSaverInhibitor(const QString &reason);
    ~ScreenSaverInhibitor() override;

private:
    std::optional<uint> m_cookie;
};
