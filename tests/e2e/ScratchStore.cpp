// SPDX-License-Identifier: MIT
#include "ScratchStore.h"

#include "ModelContainer.h"
#include "ModelContext.h"
#include "Store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

ScratchStore::ScratchStore(const QString &relativePath, const QString &parent)
    : m_dir((parent.isEmpty() ? QDir::temp() : QDir(parent)).filePath(QStringLiteral("lumora-store-XXXXXX"))),
      m_relativePath(relativePath)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    QDir(m_dir.path()).mkpath(QStringLiteral("data"));
    QDir(m_dir.path()).mkpath(QFileInfo(path()).path());
}

QString ScratchStore::path() const
{
    return m_dir.filePath(m_relativePath);
}

QString ScratchStore::fill(const std::function<void(ModelContext *)> &fill) const
{
    QString error;
    auto container = ModelContainer::open(path(), Store::schema(), &error);
    if (!container)
        return error.isEmpty() ? QStringLiteral("the store did not open") : error;
    if (fill)
        fill(container->mainContext());
    if (!container->mainContext()->save(&error))
        return error.isEmpty() ? QStringLiteral("the store was not saved") : error;
    return {};
}

void ScratchStore::read(const QString &sql, const std::function<void(QSqlQuery &)> &row) const
{
    const QString connection =
        QStringLiteral("scratch-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open()) {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            if (query.exec(sql)) {
                while (query.next())
                    row(query);
            }
            query.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

QStringList ScratchStore::screenNames() const
{
    QStringList out;
    read(QStringLiteral("SELECT name FROM FocusScreen ORDER BY id"),
         [&](QSqlQuery &query) { out.append(query.value(0).toString()); });
    return out;
}

QList<ScratchStore::SessionRow> ScratchStore::sessions() const
{
    QList<SessionRow> out;
    read(QStringLiteral(
             "SELECT s.id, f.name, s.startTime, s.endTime, s.completed, s.actualDuration, s.\"round\" "
             "FROM FocusSession s LEFT JOIN FocusScreen f ON f.uuid = s.focusScreenID ORDER BY s.id"),
         [&](QSqlQuery &query) {
             SessionRow row;
             row.id = query.value(0).toLongLong();
             row.screenName = query.value(1).toString();
             row.startTime = query.value(2).toDouble();
             if (!query.value(3).isNull())
                 row.endTime = query.value(3).toDouble();
             row.completed = query.value(4).toInt() != 0;
             if (!query.value(5).isNull())
                 row.actualDuration = query.value(5).toDouble();
             row.round = query.value(6).toLongLong();
             out.append(row);
         });
    return out;
}

qint64 ScratchStore::sizeOnDisk() const
{
    qint64 total = 0;
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        total += QFileInfo(path() + suffix).size();
    return total;
}

std::optional<ScratchStore::SessionRow> ScratchStore::lastSession() const
{
    const auto rows = sessions();
    return rows.isEmpty() ? std::nullopt : std::optional(rows.last());
}

bool ScratchStore::lastSessionEnded(const QString &screenName) const
{
    const auto row = lastSession();
    return row && row->screenName == screenName && row->endTime.has_value();
}

QString ScratchStore::serviceName() const
{
    return QStringLiteral("io.github.lumora.Lumora.dev_") +
           QString::fromLatin1(
               QCryptographicHash::hash(path().toUtf8(), QCryptographicHash::Sha256).toHex().left(12));
}
