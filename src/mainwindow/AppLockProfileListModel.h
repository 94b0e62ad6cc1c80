#pragma once

#include "AppLockProfile.h"
#include "Query.h"
#include "RecordListModel.h"

// Every lock profile, newest first, following the store.
class AppLockProfileListModel : public RecordListModel
{
    Q_OBJECT
public:
    enum Role {
        LockModeRole = FirstRowRole, // LockMode as int
        BlockedAppsTextRole,         // "3 blocked apps"
    };

    explicit AppLockProfileListModel(ModelContext *context, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    PersistentIdentifier idAt(int row) const override;
    AppLockProfile *profileAt(int row) const;

    // "N blocked apps", the same wording for every count.
    static QString blockedAppsText(qsizetype count);

private:
    Query<AppLockProfile> m_query;
    QList<AppLockProfile *> m_rows;
};
