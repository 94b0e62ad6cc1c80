// SPDX-License-Identifier: MIT
#include "ModelContext.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

ModelContext::ModelContext(QSqlDatabase db, const QList<const EntityInfo *> &schema, QObject *parent)
    : QObject(parent), m_db(std::move(db))
{
    m_tables.reserve(size_t(schema.size()));
    for (const EntityInfo *info : schema) {
        Table table;
        table.info = info;
        m_tables.push_back(std::move(table));
    }
    m_autosaveTimer.setSingleShot(true);
    m_autosaveTimer.setInterval(kAutosaveDelayMs);
    connect(&m_autosaveTimer, &QTimer::timeout, this, [this] { save(); });
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(kRetryDelayMs);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] { save(); });
}

ModelContext::~ModelContext()
{
    // Records may outlive a caller's pointer only as long as the context.
    for (auto &table : m_tables)
        for (auto &row : table.rows)
            row->m_context = nullptr;
    for (auto &row : m_deletedRows)
        row->m_context = nullptr;
}

ModelContext::Table *ModelContext::findTable(const QString &entity)
{
    for (auto &table : m_tables)
        if (table.info->name == entity)
            return &table;
    return nullptr;
}

const ModelContext::Table *ModelContext::findTable(const QString &entity) const
{
    return const_cast<ModelContext *>(this)->findTable(entity);
}

bool ModelContext::load(QString *error)
{
    for (auto &table : m_tables) {
        const EntityInfo &info = *table.info;
        QStringList names{QStringLiteral("id")};
        for (const ColumnInfo &column : info.columns)
            names << QString::fromLatin1(column.name);
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        const QString sql =
            QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY id").arg(names.join(u','), info.name);
        if (!query.exec(sql)) {
            *error = query.lastError().databaseText();
            return false;
        }
        while (query.next()) {
            std::unique_ptr<PersistentModel> record = info.make();
            record->m_rowId = query.value(0).toLongLong();
            for (int c = 0; c < info.columns.size(); ++c)
                info.columns[c].set(*record, query.value(c + 1));
            record->m_persisted = true;
            record->m_dirtyColumns = 0;
            record->m_context = this;
            table.nextId = std::max(table.nextId, record->m_rowId + 1);
            table.byId.insert(record->m_rowId, record.get());
            table.rows.push_back(std::move(record));
        }
        // A read that stops early on a damaged page shows up here, not in exec().
        if (query.lastError().isValid()) {
            *error = query.lastError().databaseText();
            return false;
        }
        query.finish();
    }
    return true;
}

qint64 ModelContext::storedMaxId(const Table &table) const
{
    // Another container on the same file may have written rows since we
    // loaded; never hand out an id that is already taken there.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    qint64 max = 0;
    if (query.exec(QStringLiteral("SELECT max(id) FROM \"%1\"").arg(table.info->name)) && query.next())
        max = query.value(0).toLongLong();
    query.finish();
    return max;
}

void ModelContext::insertModel(std::unique_ptr<PersistentModel> record)
{
    if (!record || record->m_context)
        return;
    Table *table = findTable(record->entity().name);
    if (!table)
        return;
    table->nextId = std::max(table->nextId, storedMaxId(*table) + 1);
    record->m_rowId = table->nextId++;
    record->m_context = this;
    record->m_persisted = false;
    record->m_deleted = false;
    record->m_dirtyColumns = 0;
    m_inserted.append(record.get());
    table->byId.insert(record->m_rowId, record.get());
    table->rows.push_back(std::move(record));
    noteChange(*table);
}

void ModelContext::remove(PersistentModel *record)
{
    if (!record || record->m_context != this || record->m_deleted)
        return;
    Table *table = findTable(record->entity().name);
    if (!table)
        return;
    auto it = std::find_if(table->rows.begin(), table->rows.end(),
                           [record](const auto &row) { return row.get() == record; });
    if (it == table->rows.end())
        return;
    record->m_deleted = true;
    m_inserted.removeOne(record);
    m_dirty.removeOne(record);
    if (record->m_persisted)
        m_pendingDeletes.append(record->id());
    table->byId.remove(record->m_rowId);
    m_deletedRows.push_back(std::move(*it));
    table->rows.erase(it);
    noteChange(*table);
}

