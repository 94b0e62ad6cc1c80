#include "DBusRemoteControl.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace {

// A start request is answered once the session runs; that takes the lock
// sweep and the overlay, well under this on any machine.
constexpr int kSendTimeoutMs = 30000;
constexpr auto kErrorFailed = "io.github.lumora.Lumora.Error.Failed";

QString methodFor(RemoteControl::Request request)
{
    switch (request) {
    case RemoteControl::Request::showPopover:
        return QStringLiteral("ShowPopover");
    case RemoteControl::Request::startFocusScreen:
        return QStringLiteral("StartFocusScreen");
    case RemoteControl::Request::status:
        return QStringLiteral("Status");
    case RemoteControl::Request::openMainWindow:
        break;
    }
    return QStringLiteral("OpenMainWindow");
}

} // namespace

DBusRemoteControl::DBusRemoteControl(QString serviceName, QObject *parent)
    : RemoteControl(parent), m_serviceName(std::move(serviceName))
{}

bool DBusRemoteControl::serve()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // Queued: the name of a run that just died passes to this one as soon as
    // the bus has noticed.
    const auto reply = bus.interface()->registerService(m_serviceName, QDBusConnectionInterface::QueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return false;
    bus.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAllSlots);
    return true;
}

RemoteControl::Reply DBusRemoteControl::send(Request request, const QString &argument)
{
    Reply result;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        result.error = QStringLiteral("no session bus");
        return result;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(m_serviceName, QLatin1String(kPath),
                                                          QLatin1String(kInterface), methodFor(request));
    if (request == Request::startFocusScreen)
        message << argument;
    const QDBusMessage reply = bus.call(message, QDBus::Block, kSendTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // An error of this interface is the running instance's answer;
        // anything else means it was never reached.
        result.outcome = reply.errorName().startsWith(QLatin1String(kInterface))
                             ? Reply::Outcome::refused
                             : Reply::Outcome::unreachable;
        result.error = reply.errorMessage();
        return result;
    }
    result.outcome = Reply::Outcome::done;
    if (request == Request::status)
        result.status = reply.arguments().value(0).toStringList();
    return result;
}

void DBusRemoteControl::ShowPopover()
{
    Q_EMIT popoverRequested();
}

void DBusRemoteControl::OpenMainWindow()
{
    Q_EMIT mainWindowRequested();
}

void DBusRemoteControl::StartFocusScreen(const QString &name)
{
    if (!calledFromDBus())
        return;
    if (!startHandler) {
        sendErrorReply(QLatin1String(kErrorFailed), QStringLiteral("Lumora is not ready yet"));
        return;
    }
    // Answered once the session has started (or was refused).
    setDelayedReply(true);
    QDBusMessage request = message();
    QDBusConnection bus = connection();
    startHandler(name, [request, bus](const QString &error) mutable {
        bus.send(error.isEmpty() ? request.createReply()
                                 : request.createErrorReply(QLatin1String(kErrorFailed), error));
    });
}

QStringList DBusRemoteControl::Status()
{
    return statusHandler ? statusHandler() : QStringList{QString(), QString()};
}
