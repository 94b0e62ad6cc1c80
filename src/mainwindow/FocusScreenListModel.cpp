// SPDX-License-Identifier: MIT
#include "FocusScreenListModel.h"

#include "DurationFormat.h"
#include "FocusScreen.h"
#include "FocusScreenDetail.h"

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
    : QueryListModel(context, listOrder(), parent)
{}

QVariant FocusScreenListModel::data(const QModelIndex &index, int role) const
{
    const FocusScreen *screen = screenAt(index.row());
    if (!screen || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return screen->name();
    case Qt::AccessibleDescriptionRole: {
        QStringList parts{DurationFormat::spokenLength(screen->duration()), displayName(screen->lockMode())};
        if (screen->autoStartOnLogin())
            parts << tr("Starts at login");
        const QString next =
            FocusScreenDetail::nextStartText(screen->schedules(), QDateTime::currentDateTimeUtc());
        if (!next.isEmpty())
            parts << next;
        return parts.join(QStringLiteral(", "));
    }
    case IdRole:
        return QVariant::fromValue(screen->id());
    case DurationTextRole:
        return DurationFormat::screenLength(screen->duration());
    case LockModeRole:
        return int(screen->lockMode());
    case AutoStartRole:
        return screen->autoStartOnLogin();
    case NextStartRole:
        return FocusScreenDetail::nextStartText(screen->schedules(), QDateTime::currentDateTimeUtc());
    default:
        return {};
    }
}
