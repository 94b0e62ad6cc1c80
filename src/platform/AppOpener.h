// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

// Opening an application or a web address for the user. Failures are not
// reported: the caller carries on either way.
class AppOpener
{
public:
    virtual ~AppOpener() = default;
    // name: a desktop-entry id ("firefox", "org.gnome.Terminal") or an
    // absolute path to a .desktop file.
    virtual void openApplication(const QString &name) = 0;
    virtual void openURL(const QUrl &url) = 0;
};
