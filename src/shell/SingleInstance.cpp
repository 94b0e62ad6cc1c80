// SPDX-License-Identifier: MIT
#include "SingleInstance.h"

#include "LockJournal.h"
#include "Store.h"
#include "TerminalText.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto kServiceName = "io.github.lumora.Lumora";
// A lock file is created empty and filled a moment later; one this young
// and still empty is looked at once more before it counts as left behind.
constexpr qint64 kBeingWrittenMs = 1000;
constexpr unsigned long kLookAgainMs = 100;
// More than any lock file Qt writes.
constexpr qint64 kLockSizeLimit = 4096;

// The name of the program a process runs ("lumora"), empty when unknown.
QString programOf(qint64 pid)
{
    QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    // The binary replaced by an update while it runs.
    exe.remove(QRegularExpression(QStringLiteral(" \\(deleted\\)$")));
    return QFileInfo(exe).fileName();
}

// What a lock file beside the store says about its holder.
struct Holder
{
    enum class State { none, live, stale } state = State::none;
    qint64 pid = 0;
    // For a stale lock: why it holds nothing, as the line on standard error
    // says it.
    QString why;
};

Holder stale(const QString &why, qint64 pid = 0)
{
    return {Holder::State::stale, pid, why};
}

Holder inspect(const QString &path, bool lookAgain = true)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {};
    if (::lstat(native.constData(), &info) != 0)
        return errno == ENOENT ? Holder{}
                               : stale(QCoreApplication::translate("SingleInstance", "it cannot be read"));
    if (S_ISDIR(info.st_mode))
        return stale(QCoreApplication::translate("SingleInstance", "it is a folder"));
    if (!S_ISREG(info.st_mode))
        return stale(QCoreApplication::translate("SingleInstance", "it is not a regular file"));
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return stale(QCoreApplication::translate("SingleInstance", "it cannot be read"));
    // The holder keeps the file locked for as long as it runs (on network
    // file systems too, where flock() is carried over to the server), and
    // the lock goes with the process, whatever way it ends.
    std::optional<bool> held;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        held = false;
        ::flock(fd, LOCK_UN);
    } else if (errno == EWOULDBLOCK) {
        held = true;
    }
    QByteArray contents(int(std::min<qint64>(info.st_size, kLockSizeLimit)), '\0');
    const auto got = ::read(fd, contents.data(), size_t(contents.size()));
    ::close(fd);
    contents.truncate(int(std::max<ssize_t>(got, 0)));

    // pid, program, host name and, from Qt 6 on, machine and boot id.
    const QList<QByteArray> lines = contents.split('\n');
    bool numeric = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&numeric);
    const bool readable = numeric && pid > 0;
    if (held.value_or(false))
        return {Holder::State::live, readable ? pid : 0, {}};

    if (contents.isEmpty()) {
        const qint64 age = qint64(QDateTime::currentSecsSinceEpoch() - info.st_mtime) * 1000;
        if (lookAgain && age >= 0 && age < kBeingWrittenMs) {
            QThread::msleep(kLookAgainMs);
            return inspect(path, false);
        }
        return stale(QCoreApplication::translate("SingleInstance", "it is empty"));
    }
    if (!readable)
        return stale(QCoreApplication::translate("SingleInstance", "it names no process"));
    const QString host = QString::fromUtf8(lines.value(2));
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return stale(QCoreApplication::translate("SingleInstance", "it was written on another machine (%1)")
                         .arg(TerminalText::escaped(host)),
                     pid);
    const QByteArray machine = lines.value(3);
    if (!machine.isEmpty() && machine != QSysInfo::machineUniqueId())
        return stale(QCoreApplication::translate("SingleInstance", "it was written on another machine"), pid);
    const QByteArray boot = lines.value(4);
    if (!boot.isEmpty() && boot != QSysInfo::bootUniqueId())
        return stale(QCoreApplication::translate("SingleInstance", "it was written before the last start of "
                                                                   "this machine"),
                     pid);
    if (!LockJournal::isProcessAlive(pid))
        return stale(QCoreApplication::translate("SingleInstance", "process %1 has ended").arg(pid), pid);
    if (programOf(pid) != programOf(QCoreApplication::applicationPid()))
        return stale(QCoreApplication::translate("SingleInstance", "process %1 is not Lumora").arg(pid), pid);
    // A live Lumora that does not hold the file (the process id came to
    // another Lumora process, such as a browser's host) holds nothing. Where
    // the file system cannot lock, the file is all there is to go by.
    if (held)
        return stale(QCoreApplication::translate("SingleInstance", "process %1 does not hold it").arg(pid),
                     pid);
    return {Holder::State::live, pid, {}};
}

