#include "StatusText.h"

namespace StatusText {

QString countdownToolTip(const QString &screenName, const QString &title)
{
    return QCoreApplication::translate("StatusText", "%1 - %2 remaining").arg(screenName, title);
}

bool isLoginLaunch(const std::optional<QDateTime> &bootTime, const QDateTime &now)
{
    if (!bootTime)
        return false;
    return double(bootTime->msecsTo(now)) / 1000.0 < 60.0;
}

} // namespace StatusText
