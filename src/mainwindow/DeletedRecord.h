// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class ModelContext;
class PersistentModel;
struct EntityInfo;

// What a deleted record held, every stored field (its uuid among them), so
// that Undo can put it back as it was. Sessions name their focus screen by
// uuid, so a screen brought back finds its history again.
class DeletedRecord
{
public:
    DeletedRecord() = default;
    // Reads the record before it is removed; `name` is what the user calls it.
    DeletedRecord(const PersistentModel &record, const QString &name);

    bool isEmpty() const { return !m_entity; }
    const QString &name() const { return m_name; }

    // Inserts a record with the same fields into the context.
    PersistentModel *restore(ModelContext &context) const;

private:
    const EntityInfo *m_entity = nullptr;
    QList<QVariant> m_values;
    QString m_name;
};
