// SPDX-License-Identifier: MIT
#pragma once

#include "PersistentIdentifier.h"
#include "Query.h"

#include <QAbstractListModel>
#include <QList>

#include <optional>

// Base of the main window's list models: one row per stored record of a live
// query, each tagged with the record's persistent identifier.
class RecordListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        // Row-specific roles of the subclasses start here.
        FirstRowRole,
    };

    using QAbstractListModel::QAbstractListModel;

    virtual PersistentIdentifier idAt(int row) const = 0;
    // The row showing that record, or -1.
    int rowOf(const std::optional<PersistentIdentifier> &id) const;

protected:
    // Takes a query's new results: when they are the same records in the same
    // order the rows are refreshed in place (a field changed), otherwise the
    // model is reset around the swap.
    template<typename T> void applyResults(QList<T *> &rows, const QList<T *> &results)
    {
        if (rows == results) {
            rows = results;
            if (!rows.isEmpty())
                Q_EMIT dataChanged(index(0), index(int(rows.size()) - 1));
            return;
        }
        beginResetModel();
        rows = results;
        endResetModel();
    }
};

// A record list over one live query: the rows are the query's results, in its
// order, and follow the store.
template<typename T> class QueryListModel : public RecordListModel
{
public:
    QueryListModel(ModelContext *context, const FetchDescriptor<T> &order, QObject *parent)
        : RecordListModel(parent), m_query(context, order), m_rows(m_query.results())
    {
        connect(&m_query, &QueryBase::resultsChanged, this,
                [this] { applyResults(m_rows, m_query.results()); });
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

    T *recordAt(int row) const { return (row >= 0 && row < m_rows.size()) ? m_rows[row] : nullptr; }

    PersistentIdentifier idAt(int row) const override
    {
        const T *record = recordAt(row);
        return record ? record->id() : PersistentIdentifier();
    }

protected:
    const QList<T *> &rows() const { return m_rows; }

private:
    Query<T> m_query;
    QList<T *> m_rows;
};
