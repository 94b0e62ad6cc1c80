#include "StatusText.h"

#include <algorithm>
#include <cmath>

namespace StatusText {

namespace {
// Whole seconds toward zero, with values no countdown can reach clamped.
qint64 wholeSeconds(double seconds)
{
    if (!std::isfinite(seconds))
        return 0;
    return qint64(std::trunc(std::clamp(seconds, -9.0e15, 9.0e15)));
}
} // namespace

QString countdownTitle(double remainingTime)
{
    // While a session that ran past zero fades out the time can be
    // negative; the tray never shows a negative countdown.
    const qint64 total = std::max<qint64>(0, wholeSeconds(remainingTime));
    return QStringLiteral("%1:%2")
        .arg(total / 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString countdownToolTip(const QString &screenName, const QString &title)
{
    return screenName + QStringLiteral(" - ") + title + QStringLiteral(" remaining");
}

QString formatDuration(double seconds)
{
    const qint64 minutes = wholeSeconds(seconds) / 60;
    if (minutes < 60)
        return QStringLiteral("%1m").arg(minutes);
    const qint64 hours = minutes / 60;
    const qint64 rest = minutes % 60;
    if (rest == 0)
        return QStringLiteral("%1h").arg(hours);
    return QStringLiteral("%1h %2m").arg(hours).arg(rest);
}

bool isLoginLaunch(const std::optional<QDateTime> &bootTime, const QDateTime &now)
{
    if (!bootTime)
        return false;
    return double(bootTime->msecsTo(now)) / 1000.0 < 60.0;
}

} // namespace StatusText
