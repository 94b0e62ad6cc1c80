#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The texts of the tray item and popover, and the login-launch rule.
namespace StatusText {

inline constexpr const char *kIdleToolTip = "Lumora - Focus Sessions";

// "MM:SS" of the whole seconds left (no hour field: 75 minutes is 75:00).
QString countdownTitle(double remainingTime);

// "<screen name> - <title> remaining".
QString countdownToolTip(const QString &screenName, const QString &title);

// Popover durations: "10m", "2h", "1h 30m".
QString formatDuration(double seconds);

// A launch counts as a login launch when the machine booted less than 60
// seconds before now; an unknown boot time means a manual launch.
bool isLoginLaunch(const std::optional<QDateTime> &bootTime, const QDateTime &now);

} // namespace StatusText
