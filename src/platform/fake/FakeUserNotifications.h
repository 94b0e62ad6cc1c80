// SPDX-License-Identifier: MIT
#pragma once

#include "UserNotifications.h"

#include <QList>

// Records what would have been shown.
class FakeUserNotifications final : public UserNotifications
{
public:
    struct Posted
    {
        QString identifier, title, body;
        bool playSound = false;
    };

    void requestAuthorization() override { ++authorizationRequests; }
    void post(const QString &identifier, const QString &title, const QString &body, bool playSound) override
    {
        posted.append({identifier, title, body, playSound});
    }

    int authorizationRequests = 0;
    QList<Posted> posted;
};
