// SPDX-License-Identifier: MIT
#include "DesktopStandIns.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDateTime>
#include <QTimer>

QDBusArgument &operator<<(QDBusArgument &argument, const StandInShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, StandInShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {

constexpr auto kPortalService = "org.freedesktop.portal.Desktop";
constexpr auto kPortalPath = "/org/freedesktop/portal/desktop";
constexpr auto kPortalInterface = "org.freedesktop.portal.GlobalShortcuts";
constexpr auto kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr auto kWatcherPath = "/StatusNotifierWatcher";

// ":1.42" -> "1_42", as the portal names its request and session objects.
QString senderPart(QString sender)
{
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    return sender.replace(QLatin1Char('.'), QLatin1Char('_'));
}

} // namespace

StandInShortcutsPortal::StandInShortcutsPortal()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QStringLiteral("stand-in shortcuts portal")))
{
    qDBusRegisterMetaType<StandInShortcut>();
    qDBusRegisterMetaType<QList<StandInShortcut>>();
}

StandInShortcutsPortal::~StandInShortcutsPortal()
{
    m_bus.unregisterObject(QLatin1String(kPortalPath));
    m_bus.unregisterService(QLatin1String(kPortalService));
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in shortcuts portal"));
}

bool StandInShortcutsPortal::start()
{
    return m_bus.isConnected() &&
           m_bus.registerObject(QLatin1String(kPortalPath), this,
                                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
           m_bus.registerService(QLatin1String(kPortalService));
}

QString StandInShortcutsPortal::preferredTrigger(const QString &id) const
{
    if (m_bindings.isEmpty())
        return {};
    for (const auto &shortcut : m_bindings.last().shortcuts)
        if (shortcut.id == id)
            return shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
    return {};
}

QDBusObjectPath StandInShortcutsPortal::respondLater(const QVariantMap &options, uint code,
                                                     const QVariantMap &results)
{
    const QString path = QStringLiteral("%1/request/%2/%3")
                             .arg(QLatin1String(kPortalPath), senderPart(message().service()),
                                  options.value(QStringLiteral("handle_token")).toString());
    // The answer follows the reply, as the user's answer to a dialog would.
    QTimer::singleShot(0, this, [this, path, code, results] {
        QDBusMessage response = QDBusMessage::createSignal(
            path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << code << results;
        m_bus.send(response);
    });
    return QDBusObjectPath(path);
}

QDBusObjectPath StandInShortcutsPortal::CreateSession(const QVariantMap &options)
{
    const QString session = QStringLiteral("%1/session/%2/%3")
                                .arg(QLatin1String(kPortalPath), senderPart(message().service()),
                                     options.value(QStringLiteral("session_handle_token")).toString());
    m_sessions.append(session);
    // Sent as a string, as the portal does.
    return respondLater(options, 0, {{QStringLiteral("session_handle"), session}});
}

QDBusObjectPath StandInShortcutsPortal::BindShortcuts(const QDBusObjectPath &session,
                                                      const QList<StandInShortcut> &shortcuts,
                                                      const QString &, const QVariantMap &options)
{
    m_bindings.append(Binding{session.path(), shortcuts});
    QList<StandInShortcut> answer;
    for (StandInShortcut shortcut : shortcuts) {
        shortcut.properties = {
            {QStringLiteral("description"), shortcut.properties.value(QStringLiteral("description"))},
            {QStringLiteral("trigger_description"),
             shortcut.properties.value(QStringLiteral("preferred_trigger"))}};
        answer.append(shortcut);
    }
    const auto path = respondLater(
        options, bindResponse,
        bindResponse == 0 ? QVariantMap{{QStringLiteral("shortcuts"), QVariant::fromValue(answer)}}
                          : QVariantMap{});
    Q_EMIT bound();
    return path;
}

bool StandInShortcutsPortal::activate(const QString &id, const QString &session)
{
    const QString path = session.isEmpty() ? (m_sessions.isEmpty() ? QString() : m_sessions.last()) : session;
    const auto timestamp = qulonglong(QDateTime::currentMSecsSinceEpoch());
    bool sent = true;
    for (const QString &member : {QStringLiteral("Activated"), QStringLiteral("Deactivated")}) {
        QDBusMessage signal =
            QDBusMessage::createSignal(QLatin1String(kPortalPath), QLatin1String(kPortalInterface), member);
        signal << QVariant::fromValue(QDBusObjectPath(path)) << id << QVariant::fromValue(timestamp)
               << QVariantMap();
        sent = m_bus.send(signal) && sent;
    }
    return sent;
}

StandInTrayWatcher::StandInTrayWatcher()
    : m_bus(
          QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in tray watcher")))
{}

StandInTrayWatcher::~StandInTrayWatcher()
{
    m_bus.unregisterObject(QLatin1String(kWatcherPath));
    m_bus.unregisterService(QLatin1String(kWatcherService));
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in tray watcher"));
}

bool StandInTrayWatcher::start()
{
    return m_bus.isConnected() &&
           m_bus.registerObject(QLatin1String(kWatcherPath), this,
                                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties |
                                    QDBusConnection::ExportAllSignals) &&
           m_bus.registerService(QLatin1String(kWatcherService));
}

void StandInTrayWatcher::RegisterStatusNotifierItem(const QString &service)
{
    // A path alone names an object of the caller.
    const QString item = service.startsWith(QLatin1Char('/'))
                             ? message().service() + service
                             : service + QStringLiteral("/StatusNotifierItem");
    m_senders.insert(item, message().service());
    if (!m_items.contains(item))
        m_items.append(item);
    Q_EMIT itemRegistered(item);
}

void StandInTrayWatcher::RegisterStatusNotifierHost(const QString &) {}

uint StandInTrayWatcher::pidOf(const QString &item) const
{
    const QDBusReply<uint> pid = m_bus.interface()->servicePid(m_senders.value(item));
    return pid.isValid() ? pid.value() : 0;
}

QVariant StandInTrayWatcher::property(const QString &item, const QString &name) const
{
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    const QString service = slash < 0 ? item : item.left(slash);
    const QString path = slash < 0 ? QStringLiteral("/StatusNotifierItem") : item.mid(slash);
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << name;
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QString StandInTrayWatcher::toolTipTitle(const QString &item) const
{
    const QVariant value = property(item, QStringLiteral("ToolTip"));
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return {};
    const QDBusArgument argument = value.value<QDBusArgument>();
    QString iconName, title, text;
    argument.beginStructure();
    argument >> iconName;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0, height = 0;
        QByteArray bytes;
        argument.beginStructure();
        argument >> width >> height >> bytes;
        argument.endStructure();
    }
    argument.endArray();
    argument >> title >> text;
    argument.endStructure();
    return title;
}
