// SPDX-License-Identifier: MIT
#include "HiddenWindowsRecord.h"

#include "Logging.h"

#include <QJsonDocument>

#include <limits>

namespace HiddenWindowsRecord {

bool namesProcessAndApplication(const QJsonObject &entry, const QString &identityKey)
{
    const qint64 pid = entry.value(QLatin1String("pid")).toInteger();
    const QString identity = entry.value(identityKey).toString();
    if (pid > 0 && pid <= std::numeric_limits<qint32>::max() && !identity.isEmpty())
        return true;
    qCInfo(lcPlatform).noquote()
        << QStringLiteral("Lumora: A window left hidden by an earlier run is not shown again: its record "
                          "does not name its process and application (%1)")
               .arg(QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact)).left(200));
    return false;
}

} // namespace HiddenWindowsRecord
