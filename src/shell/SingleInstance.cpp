#include "SingleInstance.h"

#include "LockJournal.h"
#include "Store.h"
#include "TerminalText.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr auto kServiceName = "io.github.lumora.Lumora";

} // namespace

SingleInstance::SingleInstance(std::unique_ptr<RemoteControl> remote) : m_remote(std::move(remote)) {}

QString SingleInstance::serviceName()
{
    const QString base = QLatin1String(kServiceName);
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
    if (!takeOver)
        return look(path);
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

    return m_remote && m_remote->serve() ? Role::primary : Role::alone;
}

// Only reads the lock file: a query that held the lock and the bus name even
// for a moment would turn a real start at that moment away (it would find
// the query "running", hand its request to it and exit unanswered).
SingleInstance::Role SingleInstance::look(const QString &path)
{
    QLockFile lock(path);
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return Role::alone;
    // Only a holder on this machine can be checked; one elsewhere counts as
    // running.
    const bool here = host.isEmpty() || host == QSysInfo::machineHostName();
    if (here && !LockJournal::isProcessAlive(pid))
        return Role::alone;
    m_holderPid = pid;
    return Role::secondary;
}

void SingleInstance::touch()
{
    if (!m_lock || !m_lock->isLocked())
        return;
    ::utimensat(AT_FDCWD, QFile::encodeName(lockPath()).constData(), nullptr, 0);
}

int SingleInstance::forward(const CommandLine &command)
{
    const QString holder =
        m_holderPid > 0 ? QCoreApplication::translate("SingleInstance", " (process %1)").arg(m_holderPid)
                        : QString();
    RemoteControl::Request request = RemoteControl::Request::openMainWindow;
    QString argument;
    if (command.startScreen) {
        request = RemoteControl::Request::startFocusScreen;
        argument = *command.startScreen;
    } else if (command.showPopover) {
        request = RemoteControl::Request::showPopover;
    } else if (command.status) {
        request = RemoteControl::Request::status;
    } else if (command.stop) {
        request = RemoteControl::Request::stopSession;
        argument = command.stopScreen;
    } else if (command.extendMinutes) {
        request = RemoteControl::Request::extendSession;
        argument = QString::number(*command.extendMinutes);
    }
    const RemoteControl::Reply reply = m_remote ? m_remote->send(request, argument) : RemoteControl::Reply{};
    switch (reply.outcome) {
    case RemoteControl::Reply::Outcome::refused:
        TerminalText::printError(QStringLiteral("lumora: ") + reply.error);
        return 1;
    case RemoteControl::Reply::Outcome::unreachable:
        TerminalText::printError(QCoreApplication::translate(
                                     "SingleInstance", "lumora: Lumora is already running on this store%1, "
                                                       "but it cannot be reached: %2")
                                     .arg(holder, reply.error));
        return 1;
    case RemoteControl::Reply::Outcome::done:
        break;
    }
    if (command.status) {
        const QString title = reply.status.value(0);
        const QString line =
            TerminalText::escaped(title.isEmpty() ? QStringLiteral("idle") : reply.status.value(1));
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
    return 0;
}
