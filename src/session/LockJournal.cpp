#include "LockJournal.h"

#include "Workspace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

constexpr auto journalSuffix = ".locked-windows";
constexpr auto formatKey = "format";
constexpr auto formatValue = "lumora-locked-windows";
constexpr auto versionKey = "version";
constexpr int currentVersion = 1;
constexpr auto writerPidKey = "writerPid";
constexpr auto writerNameKey = "writerName";
constexpr auto recordKey = "record";
// A journal is a few hundred bytes; anything far larger is not ours.
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

bool isRunning(qint64 pid, const QString &name)
{
    if (pid <= 0 || pid == QCoreApplication::applicationPid())
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // A recycled process id belongs to some other program.
    return !name.isEmpty() && processName(pid) == name;
}

void printLine(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

QString LockJournal::pathForStore(const QString &storePath)
{
    return storePath + QLatin1String(journalSuffix);
}

LockJournal::LockJournal(QString path) : m_path(std::move(path)) {}

bool LockJournal::write(const QJsonObject &record, QString *error) const
{
    if (m_path.isEmpty())
        return true;
    if (record.isEmpty())
        return clear();

    QJsonObject file;
    file.insert(QLatin1String(formatKey), QLatin1String(formatValue));
    file.insert(QLatin1String(versionKey), currentVersion);
    file.insert(QLatin1String(writerPidKey), QCoreApplication::applicationPid());
    file.insert(QLatin1String(writerNameKey), ownProcessName());
    file.insert(QLatin1String(recordKey), record);

    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(QJsonDocument(file).toJson(QJsonDocument::Compact));
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool LockJournal::clear() const
{
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return true;
    return QFile::remove(m_path);
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
        !file.value(QLatin1String(recordKey)).isObject()) {
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

int LockJournal::restoreLeftovers(Workspace &workspace, const QString &path)
{
    const LockJournal journal(path);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return 0;

    QString error;
    const auto file = journal.readFile(&error);
    if (!file) {
        printLine(QStringLiteral("Lumora: Ignoring unreadable lock journal %1: %2").arg(path, error));
        journal.clear();
        return 0;
    }
    const qint64 writer = file->value(QLatin1String(writerPidKey)).toInteger();
    if (isRunning(writer, file->value(QLatin1String(writerNameKey)).toString()))
        return 0;
    if (!workspace.isAvailable())
        return 0;

    const int restored = workspace.restoreHiddenWindows(file->value(QLatin1String(recordKey)).toObject());
    journal.clear();
    if (restored > 0)
        printLine(QStringLiteral("Lumora: Showed %1 window(s) left hidden by an earlier run").arg(restored));
    return restored;
}
