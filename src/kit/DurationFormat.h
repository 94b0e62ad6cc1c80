// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Every way the program prints a duration (seconds, floating point), in one
// place, each named for what it prints. Values that are not finite count as
// zero and absurdly large ones are held, so a damaged record never breaks a
// text.
namespace DurationFormat {

// Countdowns in the tray and on the overlay: "MM:SS" of the whole seconds
// left, minutes never folded into hours ("75:00"); below zero reads "00:00".
QString countdown(double seconds);

// Focus screen lengths in the main window's rows: "25 min", "2h", "1h 30m".
QString screenLength(double seconds);

// Focus screen lengths in the tray popover: "25m", "2h", "1h 30m".
QString compactLength(double seconds);

// Recorded sessions: "42s", "25m", "24m 5s"; minutes never fold into hours ("90m").
QString sessionLength(double seconds);

// Focus time totals in the statistics: "25m" below an hour, then "1h 0m", "2h 5m".
QString focusTotal(double seconds);

// Lengths as a screen reader speaks them: "1 minute", "25 minutes",
// "2 hours", "1 hour 30 minutes" (whole minutes).
QString spokenLength(double seconds);

// Whole minutes, truncated toward zero.
qint64 wholeMinutes(double seconds);

// A length as a user types it, in whole minutes (rounded): "90", "90 min",
// "1h 30m", "1h30", "1.5h", "1:30". Null for text that is no length (empty,
// a unit twice, minutes of 60 or more after a colon). Not held in any range;
// huge numbers are held at a limit far beyond any real length.
std::optional<qint64> parseMinutes(const QString &text);

} // namespace DurationFormat
