// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// What a connected browser is told while a focus session keeps it to a few
// websites or away from some: the focus screen's name, when the session is
// expected to end (for the time left on the browser's page) and the domains
// (each stands for its subdomains too), the only ones allowed or, when
// `blocked`, the ones refused.
struct WebsiteSession
{
    QString screenName;
    QDateTime end;
    QStringList domains;
    bool blocked = false;

    friend bool operator==(const WebsiteSession &, const WebsiteSession &) = default;
};
