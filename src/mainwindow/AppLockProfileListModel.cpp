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
    : RecordListModel(parent), m_query(context, listOrder()), m_rows(m_query.results())
{
    connect(&m_query, &QueryBase::resultsChanged, this, [this] { applyResults(m_rows, m_query.results()); });
}

QString AppLockProfileListModel::blockedAppsText(qsizetype count)
{
    return QStringLiteral("%1 blocked apps").arg(count);
}

int AppLockProfileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

AppLockProfile *AppLockProfileListModel::profileAt(int row) const
{
    return (row >= 0 && row < m_rows.size()) ? m_rows[row] : nullptr;
}

PersistentIdentifier AppLockProfileListModel::idAt(int row) const
{
    const AppLockProfile *profile = profileAt(row);
    return profile ? profile->id() : PersistentIdentifier();
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