std::optional<QDateTime> modificationTime(const QString &path)
{
    struct stat info
    {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000,
                                          Qt::UTC);
}

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

QString SingleInstance::alivePath()
{
    return Store::path() + QStringLiteral(".alive");
}

SingleInstance::Role SingleInstance::claim(bool takeOver)
{
    const QString path = lockPath();
    if (!takeOver)
        return look(path);
    m_lock = std::make_unique<QLockFile>(path);
    // Only a holder that is gone makes a lock stale, never its age.
    m_lock->setStaleLockTime(0);
    std::optional<QDateTime> leftBehind;
    bool locked = false;
    // More rounds when other starts take over or make a lock in between.
    for (int round = 0; round < 3 && !locked; ++round) {
        const Holder holder = inspect(path);
        m_holderPid = holder.pid;
        if (holder.state == Holder::State::live)
            return Role::secondary;
        if (holder.state == Holder::State::stale) {
            const std::optional<QDateTime> modified = modificationTime(path);
            const TakeOver outcome = this->takeOver(path, holder.why);
            if (outcome == TakeOver::failed)
                return Role::secondary;
            if (outcome == TakeOver::busy)
                continue;
            leftBehind = modified;
        }
        locked = m_lock->tryLock(0);
        if (!locked && m_lock->error() != QLockFile::LockFailedError) {
            // No lock can be made there (a missing or read-only folder):
            // opening the store says what is wrong with the place.
            m_lock.reset();
            return Role::alone;
        }
    }
    if (!locked)
        return Role::secondary;
    m_holderPid = 0;
    // Sessions still open now are those of a run that ended without
    // cleaning up (a lock left behind, or taken over and given back by a
    // start that failed since): they ended when a run last said it was alive
    // with one running.
    m_lastAlive = QFileInfo::exists(alivePath()) ? modificationTime(alivePath()) : leftBehind;

    return m_remote && m_remote->serve() ? Role::primary : Role::alone;
}

SingleInstance::TakeOver SingleInstance::takeOver(const QString &path, const QString &why)
{
    const QByteArray native = QFile::encodeName(path);
    // Two starts that both found the lock stale: the one that locks the old
    // file moves it, and only while it is still the file at that path (the
    // other may have moved it and made a new lock there already).
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd >= 0) {
        struct stat opened
        {
        }, there{};
        const bool ours = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
                          ::lstat(native.constData(), &there) == 0 && opened.st_dev == there.st_dev &&
                          opened.st_ino == there.st_ino;
        if (!ours) {
            ::close(fd);
            return TakeOver::busy;
        }
    }
    // Kept for a look afterwards, not removed: an older one of a file goes,
    // one of a folder is kept under a name of its own.
    QString aside = path + QStringLiteral(".stale");
    int error = 0;
    if (::rename(native.constData(), QFile::encodeName(aside).constData()) != 0) {
        aside = path + QStringLiteral(".stale-%1").arg(QDateTime::currentSecsSinceEpoch());
        if (::rename(native.constData(), QFile::encodeName(aside).constData()) != 0)
            error = errno;
    }
    if (fd >= 0)
        ::close(fd);
    if (error == ENOENT)
        return TakeOver::busy;
    if (error != 0) {
        TerminalText::printError(
            QCoreApplication::translate("SingleInstance",
                                        "lumora: the lock file %1 holds nothing (%2), but it cannot be "
                                        "moved aside: %3")
                .arg(path, why, QString::fromLocal8Bit(std::strerror(error))));
        return TakeOver::failed;
    }
    TerminalText::printError(QCoreApplication::translate(
                                 "SingleInstance", "lumora: taking over the lock file %1: %2; the old one is "
                                                   "now %3")
                                 .arg(path, why, aside));
    return TakeOver::done;
}

// Only reads the lock file: a query that held the lock and the bus name even
// for a moment would turn a real start at that moment away (it would find
// the query "running", hand its request to it and exit unanswered).
SingleInstance::Role SingleInstance::look(const QString &path)
{
    const Holder holder = inspect(path);
    if (holder.state != Holder::State::live)
        return Role::alone;
    m_holderPid = holder.pid;
    return Role::secondary;
}

void SingleInstance::touch()
{
    if (!m_lock || !m_lock->isLocked())
        return;
    const QByteArray mark = QFile::encodeName(alivePath());
    if (::utimensat(AT_FDCWD, mark.constData(), nullptr, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
        return;
    const int fd = ::open(mark.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0)
        ::close(fd);
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
