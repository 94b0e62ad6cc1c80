// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

#include <optional>

// When the machine booted, from the "btime" line of /proc/stat (whole
// seconds). Absent when it cannot be read.
namespace BootTime {
std::optional<QDateTime> read(const QString &procStatPath = QStringLiteral("/proc/stat"));
// Parses the text of /proc/stat.
std::optional<QDateTime> parse(const QByteArray &procStat);
} // namespace BootTime
