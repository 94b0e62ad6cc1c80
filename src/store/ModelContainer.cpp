// SPDX-License-Identifier: MIT
#include "ModelContainer.h"

#include "ModelContext.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QAtomicInt connectionCounter;

QString sqlErrorText(const QSqlError &error)
{
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

// Runs a statement that returns one value; false on any error.
bool scalar(QSqlDatabase &db, const QString &sql, QVariant *value, QString *error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql) || !query.next()) {
        *error = sqlErrorText(query.lastError());
        if (error->isEmpty())
            *error = QStringLiteral("no result");
        return false;
    }
    *value = query.value(0);
    query.finish();
    return true;
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

} // namespace

ModelContainer::ModelContainer(const QString &path, const QString &connectionName)
    : m_path(path), m_connectionName(connectionName)
{}

ModelContainer::~ModelContainer()
{
    delete m_context; // owns record memory; must go before the connection
    m_context = nullptr;
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase ModelContainer::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

std::unique_ptr<ModelContainer> ModelContainer::open(const QString &path,
                                                     const QList<const EntityInfo *> &schema, QString *error,
                                                     const StoreOpenOptions &options)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QString name = QStringLiteral("lumora-store-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    std::unique_ptr<ModelContainer> container(new ModelContainer(path, name));
    if (!container->initialise(schema, options, error))
        return nullptr;
    return container;
}

bool ModelContainer::initialise(const QList<const EntityInfo *> &schema, const StoreOpenOptions &options,
                                QString *error)
{
    const QFileInfo info(m_path);
    if (info.exists() && info.isDir()) {
        *error = QStringLiteral("the path is a folder");
        return false;
    }
    if (!info.exists()) {
        // Create the file ourselves so it is readable by its owner only: it
        // can hold an exit password. SQLite gives its side files the same mode.
        const QByteArray native = QFile::encodeName(m_path);
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        ::close(fd);
    } else if (!info.isWritable()) {
        *error = QStringLiteral("the file is not writable");
        return false;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }

    // Reading the header first: a file that is not SQLite fails here, and a
    // store from a newer release is refused before anything is written.
    QVariant value;
    if (!scalar(db, QStringLiteral("PRAGMA user_version"), &value, error))
        return false;
    const int version = value.toInt();
    const int latest = Migration::latestVersion();
    if (version > latest) {
        *error = QStringLiteral("the store was written by a newer version of Lumora (store version %1, this "
                                "version reads up to %2)")
                     .arg(version)
                     .arg(latest);
        return false;
    }
    if (version == 0) {
        if (!scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), &value, error))
            return false;
        if (value.toInt() > 0) {
            *error = QStringLiteral("the file is an SQLite database that is not a Lumora store");
            return false;
        }
        // A new store: create the tables and stamp the version in one go.
        if (!Migration::create(db, schema, error))
            return false;
    } else if (version < latest) {
        // Only a store that has everything its own version has is changed.
        if (!Migration::check(db, schema, version, error))
            return false;
        if (!Migration::migrate(db, m_path, schema, version, &m_backupPath, error, options.migrationProbe))
            return false;
        m_migratedFrom = version;
    }

    // Every table and column this release reads must be there.
    if (!Migration::check(db, schema, latest, error))
        return false;

    m_context = new ModelContext(db, schema, nullptr);
    if (options.loadRecords && !m_context->load(error))
        return false;

    // Only now that the whole file has been read do we switch it to the
    // write-ahead log, which keeps it consistent across crashes.
    if (!scalar(db, QStringLiteral("PRAGMA journal_mode = WAL"), &value, error))
        return false;
    if (value.toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        *error =
            QStringLiteral("the store cannot use a write-ahead log (journal mode %1)").arg(value.toString());
        return false;
    }
    exec(db, QStringLiteral("PRAGMA synchronous = NORMAL"), error);
    error->clear();
    return true;
}
