// SPDX-License-Identifier: MIT
#include "LockJournal.h"

#include "Logging.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr auto journalSuffix = ".locked-windows";
constexpr auto unreadableSuffix = ".unreadable";
constexpr auto formatKey = "format";
constexpr auto formatValue = "lumora-locked-windows";
constexpr auto versionKey = "version";
constexpr int currentVersion = 1;
constexpr auto writerPidKey = "writerPid";
constexpr auto writerNameKey = "writerName";
constexpr auto writerTokenKey = "writerToken";
constexpr auto recordKey = "record";
constexpr auto inheritedKey = "inherited";
// A journal is a few kilobytes; anything far larger is not ours.
constexpr qint64 maximumJournalSize = 4 * 1024 * 1024;

QString processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString ownProcessName()
{
    return processName(QCoreApplication::applicationPid());
}

// The rename into place is durable only once the folder is on disk too.
void syncFolder(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void appendNew(QJsonArray &records, const QJsonValue &record)
{
    if (!record.isObject() || record.toObject().isEmpty() || records.contains(record))
        return;
    records.append(record);
}

} // namespace

QString LockJournal::pathForStore(const QString &storePath)
{
    return storePath + QLatin1String(journalSuffix);
}

LockJournal::LockJournal(QString path)
    : m_path(std::move(path)), m_token(QUuid::createUuid().toString(QUuid::WithoutBraces))
{}

bool LockJournal::isProcessAlive(qint64 pid, const QString &name)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    // A process that has ended but not been collected by its parent yet is
    // a zombie: it holds nothing any more.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const auto close = line.lastIndexOf(')');
        if (close >= 0 && close + 2 < line.size()) {
            const char state = line.at(close + 2);
            if (state == 'Z' || state == 'X')
                return false;
        }
    }
    // A recycled process id belongs to some other program.
    return name.isEmpty() || processName(pid) == name;
}

bool LockJournal::adoptFile(QString *error)
{
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return true;
    QString readError;
    const auto file = readFile(&readError);
    if (!file) {
        // Not ours to understand, but not ours to destroy either.
        const QString aside = m_path + QLatin1String(unreadableSuffix);
        QFile::remove(aside);
        if (!QFile::rename(m_path, aside)) {
            if (error)
                *error = QStringLiteral("unreadable lock journal %1 cannot be moved aside").arg(m_path);
            return false;
        }
        qCInfo(lcSession).noquote() << QStringLiteral(
                                           "Lumora: Ignoring unreadable lock journal %1: %2 (kept as %3)")
                                           .arg(m_path, readError, aside);
        return true;
    }
    const qint64 writer = file->value(QLatin1String(writerPidKey)).toInteger();
    const QString token = file->value(QLatin1String(writerTokenKey)).toString();
    const QString writerKey = QStringLiteral("%1/%2").arg(writer).arg(token);
    if ((writer == QCoreApplication::applicationPid() && token == m_token) || m_adopted.contains(writerKey)) {
        // Our own file, or one whose records we carry already.
        return true;
    }
    // Another writer with our process id is an earlier run whose id was
    // recycled, or a journal object of this process that is gone.
    if (writer != QCoreApplication::applicationPid() &&
        isProcessAlive(writer, file->value(QLatin1String(writerNameKey)).toString())) {
        if (error)
            *error =
                QStringLiteral("the lock journal %1 belongs to Lumora process %2, which is still running")
                    .arg(m_path)
                    .arg(writer);
        return false;
    }
    m_adopted.insert(writerKey);
    appendNew(m_inherited, file->value(QLatin1String(recordKey)));
    const auto older = file->value(QLatin1String(inheritedKey)).toArray();
    for (const auto &record : older)
        appendNew(m_inherited, record);
    return true;
}

