// SPDX-License-Identifier: MIT
#include "Migration.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Migration {

namespace {

// The steps, in order. A new step goes at the end with the next version;
// declare its columns and tables with that version.
constexpr Step kSteps[] = {
    {2, "adding a note and a round number to every focus session"},
    {3, "adding rounds, breaks, a lock profile and schedules to every focus screen"},
};

QString sqlErrorText(const QSqlError &error)
{
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

bool exec(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    return true;
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString columnDefinition(const ColumnInfo &column)
{
    return quoted(QString::fromLatin1(column.name)) + QLatin1Char(' ') + QString::fromLatin1(column.sqlType);
}

// The table as the given version has it.
bool createTable(QSqlDatabase &db, const EntityInfo &entity, int version, QString *error)
{
    QStringList columns{QStringLiteral("id INTEGER PRIMARY KEY")};
    for (const ColumnInfo &column : entity.columns)
        if (column.since <= version)
            columns << columnDefinition(column);
    return exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(entity.name), columns.join(u", ")),
                error);
}

// Adds what the given version brought: its new tables and new columns.
bool addDeclared(QSqlDatabase &db, const QList<const EntityInfo *> &schema, int version, QString *error)
{
    for (const EntityInfo *entity : schema) {
        if (entity->since == version) {
            if (!createTable(db, *entity, version, error))
                return false;
            continue;
        }
        if (entity->since > version)
            continue;
        for (const ColumnInfo &column : entity->columns) {
            if (column.since != version)
                continue;
            if (!exec(db,
                      QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                          .arg(quoted(entity->name), columnDefinition(column)),
                      error))
                return false;
        }
    }
    return true;
}

// Writes the file's pages to the disk.
bool syncFile(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

// A consistent copy of the open store (what its write-ahead log holds
// included), readable by its owner only like the store.
bool writeBackup(QSqlDatabase &db, const QString &target, QString *error)
{
    const int fd =
        ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::close(fd);
    QSqlQuery query(db);
    query.prepare(QStringLiteral("VACUUM INTO ?"));
    query.addBindValue(target);
    if (!query.exec()) {
        *error = sqlErrorText(query.lastError());
        QFile::remove(target);
        return false;
    }
    if (!syncFile(target, error)) {
        QFile::remove(target);
        return false;
    }
    return true;
}

} // namespace

std::span<const Step> steps()
{
    return kSteps;
}

int latestVersion()
{
    return std::size(kSteps) == 0 ? 1 : kSteps[std::size(kSteps) - 1].version;
}

bool create(QSqlDatabase &db, const QList<const EntityInfo *> &schema, QString *error)
{
    const int latest = latestVersion();
    if (!db.transaction()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
    for (const EntityInfo *entity : schema) {
        if (!createTable(db, *entity, latest, error)) {
            db.rollback();
            return false;
        }
    }
    if (!exec(db, QStringLiteral("PRAGMA user_version = %1").arg(latest), error) || !db.commit()) {
        if (error->isEmpty())
            *error = sqlErrorText(db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

bool check(QSqlDatabase &db, const QList<const EntityInfo *> &schema, int version, QString *error)
{
    for (const EntityInfo *entity : schema) {
        if (entity->since > version)
            continue;
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(entity->name)))) {
            *error = sqlErrorText(query.lastError());
            return false;
        }
        QSet<QString> present;
        while (query.next())
            present.insert(query.value(1).toString());
        query.finish();
        if (present.isEmpty()) {
            *error = QStringLiteral("the store has no table %1").arg(entity->name);
            return false;
        }
        for (const ColumnInfo &column : entity->columns) {
            if (column.since <= version && !present.contains(QString::fromLatin1(column.name))) {
                *error = QStringLiteral("the store's table %1 has no column %2")
                             .arg(entity->name, QString::fromLatin1(column.name));
                return false;
            }
        }
    }
    return true;
}

QString backupPath(const QString &path, int version)
{
    QString candidate = QStringLiteral("%1.v%2.bak").arg(path).arg(version);
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = QStringLiteral("%1.v%2-%3.bak").arg(path).arg(version).arg(n);
    return candidate;
}

bool migrate(QSqlDatabase &db, const QString &path, const QList<const EntityInfo *> &schema, int from,
             QString *backup, QString *error, const Probe &probe)
{
    const int latest = latestVersion();
    const auto failed = [&](const QString &what, const QString &why) {
        *error = QStringLiteral("could not bring the store from version %1 up to %2 (%3): %4; the store was "
                                "left as it was")
                     .arg(from)
                     .arg(latest)
                     .arg(what, why);
        return false;
    };

    const QString copy = backupPath(path, from);
    QString why;
    if (!writeBackup(db, copy, &why))
        return failed(QStringLiteral("keeping a copy at %1").arg(copy), why);
    if (probe)
        probe(Stage::backedUp);

    const auto abandon = [&](const QString &what, const QString &reason) {
        exec(db, QStringLiteral("ROLLBACK"), &why);
        QFile::remove(copy);
        return failed(what, reason);
    };

    // Taking the write lock first: no other writer can come between reading
    // the version and stamping the new one.
    if (!exec(db, QStringLiteral("BEGIN IMMEDIATE"), &why)) {
        QFile::remove(copy);
        return failed(QStringLiteral("starting the change"), why);
    }
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
            return abandon(QStringLiteral("reading the version"), sqlErrorText(query.lastError()));
        const int now = query.value(0).toInt();
        query.finish();
        if (now != from)
            return abandon(QStringLiteral("reading the version"),
                           QStringLiteral("another program changed it to %1 meanwhile").arg(now));
    }
    for (int version = from + 1; version <= latest; ++version) {
        const Step *step = nullptr;
        for (const Step &s : steps())
            if (s.version == version)
                step = &s;
        if (!step)
            return abandon(QStringLiteral("version %1").arg(version), QStringLiteral("no step leads to it"));
        const QString what = QStringLiteral("step %1, %2").arg(version).arg(QString::fromLatin1(step->what));
        if (!addDeclared(db, schema, version, &why))
            return abandon(what, why);
        if (step->rows && !step->rows(db, &why))
            return abandon(what, why);
    }
    if (!exec(db, QStringLiteral("PRAGMA user_version = %1").arg(latest), &why))
        return abandon(QStringLiteral("stamping the version"), why);
    if (probe)
        probe(Stage::stepsRun);
    if (!exec(db, QStringLiteral("COMMIT"), &why))
        return abandon(QStringLiteral("writing the change"), why);
    if (probe)
        probe(Stage::committed);
    *backup = copy;
    return true;
}

} // namespace Migration
