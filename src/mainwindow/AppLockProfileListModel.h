// SPDX-License-Identifier: MIT
#pragma once

#include "AppLockProfile.h"
#include "Query.h"
#include "RecordListModel.h"

// Every lock profile, newest first, following the store.
class AppLockProfileListModel : public QueryListModel<AppLockProfile>
{
    Q_OBJECT
public:
    enum Role {
        LockModeRole = FirstRowRole, // LockMode as int
        BlockedAppsTextRole,         // "3 blocked apps"
    };

    explicit AppLockProfileListModel(ModelContext *context, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    AppLockProfile *profileAt(int row) const { return recordAt(row); }

    // "N blocked apps", the same wording for every count.
    static QString blockedAppsText(qsizetype count);
};
