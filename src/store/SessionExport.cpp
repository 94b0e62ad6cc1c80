// SPDX-License-Identifier: MIT
#include "SessionExport.h"

#include "PersistentModel.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace SessionExport {

namespace {

// Rows are gathered into chunks of about this size before they are written.
constexpr qsizetype kChunkBytes = 64 * 1024;

struct Screen
{
    QString name;
    double duration = 0;
};

QString sqlErrorText(const QSqlError &error)
{
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

// Local time with its offset from UTC: "2026-03-28T22:15:30+01:00". Asking
// the C library for an instant's local time costs microseconds; rows come in
// time order, so the offsets of the last two quarters of an hour asked about
// (a session's start and its end; zones change their offsets only on quarter
// hours) serve most of them.
class LocalTimes
{
public:
    QString iso(const QDateTime &utc)
    {
        const qint64 ms = utc.toMSecsSinceEpoch();
        const qint64 quarter = ms >= 0 ? ms / kQuarterMs : (ms - kQuarterMs + 1) / kQuarterMs;
        int slot = m_quarter[0] == quarter ? 0 : m_quarter[1] == quarter ? 1 : -1;
        if (slot < 0) {
            slot = m_next;
            m_next = 1 - m_next;
            m_quarter[slot] = quarter;
            m_offset[slot] = utc.toLocalTime().offsetFromUtc();
        }
        return utc.toOffsetFromUtc(m_offset[slot]).toString(Qt::ISODate);
    }

private:
    static constexpr qint64 kQuarterMs = 15 * 60 * 1000;
    qint64 m_quarter[2] = {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::min()};
    int m_offset[2] = {0, 0};
    int m_next = 0;
};

QString seconds(double value)
{
    // Shortest form, never an exponent for a length: "600", "401.125".
    return QString::number(value, 'g', 15);
}

struct Row
{
    std::optional<QString> screen; // absent: the screen was deleted
    QDateTime start;
    std::optional<QDateTime> end;
    std::optional<double> planned;
    std::optional<double> actual;
    QString outcome;
    qint64 round = 0;
    QString note;
};

QByteArray csvRow(const Row &row, LocalTimes &times)
{
    const QStringList fields{row.screen.value_or(QString()),
                             times.iso(row.start),
                             row.end ? times.iso(*row.end) : QString(),
                             row.planned ? seconds(*row.planned) : QString(),
                             row.actual ? seconds(*row.actual) : QString(),
                             row.outcome,
                             QString::number(row.round),
                             row.note};
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += csvField(fields[i]);
    }
    return out + "\r\n";
}

QByteArray jsonRow(const Row &row, LocalTimes &times)
{
    QJsonObject object;
    object.insert(QStringLiteral("screen"), row.screen ? QJsonValue(*row.screen) : QJsonValue());
    object.insert(QStringLiteral("start"), times.iso(row.start));
    object.insert(QStringLiteral("end"), row.end ? QJsonValue(times.iso(*row.end)) : QJsonValue());
    object.insert(QStringLiteral("plannedDuration"), row.planned ? QJsonValue(*row.planned) : QJsonValue());
    object.insert(QStringLiteral("actualDuration"), row.actual ? QJsonValue(*row.actual) : QJsonValue());
    object.insert(QStringLiteral("outcome"), row.outcome);
    object.insert(QStringLiteral("round"), row.round);
    object.insert(QStringLiteral("note"), row.note);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

std::optional<Format> formatNamed(const QString &name)
{
    if (name.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Format::csv;
    if (name.compare(QLatin1String("json"), Qt::CaseInsensitive) == 0)
        return Format::json;
    return std::nullopt;
}

std::optional<QDateTime> parseSince(const QString &text)
{
    const QString trimmed = text.trimmed();
    // A date alone is exactly yyyy-MM-dd; Qt's date reading would pass over
    // a time after it.
    if (trimmed.size() == 10) {
        const QDate date = QDate::fromString(trimmed, Qt::ISODate);
        return date.isValid() ? std::optional(date.startOfDay()) : std::nullopt;
    }
    const QDateTime at = QDateTime::fromString(trimmed, Qt::ISODate);
    if (at.isValid())
        return at;
    return std::nullopt;
}

QStringList fieldNames()
{
    return {QStringLiteral("screen"),
            QStringLiteral("start"),
            QStringLiteral("end"),
            QStringLiteral("plannedDuration"),
            QStringLiteral("actualDuration"),
            QStringLiteral("outcome"),
            QStringLiteral("round"),
            QStringLiteral("note")};
}

QByteArray csvField(const QString &value)
{
    QByteArray utf8 = value.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

QByteArray emptyExport(Format format)
{
    return format == Format::csv ? fieldNames().join(u',').toUtf8() + "\r\n" : QByteArray("[]\n");
}

Result write(const QSqlDatabase &db, Format format, const std::optional<QDateTime> &since, QIODevice &out)
{
    Result result;
    // Screens are few: their names and lengths are looked up in memory.
    QHash<QUuid, Screen> screens;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT uuid, name, duration FROM FocusScreen ORDER BY id"))) {
            result.error = sqlErrorText(query.lastError());
            return result;
        }
        while (query.next()) {
            const QUuid uuid = Column::toUuid(query.value(0));
            if (!screens.contains(uuid))
                screens.insert(uuid, {query.value(1).toString(), query.value(2).toDouble()});
        }
    }

    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool prepared = query.prepare(
        QStringLiteral("SELECT focusScreenID, startTime, endTime, completed, actualDuration, round, note "
                       "FROM FocusSession %1 ORDER BY startTime, id")
            .arg(since ? QStringLiteral("WHERE startTime >= ?") : QString()));
    if (since)
        query.addBindValue(Column::fromDate(*since));
    if (!prepared || !query.exec()) {
        result.error = sqlErrorText(query.lastError());
        return result;
    }

    LocalTimes times;
    QByteArray chunk;
    const auto flush = [&] {
        // A short write (a file reaching its size limit) is followed by one
        // that fails with the reason.
        for (qsizetype done = 0; done < chunk.size();) {
            const qint64 n = out.write(chunk.constData() + done, chunk.size() - done);
            if (n <= 0) {
                result.error = out.errorString();
                return false;
            }
            done += qsizetype(n);
        }
        chunk.clear();
        return true;
    };
    if (format == Format::csv)
        chunk += fieldNames().join(u',').toUtf8() + "\r\n";
    else
        chunk += "[";
    while (query.next()) {
        Row row;
        const auto screen = screens.constFind(Column::toUuid(query.value(0)));
        if (screen != screens.constEnd()) {
            row.screen = screen->name;
            row.planned = screen->duration;
        }
        row.start = Column::toDate(query.value(1));
        row.end = Column::toOptionalDate(query.value(2));
        const bool completed = query.value(3).toLongLong() != 0;
        row.actual = Column::toOptionalDouble(query.value(4));
        row.outcome = completed               ? QStringLiteral("completed")
                      : row.end || row.actual ? QStringLiteral("endedEarly")
                                              : QStringLiteral("notFinished");
        row.round = query.value(5).toLongLong();
        row.note = query.value(6).toString();
        if (format == Format::csv)
            chunk += csvRow(row, times);
        else
            chunk += (result.sessions == 0 ? "\n  " : ",\n  ") + jsonRow(row, times);
        ++result.sessions;
        if (chunk.size() >= kChunkBytes && !flush())
            return result;
    }
    if (query.lastError().isValid()) {
        result.error = sqlErrorText(query.lastError());
        return result;
    }
    if (format == Format::json)
        chunk += result.sessions == 0 ? "]\n" : "\n]\n";
    if (!flush())
        return result;
    result.ok = true;
    return result;
}

Result writeToDescriptor(const QSqlDatabase &db, Format format, const std::optional<QDateTime> &since, int fd)
{
    struct stat st
    {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    off_t start = 0;
    if (regular) {
        const int flags = ::fcntl(fd, F_GETFL);
        start = ::lseek(fd, 0, (flags >= 0 && (flags & O_APPEND)) ? SEEK_END : SEEK_CUR);
    }
    QFile out;
    if (!out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)) {
        Result result;
        result.error = out.errorString();
        return result;
    }
    Result result = write(db, format, since, out);
    if (!result.ok && regular && start >= 0 && ::ftruncate(fd, start) == 0)
        ::lseek(fd, start, SEEK_SET);
    return result;
}

Result writeFile(const QSqlDatabase &db, Format format, const std::optional<QDateTime> &since,
                 const QString &path)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        Result result;
        result.error = out.errorString();
        return result;
    }
    Result result = write(db, format, since, out);
    if (!result.ok) {
        out.cancelWriting();
        return result;
    }
    if (!out.commit()) {
        result.ok = false;
        result.error = out.errorString();
    }
    return result;
}

} // namespace SessionExport
