// SPDX-License-Identifier: MIT
#pragma once

#include "FocusScreen.h"
#include "Query.h"
#include "RecordListModel.h"

// Every focus screen, by sortOrder then createdAt, following the store.
class FocusScreenListModel : public QueryListModel<FocusScreen>
{
    Q_OBJECT
public:
    enum Role {
        DurationTextRole = FirstRowRole, // "25 min", "1h 30m"
        LockModeRole,                    // LockMode as int
        AutoStartRole,                   // bool
        NextStartRole,                   // "Next start: Mon 09:00", empty without a schedule
    };

    explicit FocusScreenListModel(ModelContext *context, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    FocusScreen *screenAt(int row) const { return recordAt(row); }
};
