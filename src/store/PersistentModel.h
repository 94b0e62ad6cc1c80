// SPDX-License-Identifier: MIT
#pragma once

#include "PersistentIdentifier.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class ModelContext;
class PersistentModel;

// One stored field: its column name (spelled as the field), its SQL type,
// how to move its value between a record and the column, and the schema
// version that brought the column.
struct ColumnInfo
{
    const char *name;
    const char *sqlType;
    QVariant (*get)(const PersistentModel &);
    void (*set)(PersistentModel &, const QVariant &);
    int since = 1;
};

// One record type: its table, the columns in field declaration order and the
// schema version that brought the table.
struct EntityInfo
{
    QString name;
    QList<ColumnInfo> columns;
    std::unique_ptr<PersistentModel> (*make)();
    int since = 1;
};

// Base of every stored record. Records are owned by their ModelContext once
// inserted; setters report each changed field so that a save writes only what
// changed and live queries hear about it.
class PersistentModel
{
public:
    virtual ~PersistentModel();
    PersistentModel(const PersistentModel &) = delete;
    PersistentModel &operator=(const PersistentModel &) = delete;

    virtual const EntityInfo &entity() const = 0;

    // The record's identity; invalid until it is inserted into a context.
    PersistentIdentifier id() const;
    ModelContext *modelContext() const { return m_context; }
    bool isDeleted() const { return m_deleted; }

protected:
    PersistentModel() = default;

    // Called by setters after a field changed.
    void touch(int column);

    // Assigns and reports the change when the value differs.
    template<typename V> void assign(V &member, const V &value, int column)
    {
        if (member == value)
            return;
        member = value;
        touch(column);
    }

private:
    friend class ModelContext;
    ModelContext *m_context = nullptr;
    qint64 m_rowId = 0;
    quint64 m_dirtyColumns = 0;
    bool m_persisted = false; // a row for it exists in the file
    bool m_deleted = false;
};

// Column value encodings shared by the record types.
namespace Column {
QVariant fromDate(const QDateTime &date);
QDateTime toDate(const QVariant &value);
QVariant fromOptionalDate(const std::optional<QDateTime> &date);
std::optional<QDateTime> toOptionalDate(const QVariant &value);
QVariant fromList(const QStringList &list);
QStringList toList(const QVariant &value);
QVariant fromString(const QString &s);
QVariant fromOptionalString(const std::optional<QString> &s);
std::optional<QString> toOptionalString(const QVariant &value);
QVariant fromOptionalDouble(const std::optional<double> &d);
std::optional<double> toOptionalDouble(const QVariant &value);
QVariant fromUuid(const QUuid &uuid);
QUuid toUuid(const QVariant &value);
} // namespace Column
