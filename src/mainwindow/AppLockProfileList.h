// SPDX-License-Identifier: MIT
#pragma once

#include "RecordList.h"

class AppLockProfile;
class AppLockProfileListModel;

// The "Lock Profiles" column: every lock profile, newest first, with Delete
// on each row and an empty state that creates one. The window's toolbar holds
// "New Profile".
class AppLockProfileList : public RecordList
{
    Q_OBJECT
public:
    explicit AppLockProfileList(AppModel *model, QWidget *parent = nullptr);

    AppLockProfileListModel *profiles() const;

    QMenu *contextMenu(const QModelIndex &index, QWidget *parent) override;

    static AppLockProfile *createProfile(AppModel &model);

protected:
    std::optional<QString> recordName(const PersistentIdentifier &id) const override;
    QString deleteQuestion(const QString &name) const override;
    QString deleteDetail() const override;
};
