// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "RecordFields.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// The global shortcut of a new settings row, and the one in force while the
// store has no settings row: Ctrl+Alt+Super+F.
inline constexpr const char *kLumoraDefaultGlobalShortcut = "\u2303\u2325\u2318F"; // ⌃⌥⌘F

// type, name, setter, SQL type, schema version, initial value (see RecordFields.h).
#define LUMORA_APP_SETTINGS_FIELDS(F)                                                                        \
    F(QString, globalShortcut, setGlobalShortcut, "TEXT NOT NULL", 1,                                        \
      QString::fromUtf8(kLumoraDefaultGlobalShortcut))                                                       \
    F(bool, launchAtLogin, setLaunchAtLogin, "INTEGER NOT NULL", 1, false)                                   \
    F(LockMode, defaultLockMode, setDefaultLockMode, "TEXT NOT NULL", 1, LockMode::hideApps)                 \
    F(QString, accentColor, setAccentColor, "TEXT NOT NULL", 1, QStringLiteral("systemBlue"))                \
    F(StrictModeType, defaultStrictModeType, setDefaultStrictModeType, "TEXT NOT NULL", 1,                   \
      StrictModeType::none)

// The single row of global preferences.
class AppSettings final : public PersistentModel
{
    LUMORA_RECORD_FIELDS(AppSettings, LUMORA_APP_SETTINGS_FIELDS)

public:
    static constexpr const char *kDefaultGlobalShortcut = kLumoraDefaultGlobalShortcut;

    AppSettings() = default;
};
