// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// In-process broadcast of named notifications with a user-info map, for
// parts of the program that must not know each other (the shell posts a
// start request, the session manager observes it). The shell owns the
// program's one center and hands it to both.
class NotificationCenter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Delivers to every observer connected to posted(), synchronously;
    // observers that must run in a later turn connect with a queued connection.
    void post(const QString &name, const QVariantMap &userInfo = {});

Q_SIGNALS:
    void posted(const QString &name, const QVariantMap &userInfo);
};
