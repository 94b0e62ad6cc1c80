// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <optional>

// The texts of the tray item and popover, and the login-launch rule.
namespace StatusText {

inline constexpr const char *kIdleToolTip = QT_TRANSLATE_NOOP("StatusText", "Lumora - Focus Sessions");

// The screen's name is cut to this length in the tray's tooltip.
inline constexpr qsizetype kMaxToolTipNameChars = 100;

// "<screen name> - <title> remaining", the name cut to kMaxToolTipNameChars
// and a NUL in it shown as U+2400 (the symbol for NUL).
QString countdownToolTip(const QString &screenName, const QString &title);

// A launch counts as a login launch when the machine booted less than 60
// seconds before now; an unknown boot time means a manual launch.
bool isLoginLaunch(const std::optional<QDateTime> &bootTime, const QDateTime &now);

} // namespace StatusText
