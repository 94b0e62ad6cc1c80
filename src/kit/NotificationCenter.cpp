// SPDX-License-Identifier: MIT
#include "NotificationCenter.h"

void NotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    Q_EMIT posted(name, userInfo);
}
