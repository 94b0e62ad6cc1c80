// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Posting notifications to the user. Failures are never reported back: a
// desktop without a notification server simply shows nothing.
class UserNotifications
{
public:
    virtual ~UserNotifications() = default;

    // Asks the notification service whether and how it can show alerts and
    // play sounds. The answer is not used by the caller.
    virtual void requestAuthorization() = 0;

    // Shows a notification at once. identifier is unique per request.
    virtual void post(const QString &identifier, const QString &title, const QString &body,
                      bool playSound) = 0;
};
