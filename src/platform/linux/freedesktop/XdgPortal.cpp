// SPDX-License-Identifier: MIT
#include "XdgPortal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace XdgPortal {

namespace {

constexpr auto kRequestInterface = "org.freedesktop.portal.Request";

} // namespace

QVariant unwrapped(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

QString senderPart(const QDBusConnection &bus)
{
    QString name = bus.baseService();
    if (name.startsWith(QLatin1Char(':')))
        name.remove(0, 1);
    return name.replace(QLatin1Char('.'), QLatin1Char('_'));
}

QString Request::newToken()
{
    static uint counter = 0;
    return QStringLiteral("lumora%1").arg(++counter);
}

Request::Request(const QDBusConnection &bus, QObject *context, Done done)
    : QObject(context), m_bus(bus), m_done(std::move(done))
{}

void Request::send(const QDBusConnection &bus, const QString &interface, const QString &method,
                   const QVariantList &arguments, QVariantMap options, QObject *context, Done done)
{
    auto *request = new Request(bus, context, std::move(done));
    if (!bus.isConnected()) {
        // Answered on the next turn, as the portal would.
        QMetaObject::invokeMethod(
            request,
            [request] {
                request->finish(failed, {{QStringLiteral("error"), QStringLiteral("no session bus")}});
            },
            Qt::QueuedConnection);
        return;
    }
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    // Listening first: the answer may come before the call's own reply.
    request->listen(QStringLiteral("%1/request/%2/%3").arg(QLatin1String(kPath), senderPart(bus), token));
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath), interface, method);
    QVariantList all = arguments;
    all.append(options);
    call.setArguments(all);
    auto *watcher = new QDBusPendingCallWatcher(request->m_bus.asyncCall(call), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request, &Request::callFinished);
}

bool Request::listen(const QString &path)
{
    m_path = path;
    return m_bus.connect(QLatin1String(kService), path, QLatin1String(kRequestInterface),
                         QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
}

void Request::stopListening()
{
    if (m_path.isEmpty())
        return;
    m_bus.disconnect(QLatin1String(kService), m_path, QLatin1String(kRequestInterface),
                     QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    m_path.clear();
}

void Request::callFinished(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (reply.isError()) {
        const QString error = reply.error().name().isEmpty()
                                  ? reply.error().message()
                                  : reply.error().name() + QStringLiteral(": ") + reply.error().message();
        finish(failed, {{QStringLiteral("error"), error}});
        return;
    }
    // Portals older than the handle token answer on a path of their own.
    const QString path = reply.value().path();
    if (!m_finished && path != m_path) {
        stopListening();
        listen(path);
    }
}

void Request::response(uint code, const QVariantMap &results)
{
    finish(code, results);
}

void Request::finish(uint code, const QVariantMap &results)
{
    if (std::exchange(m_finished, true))
        return;
    stopListening();
    // A copy: the callback may destroy the context, and this with it.
    const Done done = std::move(m_done);
    deleteLater();
    if (done)
        done(code, results);
}

} // namespace XdgPortal
