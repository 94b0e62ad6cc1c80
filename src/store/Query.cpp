// SPDX-License-Identifier: MIT
#include "Query.h"

QueryBase::QueryBase(ModelContext *context, const QString &entityName, QObject *parent)
    : QObject(parent), m_context(context)
{
    connect(context, &ModelContext::didChange, this, [this, entityName](const QString &changed) {
        if (changed == entityName)
            refresh();
    });
}
