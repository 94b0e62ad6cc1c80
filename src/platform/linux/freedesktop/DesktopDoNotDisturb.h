// SPDX-License-Identifier: MIT
#pragma once

#include "DoNotDisturb.h"

#include <QStringList>

// Do not disturb on the Linux desktops that offer it, tried in this order:
// - KDE Plasma: the notification server's inhibition (Inhibit and UnInhibit
//   on org.freedesktop.Notifications, found through its Inhibited
//   property); it ends with this process, so a crash leaves nothing behind;
// - GNOME: the org.gnome.desktop.notifications show-banners setting,
//   through the gsettings tool, restored to what it was;
// - mako: its do-not-disturb mode (makoctl mode -a / -r);
// - dunst: pausing it (dunstctl set-paused), which also holds back this
//   program's own notifications until it is unpaused.
// Tools are run directly, never through a shell, with a time limit.
class DesktopDoNotDisturb : public DoNotDisturb
{
public:
    static constexpr int kToolTimeoutMs = 3000;

    std::optional<QJsonObject> prepare(QString *why) override;
    bool hold(const QJsonObject &record) override;
    void release(const QJsonObject &record) override;

private:
    // The tool's standard output, trimmed; nothing when it is not installed,
    // fails or takes too long.
    static std::optional<QString> run(const QString &tool, const QStringList &arguments);
    static bool isGnome();
    static bool hasKdeInhibition();

    // The server's cookie while this process inhibits notifications.
    std::optional<uint> m_kdeCookie;
};
