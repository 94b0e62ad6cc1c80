// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusContext>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QDBusServiceWatcher;

// A notification daemon for tests: owns org.freedesktop.Notifications on the
// session bus and keeps every notification it is sent. As Plasma's
// (setInhibitable) it also lets programs inhibit notifications: Inhibit
// returns a cookie, UnInhibit or the caller leaving the bus ends it, and the
// Inhibited property tells whether any is in force.
class NotificationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
    Q_PROPERTY(bool Inhibited READ isInhibited)
public:
    static constexpr const char *kService = "org.freedesktop.Notifications";
    static constexpr const char *kPath = "/org/freedesktop/Notifications";

    struct Notification
    {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    explicit NotificationServer(QObject *parent = nullptr);
    ~NotificationServer() override;

    // Takes the name on the session bus; an error text, empty on success.
    QString start();
    QList<Notification> received() const { return m_received; }
    // Before start(): speak Plasma's inhibition interface.
    void setInhibitable(bool on) { m_inhibitable = on; }
    bool isInhibited() const { return !m_inhibitions.isEmpty(); }
    // Inhibit calls so far.
    int inhibitCalls() const { return m_inhibitCalls; }

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout);
    QStringList GetCapabilities();
    void CloseNotification(uint id);
    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion);
    uint Inhibit(const QString &desktopEntry, const QString &reason, const QVariantMap &hints);
    void UnInhibit(uint cookie);

private:
    QList<Notification> m_received;
    uint m_lastId = 0;
    bool m_registered = false;
    bool m_inhibitable = false;
    int m_inhibitCalls = 0;
    uint m_lastCookie = 0;
    QMap<uint, QString> m_inhibitions; // cookie: the caller's bus name
    QDBusServiceWatcher *m_callers = nullptr;
};