bool LockJournal::write(const QJsonObject &record, QString *error)
{
    if (m_path.isEmpty())
        return true;
    if (!adoptFile(error))
        return false;

    if (record.isEmpty() && m_inherited.isEmpty()) {
        if (!QFileInfo::exists(m_path))
            return true;
        if (!QFile::remove(m_path)) {
            if (error)
                *error = QStringLiteral("cannot remove %1").arg(m_path);
            return false;
        }
        syncFolder(m_path);
        return true;
    }

    QJsonObject file;
    file.insert(QLatin1String(formatKey), QLatin1String(formatValue));
    file.insert(QLatin1String(versionKey), currentVersion);
    file.insert(QLatin1String(writerPidKey), QCoreApplication::applicationPid());
    file.insert(QLatin1String(writerNameKey), ownProcessName());
    file.insert(QLatin1String(writerTokenKey), m_token);
    file.insert(QLatin1String(recordKey), record);
    if (!m_inherited.isEmpty())
        file.insert(QLatin1String(inheritedKey), m_inherited);

    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = QJsonDocument(file).toJson(QJsonDocument::Compact);
    const bool written = out.write(bytes) == bytes.size() && out.flush();
    const int syncError = written && ::fsync(out.handle()) != 0 ? errno : 0;
    if (!written || syncError != 0) {
        if (error)
            *error = syncError != 0 ? QString::fromLocal8Bit(std::strerror(syncError)) : out.errorString();
        out.cancelWriting();
        out.commit();
        return false;
    }
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    syncFolder(m_path);
    return true;
}

bool LockJournal::clear()
{
    return write({});
}

std::optional<QJsonObject> LockJournal::readFile(QString *error) const
{
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return std::nullopt;
    QFile in(m_path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return std::nullopt;
    }
    if (in.size() > maximumJournalSize) {
        if (error)
            *error = QStringLiteral("file too large");
        return std::nullopt;
    }
    QJsonParseError parseError;
    const auto document = QJsonDocument::fromJson(in.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                  : QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const auto file = document.object();
    if (file.value(QLatin1String(formatKey)).toString() != QLatin1String(formatValue) ||
        file.value(QLatin1String(versionKey)).toInt() != currentVersion ||
        !file.value(QLatin1String(recordKey)).isObject() ||
        (file.contains(QLatin1String(inheritedKey)) && !file.value(QLatin1String(inheritedKey)).isArray())) {
        if (error)
            *error = QStringLiteral("not a lock journal of this version");
        return std::nullopt;
    }
    return file;
}

std::optional<QJsonObject> LockJournal::read(QString *error) const
{
    const auto file = readFile(error);
    if (!file)
        return std::nullopt;
    return file->value(QLatin1String(recordKey)).toObject();
}

QJsonArray LockJournal::takeLeftovers()
{
    if (m_path.isEmpty() || !adoptFile(nullptr))
        return {};
    return std::exchange(m_inherited, {});
}

int LockJournal::restoreLeftovers(Workspace &workspace)
{
    if (m_path.isEmpty())
        return 0;
    if (!adoptFile(nullptr) || m_inherited.isEmpty())
        return 0;
    if (!workspace.isAvailable()) {
        // Nothing can be shown now; the file becomes ours, so the records
        // stay on disk until a later call can show them.
        write(workspace.hiddenWindowsRecord());
        return 0;
    }

    // Taken out first: showing windows runs the workspace's events.
    const QJsonArray records = std::exchange(m_inherited, {});
    int restored = 0;
    for (const auto &record : records)
        restored += workspace.restoreHiddenWindows(record.toObject());
    // Windows on their way back are still hidden until the window manager
    // has acted; the workspace's record keeps them until then.
    write(workspace.hiddenWindowsRecord());
    if (restored > 0)
        qCInfo(lcSession).noquote()
            << QStringLiteral("Lumora: Showed %1 window(s) left hidden by an earlier run").arg(restored);
    return restored;
}

int LockJournal::restoreLeftovers(Workspace &workspace, const QString &path)
{
    LockJournal journal(path);
    return journal.restoreLeftovers(workspace);
}
