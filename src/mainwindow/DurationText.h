#pragma once

#include <QString>
#include <QtGlobal>

// How durations (seconds, floating point) read in the main window's rows.
namespace DurationText {

// Whole minutes, truncated toward zero. Values that are not finite count as
// zero and huge ones are clamped, so a damaged record never breaks a row.
qint64 wholeMinutes(double seconds);

// Focus screen rows: "25 min" below an hour, then "2h" or "1h 30m".
QString forFocusScreen(double seconds);

// Session rows: "42s" below a minute, then "25m" or "24m 5s"; minutes are
// never folded into hours ("90m").
QString forSession(double seconds);

} // namespace DurationText
