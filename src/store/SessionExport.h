// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <optional>

class QIODevice;

// Every recorded session as CSV or JSON, for other programs: the focus
// screen's name, start and end (local time, ISO 8601 with the offset), the
// planned length (the screen's length now, in seconds), the actual length (in
// seconds), the outcome ("completed", "endedEarly",
// "notFinished"), the round
// and the note. Rows are read from the store's file one at a time and written
// at once, oldest first, so the memory used does not grow with the history.
namespace SessionExport {

enum class Format { csv, json };

// "csv" or "json" in any letter case.
std::optional<Format> formatNamed(const QString &name);

// A --since value: a date (local midnight) or an ISO 8601 date and time.
std::optional<QDateTime> parseSince(const QString &text);

// The names of the fields, in the order they are written.
QStringList fieldNames();

// One CSV field: quoted (quotes doubled) when it holds a comma, a quote or a
// line break, as it is otherwise.
QByteArray csvField(const QString &value);

// What an export of no session is: the CSV header line, or an empty JSON array.
QByteArray emptyExport(Format format);

struct Result
{
    bool ok = false;
    qint64 sessions = 0; // written
    QString error;       // why it failed
};

// Writes the sessions that started at or after `since` (all without it).
Result write(const QSqlDatabase &db, Format format, const std::optional<QDateTime> &since, QIODevice &out);

// Writes to an open descriptor (standard output). When it is a regular file
// and writing fails, what this call wrote is cut off again, so the file holds
// nothing partial.
Result writeToDescriptor(const QSqlDatabase &db, Format format, const std::optional<QDateTime> &since,
                         int fd);

// Writes the file whole or not at all: into a temporary file beside it that
// replaces it once complete. On failure the file at path is as it was.
Result writeFile(const QSqlDatabase &db, Format format, const std::optional<QDateTime> &since,
                 const QString &path);

} // namespace SessionExport
