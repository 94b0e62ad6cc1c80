// SPDX-License-Identifier: MIT
#pragma once
// What the session benchmarks share: the start request they time from, and
// how they print their figures.
#include "SingleInstance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>

namespace BenchReport {

inline void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// "min  median  max" of the values, in milliseconds; `none` when empty.
inline QString figures(QList<double> values, const QString &none)
{
    if (values.isEmpty())
        return none;
    std::sort(values.begin(), values.end());
    return QStringLiteral("min %1  median %2  max %3")
        .arg(values.first(), 6, 'f', 1)
        .arg(values.at(values.size() / 2), 6, 'f', 1)
        .arg(values.last(), 6, 'f', 1);
}

// The StartFocusScreen call a second `lumora --start` makes on the session
// bus, sent without waiting for the answer.
inline void sendStartRequest(const QString &screen)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        SingleInstance::serviceName(), QStringLiteral("/io/github/lumora/Lumora"),
        QStringLiteral("io.github.lumora.Lumora"), QStringLiteral("StartFocusScreen"));
    message << screen;
    QDBusConnection::sessionBus().asyncCall(message);
}

} // namespace BenchReport
