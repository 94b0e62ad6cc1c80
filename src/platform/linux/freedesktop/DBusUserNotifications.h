// SPDX-License-Identifier: MIT
#pragma once

#include "UserNotifications.h"

#include <QString>

// org.freedesktop.Notifications on the session bus. Calls are asynchronous;
// with no bus or no server nothing happens.
class DBusUserNotifications final : public UserNotifications
{
public:
    static constexpr const char *kService = "org.freedesktop.Notifications";
    static constexpr const char *kPath = "/org/freedesktop/Notifications";
    static constexpr const char *kInterface = "org.freedesktop.Notifications";
    // Longer bodies are cut: a notification shows a few lines.
    static constexpr qsizetype kMaxBodyChars = 1000;

    explicit DBusUserNotifications(QString appName = QStringLiteral("Lumora"),
                                   QString desktopEntry = QStringLiteral("lumora"));

    void requestAuthorization() override;
    void post(const QString &identifier, const QString &title, const QString &body, bool playSound) override;

private:
    QString m_appName;
    QString m_desktopEntry;
};
