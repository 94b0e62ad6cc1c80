// SPDX-License-Identifier: MIT
#include "DBusUserNotifications.h"

#include "DisplayText.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>

namespace {
QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(QLatin1String(DBusUserNotifications::kService),
                                          QLatin1String(DBusUserNotifications::kPath),
                                          QLatin1String(DBusUserNotifications::kInterface), method);
}
} // namespace

DBusUserNotifications::DBusUserNotifications(QString appName, QString desktopEntry)
    : m_appName(std::move(appName)), m_desktopEntry(std::move(desktopEntry))
{}

void DBusUserNotifications::requestAuthorization()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.send(call(QStringLiteral("GetCapabilities")));
}

void DBusUserNotifications::post(const QString &identifier, const QString &title, const QString &body,
                                 bool playSound)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1))); // normal; a byte on the wire
    hints.insert(QStringLiteral("desktop-entry"), m_desktopEntry);
    if (playSound)
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("complete"));
    else
        hints.insert(QStringLiteral("suppress-sound"), true);
    // Not part of the standard: lets the request be told apart in logs and tests.
    hints.insert(QStringLiteral("x-lumora-request-id"), identifier);

    // Servers may read the body as markup (whether they advertise "body-markup"
    // or not): it goes escaped, so names and error details are shown as written.
    const QString shownBody = DisplayText::markupEscaped(DisplayText::capped(body, kMaxBodyChars));
    QDBusMessage message = call(QStringLiteral("Notify"));
    message << m_appName << uint(0) << QStringLiteral("lumora") << DisplayText::capped(title) << shownBody
            << QStringList() << hints << int(-1);
    bus.send(message);
}
