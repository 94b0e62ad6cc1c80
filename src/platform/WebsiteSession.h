// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// What a connected browser is told while a focus session keeps it to a few
// websites: the focus screen's name, when the session is expected to end
// (for the time left on the browser's page) and the allowed domains (each
// allows its subdomains too).
struct WebsiteSession
{
    QString screenName;
    QDateTime end;
    QStringList domains;

    friend bool operator==(const WebsiteSession &, const WebsiteSession &) = default;
};
