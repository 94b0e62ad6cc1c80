#include "SingleInstance.h"

#include "Store.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <cstdio>

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) {}

QString SingleInstance::serviceName()
{
    const QString base = QLatin1String(kInterface);
    if (!Store::isOverridden())
        return base;
    const QByteArray hash =
        QCryptographicHash::hash(Store::path().toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    return base + QStringLiteral(".dev_") + QString::fromLatin1(hash);
}

SingleInstance::Role SingleInstance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Role::alone;
    const auto reply = bus.interface()->registerService(serviceName(), QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return Role::alone;
    if (reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return Role::secondary;
    bus.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAllSlots);
    return Role::primary;
}

int SingleInstance::forward(const CommandLine &command)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QString method = QStringLiteral("OpenMainWindow");
    QVariantList args;
    if (command.startScreen) {
        method = QStringLiteral("StartFocusScreen");
        args << *command.startScreen;
    } else if (command.showPopover) {
        method = QStringLiteral("ShowPopover");
    } else if (command.status) {
        method = QStringLiteral("Status");
    }
    QDBusMessage message = QDBusMessage::createMethodCall(serviceName(), QLatin1String(kPath),
                                                          QLatin1String(kInterface), method);
    message.setArguments(args);
    const QDBusMessage reply = bus.call(message, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        std::fprintf(stderr, "lumora: %s\n", qPrintable(reply.errorMessage()));
        return 1;
    }
    if (command.status) {
        const QStringList status = reply.arguments().value(0).toStringList();
        const QString title = status.value(0);
        std::printf("%s\n", qPrintable(title.isEmpty() ? QStringLiteral("idle") : status.value(1)));
    }
    return 0;
}

void SingleInstance::ShowPopover()
{
    Q_EMIT popoverRequested();
}

void SingleInstance::OpenMainWindow()
{
    Q_EMIT mainWindowRequested();
}

void SingleInstance::StartFocusScreen(const QString &name)
{
    const QString error = startHandler ? startHandler(name) : QStringLiteral("Lumora is not ready yet");
    if (!error.isEmpty() && calledFromDBus())
        sendErrorReply(QStringLiteral("io.github.lumora.Lumora.Error.NoSuchFocusScreen"), error);
}

QStringList SingleInstance::Status()
{
    return statusHandler ? statusHandler() : QStringList{QString(), QString()};
}
