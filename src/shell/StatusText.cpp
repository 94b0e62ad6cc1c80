// SPDX-License-Identifier: MIT
#include "StatusText.h"

#include "DisplayText.h"

namespace StatusText {

QString countdownToolTip(const QString &screenName, const QString &title)
{
    // The tooltip also answers `lumora --status` over the bus, whose strings
    // end at a NUL: a NUL is shown as the symbol for one, and what follows it stays.
    QString name = DisplayText::capped(screenName, kMaxToolTipNameChars);
    name.replace(QChar(0), QChar(0x2400));
    return QCoreApplication::translate("StatusText", "%1 - %2 remaining").arg(name, title);
}

bool isLoginLaunch(const std::optional<QDateTime> &bootTime, const QDateTime &now)
{
    if (!bootTime)
        return false;
    return double(bootTime->msecsTo(now)) / 1000.0 < 60.0;
}

} // namespace StatusText
