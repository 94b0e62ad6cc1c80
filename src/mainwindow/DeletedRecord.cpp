// SPDX-License-Identifier: MIT
#include "DeletedRecord.h"

#include "ModelContext.h"
#include "PersistentModel.h"

DeletedRecord::DeletedRecord(const PersistentModel &record, const QString &name)
    : m_entity(&record.entity()), m_name(name)
{
    for (const ColumnInfo &column : m_entity->columns)
        m_values.append(column.get(record));
}

PersistentModel *DeletedRecord::restore(ModelContext &context) const
{
    if (!m_entity)
        return nullptr;
    std::unique_ptr<PersistentModel> record = m_entity->make();
    for (qsizetype i = 0; i < m_values.size() && i < m_entity->columns.size(); ++i)
        m_entity->columns.at(i).set(*record, m_values.at(i));
    return context.insert(std::move(record));
}
