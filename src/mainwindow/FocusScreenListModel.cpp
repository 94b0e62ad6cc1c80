#include "FocusScreenListModel.h"

#include "DurationText.h"
#include "FocusScreen.h"

namespace {
FetchDescriptor<FocusScreen> listOrder()
{
    FetchDescriptor<FocusScreen> d;
    d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder),
                SortDescriptor<FocusScreen>::by(&FocusScreen::createdAt)};
    return d;
}
} // namespace

FocusScreenListModel::FocusScreenListModel(ModelContext *context, QObject *parent)
    : RecordListModel(parent), m_query(context, listOrder()), m_rows(m_query.results())
{
    connect(&m_query, &QueryBase::resultsChanged, this, [this] { applyResults(m_rows, m_query.results()); });
}

int FocusScreenListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

FocusScreen *FocusScreenListModel::screenAt(int row) const
{
    return (row >= 0 && row < m_rows.size()) ? m_rows[row] : nullptr;
}

PersistentIdentifier FocusScreenListModel::idAt(int row) const
{
    const FocusScreen *screen = screenAt(row);
    return screen ? screen->id() : PersistentIdentifier();
}

QVariant FocusScreenListModel::data(const QModelIndex &index, int role) const
{
    const FocusScreen *screen = screenAt(index.row());
    if (!screen || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return screen->name();
    case IdRole:
        return QVariant::fromValue(screen->id());
    case DurationTextRole:
        return DurationText::forFocusScreen(screen->duration());
    case LockModeRole:
        return int(screen->lockMode());
    case AutoStartRole:
        return screen->autoStartOnLogin();
    default:
        return {};
    }
}
