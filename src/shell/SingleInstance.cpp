#include "SingleInstance.h"

#include "LockJournal.h"
#include "Store.h"
#include "TerminalText.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A start request is answered once the session runs; that takes the lock
// sweep and the overlay, well under this on any machine.
constexpr int kForwardTimeoutMs = 30000;
constexpr auto kErrorFailed = "io.github.lumora.Lumora.Error.Failed";

} // namespace

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

QString SingleInstance::lockPath()
{
    return Store::path() + QStringLiteral(".lock");
}

SingleInstance::Role SingleInstance::claim(bool takeOver)
{
    const QString path = lockPath();
    m_lock = std::make_unique<QLockFile>(path);
    // Only a holder that is gone makes a lock stale, never its age.
    m_lock->setStaleLockTime(0);
    const QFileInfo before(path);
    const std::optional<QDateTime> modified =
        before.exists() ? std::optional(before.lastModified().toUTC()) : std::nullopt;
    bool locked = m_lock->tryLock(0);
    if (!locked && m_lock->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, app;
        // A holder that has ended but was not collected yet still "runs"
        // for QLockFile; it holds nothing any more. (Only a holder on this
        // machine can be checked.)
        if (m_lock->getLockInfo(&pid, &host, &app) &&
            (host.isEmpty() || host == QSysInfo::machineHostName()) && !LockJournal::isProcessAlive(pid)) {
            if (!takeOver)
                return Role::alone;
            m_lock->removeStaleLockFile();
            locked = m_lock->tryLock(0);
        }
        m_holderPid = pid;
    }
    if (!locked && m_lock->error() != QLockFile::LockFailedError) {
        // No lock can be made there (a missing or read-only folder): opening
        // the store says what is wrong with the place.
        m_lock.reset();
        return Role::alone;
    }
    if (!locked)
        return Role::secondary;
    m_holderPid = 0;
    // A lock file left behind means the run before ended without cleaning up.
    m_lastAlive = modified;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Role::alone;
    // Queued: the name of a run that just died passes to this one as soon as
    // the bus has noticed.
    const auto reply = bus.interface()->registerService(serviceName(), QDBusConnectionInterface::QueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return Role::alone;
    bus.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAllSlots);
    return Role::primary;
}

void SingleInstance::touch()
{
    if (!m_lock || !m_lock->isLocked())
        return;
    ::utimensat(AT_FDCWD, QFile::encodeName(lockPath()).constData(), nullptr, 0);
}

int SingleInstance::forward(const CommandLine &command, qint64 holderPid)
{
    const QString holder = holderPid > 0 ? QStringLiteral(" (process %1)").arg(holderPid) : QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        TerminalText::printError(QStringLiteral("lumora: Lumora is already running on this store%1, but it "
                                                "cannot be reached: no session bus")
                                     .arg(holder));
        return 1;
    }
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
    const QDBusMessage reply = bus.call(message, QDBus::Block, kForwardTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (reply.errorName().startsWith(QLatin1String(kInterface)))
            TerminalText::printError(QStringLiteral("lumora: ") + reply.errorMessage());
        else
            TerminalText::printError(
                QStringLiteral("lumora: Lumora is already running on this store%1, but it "
                               "cannot be reached: %2")
                    .arg(holder, reply.errorMessage()));
        return 1;
    }
    if (command.status) {
        const QStringList status = reply.arguments().value(0).toStringList();
        const QString title = status.value(0);
        const QString line =
            TerminalText::escaped(title.isEmpty() ? QStringLiteral("idle") : status.value(1));
        std::printf("%s\n", line.toLocal8Bit().constData());
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

QStringList SingleInstance::Status()
{
    return statusHandler ? statusHandler() : QStringList{QString(), QString()};
}
