// SPDX-License-Identifier: MIT
#pragma once

#include "FetchDescriptor.h"
#include "PersistentModel.h"

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

// The main-thread context of a container: an identity map holding every
// record of the store in memory. Inserts are visible to fetches and counts at
// once; save() writes what changed in one transaction. Changes are announced
// once per record type per event-loop turn through didChange().
class ModelContext : public QObject
{
    Q_OBJECT
public:
    ~ModelContext() override;

    // Takes ownership; the record gets its identifier here.
    template<typename T> T *insert(std::unique_ptr<T> record)
    {
        T *raw = record.get();
        insertModel(std::unique_ptr<PersistentModel>(record.release()));
        return raw;
    }

    // The record leaves the context. Its memory stays valid until the
    // context goes away, but its fields are no longer stored.
    void remove(PersistentModel *record);

    // Writes every pending insert, change and delete in one transaction.
    // On failure nothing is written, the changes stay pending, saveFailed()
    // is emitted and (with automatic saving on) the save is tried again
    // after kRetryDelayMs.
    bool save(QString *error = nullptr);
    bool hasChanges() const;

    template<typename T> QList<T *> fetch(const FetchDescriptor<T> &descriptor = {}) const
    {
        QList<T *> out;
        const Table *table = findTable(T::entityInfo().name);
        if (!table)
            return out;
        out.reserve(qsizetype(table->rows.size()));
        for (const auto &row : table->rows) {
            T *record = static_cast<T *>(row.get());
            if (!descriptor.predicate || descriptor.predicate(*record))
                out.append(record);
        }
        if (!descriptor.sortBy.isEmpty()) {
            std::stable_sort(out.begin(), out.end(), [&](const T *a, const T *b) {
                for (const auto &key : descriptor.sortBy) {
                    const int c = key.compare(*a, *b);
                    if (c != 0)
                        return c < 0;
                }
                return false;
            });
        }
        if (descriptor.fetchLimit >= 0 && out.size() > descriptor.fetchLimit)
            out.resize(descriptor.fetchLimit);
        return out;
    }

    template<typename T> int fetchCount(const FetchDescriptor<T> &descriptor = {}) const
    {
        const Table *table = findTable(T::entityInfo().name);
        if (!table)
            return 0;
        if (!descriptor.predicate)
            return int(table->rows.size());
        return int(std::count_if(table->rows.begin(), table->rows.end(), [&](const auto &row) {
            return descriptor.predicate(*static_cast<T *>(row.get()));
        }));
    }

    // The live record with that identifier, or null.
    PersistentModel *model(const PersistentIdentifier &id) const;
    template<typename T> T *model(const PersistentIdentifier &id) const
    {
        if (id.entityName != T::entityInfo().name)
            return nullptr;
        return static_cast<T *>(model(id));
    }

    // The store's connection, for reading rows without keeping them.
    QSqlDatabase database() const { return m_db; }

    // Automatic saving: armed by every change, fires after this delay.
    void setAutosaveEnabled(bool enabled);
    bool autosaveEnabled() const { return m_autosave; }
    static constexpr int kAutosaveDelayMs = 300;
    static constexpr int kRetryDelayMs = 2000;
    // The last save failed and its changes are still pending.
    bool isFailing() const { return m_failing; }

Q_SIGNALS:
    // Records of this entity were inserted, deleted or changed.
    void didChange(const QString &entityName);
    // A save failed; the changes stay pending. error is the store's reason.
    void saveFailed(const QString &error);
    // A save wrote what was pending after one or more failed.
    void saveRecovered();

private:
    friend class ModelContainer;
    friend class PersistentModel;

    struct Table
    {
        const EntityInfo *info = nullptr;
        std::vector<std::unique_ptr<PersistentModel>> rows; // live, in insertion order
        QHash<qint64, PersistentModel *> byId;
        qint64 nextId = 1;
        bool changePending = false;
    };

    ModelContext(QSqlDatabase db, const QList<const EntityInfo *> &schema, QObject *parent);
    bool load(QString *error);
    void insertModel(std::unique_ptr<PersistentModel> record);
    void recordChanged(PersistentModel *record, int column);
    void noteChange(Table &table);
    void flushChanges();
    Table *findTable(const QString &entity);
    const Table *findTable(const QString &entity) const;
    qint64 storedMaxId(const Table &table) const;

    QSqlDatabase m_db;
    std::vector<Table> m_tables;
    QList<PersistentModel *> m_dirty;                            // changed rows already in the file
    QList<PersistentModel *> m_inserted;                         // new rows not yet written
    std::vector<std::unique_ptr<PersistentModel>> m_deletedRows; // removed; kept alive for stale pointers
    QList<PersistentIdentifier> m_pendingDeletes;                // rows to delete from the file
    bool m_flushScheduled = false;
    bool m_autosave = true;
    bool m_failing = false;
    QTimer m_autosaveTimer;
    QTimer m_retryTimer;
};
