// SPDX-License-Identifier: MIT
#pragma once

#include "ModelContext.h"

#include <QObject>
#include <QPointer>

// Base of live queries: re-runs when records of its entity change and then
// says so through resultsChanged().
class QueryBase : public QObject
{
    Q_OBJECT
public:
    QueryBase(ModelContext *context, const QString &entityName, QObject *parent);

    ModelContext *context() const { return m_context; }

Q_SIGNALS:
    void resultsChanged();

protected:
    virtual void refresh() = 0;

private:
    QPointer<ModelContext> m_context;
};

// A live fetch: results() always reflects the context, refreshed once per
// event-loop turn in which records of T changed.
template<typename T> class Query : public QueryBase
{
public:
    explicit Query(ModelContext *context, FetchDescriptor<T> descriptor = {}, QObject *parent = nullptr)
        : QueryBase(context, T::entityInfo().name, parent), m_descriptor(std::move(descriptor))
    {
        m_results = context->fetch(m_descriptor);
    }

    const QList<T *> &results() const { return m_results; }
    const FetchDescriptor<T> &descriptor() const { return m_descriptor; }

    void setDescriptor(FetchDescriptor<T> descriptor)
    {
        m_descriptor = std::move(descriptor);
        refresh();
    }

protected:
    void refresh() override
    {
        if (!context())
            return;
        m_results = context()->fetch(m_descriptor);
        Q_EMIT resultsChanged();
    }

private:
    FetchDescriptor<T> m_descriptor;
    QList<T *> m_results;
};
