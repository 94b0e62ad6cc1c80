// SPDX-License-Identifier: MIT
#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// A handle to one running application as the workspace sees it. Two handles
// are equal when they name the same application of the same workspace
// (their identity), whatever else was read when each was made. Live state
// (hidden or not) is asked of the workspace, never cached here.
class RunningApplication
{
public:
    RunningApplication() = default;
    // names: every name the application goes by (see AppIdentity); the
    // application id is always among them.
    RunningApplication(QString identity, std::optional<QString> appId,
                       std::optional<qint32> processIdentifier, QString localizedName = {},
                       QStringList names = {});

    // False for the default-constructed handle, which names no application.
    bool isValid() const { return !m_identity.isEmpty(); }

    // The workspace's key for the application ("pid:1234", ...).
    QString identity() const { return m_identity; }
    // The application id: a desktop-entry id or, failing that, a window class.
    std::optional<QString> appId() const { return m_appId; }
    // Absent when the process could not be determined; an absent identifier
    // never matches another one, not even another absent one.
    std::optional<qint32> processIdentifier() const { return m_processIdentifier; }
    QString localizedName() const { return m_localizedName; }
    // Desktop-entry ids, window class and instance, application ids and
    // program names, as read (see AppIdentity for how they are compared).
    QStringList names() const { return m_names; }

    friend bool operator==(const RunningApplication &a, const RunningApplication &b)
    {
        return a.isValid() && a.m_identity == b.m_identity;
    }

private:
    QString m_identity;
    std::optional<QString> m_appId;
    std::optional<qint32> m_processIdentifier;
    QString m_localizedName;
    QStringList m_names;
};

Q_DECLARE_METATYPE(RunningApplication)
