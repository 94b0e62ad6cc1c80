#include "StatusText.h"

namespace StatusText {

QString countdownToolTip(const QString &screenName, const QString &title)
{
    return screenName + QStringLiteral(" - ") + title + QStringLiteral(" remaining");
}

bool isLoginLaunch(const std::optional<QDateTime> &bootTime, const QDateTime &now)
{
    if (!bootTime)
        return false;
    return double(bootTime->msecsTo(now)) / 1000.0 < 60.0;
}

} // namespace StatusText
