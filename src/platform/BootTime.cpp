// SPDX-License-Identifier: MIT
#include "BootTime.h"

#include <QFile>

namespace BootTime {

std::optional<QDateTime> parse(const QByteArray &procStat)
{
    for (const QByteArray &line : procStat.split('\n')) {
        if (!line.startsWith("btime "))
            continue;
        bool ok = false;
        const qint64 seconds = line.mid(6).trimmed().toLongLong(&ok);
        if (!ok || seconds <= 0)
            return std::nullopt;
        return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    }
    return std::nullopt;
}

std::optional<QDateTime> read(const QString &procStatPath)
{
    QFile file(procStatPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // /proc files report size 0; read until the end.
    return parse(file.readAll());
}

} // namespace BootTime
