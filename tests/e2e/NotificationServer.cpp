// SPDX-License-Identifier: MIT
#include "NotificationServer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusServiceWatcher>

NotificationServer::NotificationServer(QObject *parent) : QObject(parent) {}

NotificationServer::~NotificationServer()
{
    if (!m_registered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QLatin1String(kPath));
    bus.unregisterService(QLatin1String(kService));
}

QString NotificationServer::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return QStringLiteral("no session bus");
    const auto exported = m_inhibitable
                              ? QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties
                              : QDBusConnection::ExportAllSlots;
    if (!bus.registerObject(QLatin1String(kPath), this, exported))
        return QStringLiteral("could not export the server: ") + bus.lastError().message();
    const auto reply =
        bus.interface()->registerService(QLatin1String(kService), QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QLatin1String(kPath));
        return QStringLiteral("the notification service name is taken");
    }
    m_registered = true;
    return {};
}

uint NotificationServer::Notify(const QString &appName, uint replacesId, const QString &appIcon,
                                const QString &summary, const QString &body, const QStringList &actions,
                                const QVariantMap &hints, int expireTimeout)
{
    m_received.append({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return replacesId != 0 ? replacesId : ++m_lastId;
}

QStringList NotificationServer::GetCapabilities()
{
    return {QStringLiteral("body"), QStringLiteral("sound")};
}

void NotificationServer::CloseNotification(uint) {}

QString NotificationServer::GetServerInformation(QString &vendor, QString &version, QString &specVersion)
{
    vendor = QStringLiteral("Lumora tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("lumora-test-notifications");
}

uint NotificationServer::Inhibit(const QString &, const QString &, const QVariantMap &)
{
    if (!m_inhibitable) {
        sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("no inhibition here"));
        return 0;
    }
    ++m_inhibitCalls;
    const QString caller = message().service();
    if (!m_callers) {
        m_callers = new QDBusServiceWatcher(QString(), connection(),
                                            QDBusServiceWatcher::WatchForUnregistration, this);
        connect(m_callers, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString &name) {
            m_callers->removeWatchedService(name);
            for (auto it = m_inhibitions.begin(); it != m_inhibitions.end();)
                it = it.value() == name ? m_inhibitions.erase(it) : std::next(it);
        });
    }
    m_callers->addWatchedService(caller);
    m_inhibitions.insert(++m_lastCookie, caller);
    return m_lastCookie;
}

void NotificationServer::UnInhibit(uint cookie)
{
    m_inhibitions.remove(cookie);
}
