#include "DurationText.h"

#include <algorithm>
#include <cmath>

namespace {
// Far beyond any real duration, small enough to convert to an integer safely.
constexpr double kLimit = 1e15;

double sane(double value)
{
    if (!std::isfinite(value))
        return 0;
    return std::clamp(value, -kLimit, kLimit);
}
} // namespace

namespace DurationText {

qint64 wholeMinutes(double seconds)
{
    return qint64(std::trunc(sane(seconds) / 60));
}

QString forFocusScreen(double seconds)
{
    const qint64 m = wholeMinutes(seconds);
    if (m < 60)
        return QStringLiteral("%1 min").arg(m);
    const qint64 h = m / 60;
    const qint64 r = m % 60;
    if (r == 0)
        return QStringLiteral("%1h").arg(h);
    return QStringLiteral("%1h %2m").arg(h).arg(r);
}

QString forSession(double seconds)
{
    const double d = sane(seconds);
    const qint64 m = qint64(std::trunc(d / 60));
    const qint64 s = qint64(std::trunc(std::fmod(d, 60)));
    if (m < 1)
        return QStringLiteral("%1s").arg(s);
    if (s < 1)
        return QStringLiteral("%1m").arg(m);
    return QStringLiteral("%1m %2s").arg(m).arg(s);
}

} // namespace DurationText
