// SPDX-License-Identifier: MIT
// The display-sleep inhibitor over org.freedesktop.ScreenSaver on the
// session bus.
#include "ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace {

constexpr int kCallTimeoutMs = 2000;

QDBusMessage screenSaverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(const QString &reason)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("Lumora") << reason;
    const QDBusReply<uint> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.isValid())
        m_cookie = reply.value();
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    if (!m_cookie)
        return;
    QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
    call << *m_cookie;
    QDBusConnection::sessionBus().send(call);
}
