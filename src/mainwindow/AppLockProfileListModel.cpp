// SPDX-License-Identifier: MIT
#include "AppLockProfileListModel.h"

#include "AppLockProfile.h"

namespace {
FetchDescriptor<AppLockProfile> listOrder()
{
    FetchDescriptor<AppLockProfile> d;
    d.sortBy = {SortDescriptor<AppLockProfile>::by(&AppLockProfile::createdAt, SortOrder::reverse)};
    return d;
}
} // namespace

AppLockProfileListModel::AppLockProfileListModel(ModelContext *context, QObject *parent)
    : QueryListModel(context, listOrder(), parent)
{}

QString AppLockProfileListModel::blockedAppsText(qsizetype count)
{
    return tr("%n blocked apps", nullptr, int(count));
}

QVariant AppLockProfileListModel::data(const QModelIndex &index, int role) const
{
    const AppLockProfile *profile = profileAt(index.row());
    if (!profile || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return profile->name();
    case Qt::AccessibleDescriptionRole:
        return QStringList{displayName(profile->mode()), blockedAppsText(profile->blockedApps().size())}.join(
            QStringLiteral(", "));
    case IdRole:
        return QVariant::fromValue(profile->id());
    case LockModeRole:
        return int(profile->mode());
    case BlockedAppsTextRole:
        return blockedAppsText(profile->blockedApps().size());
    default:
        return {};
    }
}