void ModelContext::recordChanged(PersistentModel *record, int column)
{
    Table *table = findTable(record->entity().name);
    if (!table)
        return;
    if (record->m_persisted) {
        if (record->m_dirtyColumns == 0)
            m_dirty.append(record);
        record->m_dirtyColumns |= (quint64(1) << column);
    }
    noteChange(*table);
}

void ModelContext::noteChange(Table &table)
{
    table.changePending = true;
    if (m_autosave)
        m_autosaveTimer.start();
    if (!m_flushScheduled) {
        m_flushScheduled = true;
        QMetaObject::invokeMethod(this, &ModelContext::flushChanges, Qt::QueuedConnection);
    }
}

void ModelContext::flushChanges()
{
    m_flushScheduled = false;
    for (auto &table : m_tables) {
        if (table.changePending) {
            table.changePending = false;
            Q_EMIT didChange(table.info->name);
        }
    }
}

PersistentModel *ModelContext::model(const PersistentIdentifier &id) const
{
    const Table *table = findTable(id.entityName);
    if (!table)
        return nullptr;
    return table->byId.value(id.id, nullptr);
}

void ModelContext::setAutosaveEnabled(bool enabled)
{
    m_autosave = enabled;
    if (!enabled) {
        m_autosaveTimer.stop();
        m_retryTimer.stop();
    }
}

bool ModelContext::hasChanges() const
{
    return !m_inserted.isEmpty() || !m_dirty.isEmpty() || !m_pendingDeletes.isEmpty();
}

bool ModelContext::save(QString *error)
{
    m_autosaveTimer.stop();
    m_retryTimer.stop();
    if (!hasChanges())
        return true;

    const auto fail = [&](const QSqlError &sqlError) {
        QString text = sqlError.databaseText().isEmpty() ? sqlError.text() : sqlError.databaseText();
        if (text.isEmpty())
            text = QStringLiteral("unknown error");
        if (error)
            *error = text;
        m_db.rollback();
        m_failing = true;
        if (m_autosave)
            m_retryTimer.start();
        Q_EMIT saveFailed(text);
        return false;
    };

    if (!m_db.transaction())
        return fail(m_db.lastError());

    for (PersistentModel *record : std::as_const(m_inserted)) {
        const EntityInfo &info = record->entity();
        QStringList names{QStringLiteral("id")};
        QStringList marks{QStringLiteral("?")};
        for (const ColumnInfo &column : info.columns) {
            names << QString::fromLatin1(column.name);
            marks << QStringLiteral("?");
        }
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                          .arg(info.name, names.join(u','), marks.join(u',')));
        query.addBindValue(record->m_rowId);
        for (const ColumnInfo &column : info.columns)
            query.addBindValue(column.get(*record));
        if (!query.exec())
            return fail(query.lastError());
    }

    for (PersistentModel *record : std::as_const(m_dirty)) {
        const EntityInfo &info = record->entity();
        QStringList sets;
        QList<QVariant> values;
        for (int c = 0; c < info.columns.size(); ++c) {
            if (record->m_dirtyColumns & (quint64(1) << c)) {
                sets << QStringLiteral("\"%1\"=?").arg(QString::fromLatin1(info.columns[c].name));
                values << info.columns[c].get(*record);
            }
        }
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE id=?").arg(info.name, sets.join(u',')));
        for (const QVariant &value : values)
            query.addBindValue(value);
        query.addBindValue(record->m_rowId);
        if (!query.exec())
            return fail(query.lastError());
    }

    for (const PersistentIdentifier &id : std::as_const(m_pendingDeletes)) {
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("DELETE FROM \"%1\" WHERE id=?").arg(id.entityName));
        query.addBindValue(id.id);
        if (!query.exec())
            return fail(query.lastError());
    }

    if (!m_db.commit())
        return fail(m_db.lastError());

    for (PersistentModel *record : std::as_const(m_inserted))
        record->m_persisted = true;
    for (PersistentModel *record : std::as_const(m_dirty))
        record->m_dirtyColumns = 0;
    m_inserted.clear();
    m_dirty.clear();
    m_pendingDeletes.clear();
    if (std::exchange(m_failing, false))
        Q_EMIT saveRecovered();
    return true;
}
