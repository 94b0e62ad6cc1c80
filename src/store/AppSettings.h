// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "PersistentModel.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// The single row of global preferences.
class AppSettings final : public PersistentModel
{
public:
    // The global shortcut of a new settings row, and the one in force while
    // the store has no settings row: Ctrl+Alt+Super+F.
    static constexpr const char *kDefaultGlobalShortcut = "\u2303\u2325\u2318F"; // ⌃⌥⌘F

    enum Col {
        Col_globalShortcut,
        Col_launchAtLogin,
        Col_defaultLockMode,
        Col_accentColor,
        Col_defaultStrictModeType
    };

    static const EntityInfo &entityInfo();
    const EntityInfo &entity() const override { return entityInfo(); }

    const QString &globalShortcut() const { return m_globalShortcut; }
    bool launchAtLogin() const { return m_launchAtLogin; }
    LockMode defaultLockMode() const { return m_defaultLockMode; }
    const QString &accentColor() const { return m_accentColor; }
    StrictModeType defaultStrictModeType() const { return m_defaultStrictModeType; }

    void setGlobalShortcut(const QString &value) { assign(m_globalShortcut, value, Col_globalShortcut); }
    void setLaunchAtLogin(bool value) { assign(m_launchAtLogin, value, Col_launchAtLogin); }
    void setDefaultLockMode(LockMode value) { assign(m_defaultLockMode, value, Col_defaultLockMode); }
    void setAccentColor(const QString &value) { assign(m_accentColor, value, Col_accentColor); }
    void setDefaultStrictModeType(StrictModeType value)
    {
        assign(m_defaultStrictModeType, value, Col_defaultStrictModeType);
    }

    AppSettings() = default;

private:
    friend struct AppSettingsColumns;
    QString m_globalShortcut = QString::fromUtf8(kDefaultGlobalShortcut);
    bool m_launchAtLogin = false;
    LockMode m_defaultLockMode = LockMode::hideApps;
    QString m_accentColor = QStringLiteral("systemBlue");
    StrictModeType m_defaultStrictModeType = StrictModeType::none;
};
