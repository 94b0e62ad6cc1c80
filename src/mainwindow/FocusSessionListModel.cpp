// SPDX-License-Identifier: MIT
#include "FocusSessionListModel.h"

#include "DurationFormat.h"
#include "FocusScreen.h"
#include "FocusSession.h"

namespace {
FetchDescriptor<FocusSession> newestFirst()
{
    FetchDescriptor<FocusSession> d;
    d.sortBy = {SortDescriptor<FocusSession>::by(&FocusSession::startTime, SortOrder::reverse)};
    return d;
}
} // namespace

FocusSessionListModel::FocusSessionListModel(ModelContext *context, QObject *parent)
    : QueryListModel(context, newestFirst(), parent), m_screens(context)
{
    rebuildNameTable();
    connect(&m_screens, &QueryBase::resultsChanged, this, [this] {
        rebuildNameTable();
        if (!rows().isEmpty())
            Q_EMIT dataChanged(index(0), index(int(rows().size()) - 1),
                               {Qt::DisplayRole, Qt::AccessibleTextRole});
    });
}

void FocusSessionListModel::rebuildNameTable()
{
    m_names.clear();
    for (const FocusScreen *screen : m_screens.results())
        m_names.insert(screen->uuid(), screen->name());
}

void FocusSessionListModel::setLocale(const QLocale &locale)
{
    m_locale = locale;
    if (!rows().isEmpty())
        Q_EMIT dataChanged(index(0), index(int(rows().size()) - 1), {DateTextRole, TimeTextRole});
}

QString FocusSessionListModel::outcomeText(const FocusSession &session)
{
    if (session.completed())
        return tr("Completed");
    if (session.endTime() || session.actualDuration())
        return tr("Ended early");
    return tr("Not finished");
}

QString FocusSessionListModel::outcomeSymbol(const FocusSession &session)
{
    if (session.completed())
        return QStringLiteral("checkmark.circle.fill");
    if (session.endTime() || session.actualDuration())
        return QStringLiteral("exclamationmark.triangle");
    return QStringLiteral("clock");
}

QString FocusSessionListModel::screenName(const FocusSession &session) const
{
    const auto it = m_names.constFind(session.focusScreenID());
    return it == m_names.constEnd() ? unknownScreenName() : *it;
}

QVariant FocusSessionListModel::data(const QModelIndex &index, int role) const
{
    const FocusSession *session = sessionAt(index.row());
    if (!session || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return screenName(*session);
    case Qt::AccessibleTextRole: {
        QStringList parts{screenName(*session), data(index, DateTextRole).toString(),
                          data(index, TimeTextRole).toString()};
        if (session->actualDuration())
            parts << DurationFormat::sessionLength(*session->actualDuration());
        return parts.join(QStringLiteral(", "));
    }
    case Qt::AccessibleDescriptionRole:
        return outcomeText(*session);
    case IdRole:
        return QVariant::fromValue(session->id());
    case DateTextRole:
        return m_locale.toString(session->startTime().toLocalTime().date(), QLocale::ShortFormat);
    case TimeTextRole:
        return m_locale.toString(session->startTime().toLocalTime().time(), QLocale::ShortFormat);
    case DurationTextRole:
        return session->actualDuration() ? DurationFormat::sessionLength(*session->actualDuration())
                                         : QString();
    case CompletedRole:
        return session->completed();
    default:
        return {};
    }
}
