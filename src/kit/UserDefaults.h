// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>

#include <memory>

// The per-user preference store ("settings.tab", "appearance.accent", ...):
// an INI file at $XDG_CONFIG_HOME/Lumora/Lumora.conf, looked up afresh on
// every call so that a changed environment is honoured.
namespace UserDefaults {
QString filePath();
std::unique_ptr<QSettings> open();
} // namespace UserDefaults
