// SPDX-License-Identifier: MIT
#include "FocusScreenRow.h"

#include "FocusScreenListModel.h"
#include "LockModeBadge.h"
#include "ThemeStore.h"

#include <QPainter>

FocusScreenRow::FocusScreenRow(ThemeStore *themes, QObject *parent) : RowDelegate(parent), m_themes(themes) {}

int FocusScreenRow::secondLineHeight(const QStyleOptionViewItem &option) const
{
    return std::max(RowDelegate::secondLineHeight(option),
                    LockModeBadge::sizeFor(LockMode::hideApps, option.font).height());
}

void FocusScreenRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    const auto [colors, content, lineTop, lineHeight] = beginRow(*painter, option, index);
    int x = paintCaption(*painter, option, content.left(), lineTop, lineHeight,
                         index.data(FocusScreenListModel::DurationTextRole).toString(), colors.secondary);

    x += kItemSpacing;
    const auto mode = LockMode(index.data(FocusScreenListModel::LockModeRole).toInt());
    const QSize badge = LockModeBadge::sizeFor(mode, option.font);
    // On a selected row the badge takes the selection's text colour.
    const QColor badgeText =
        isSelected(option) ? colors.accent : LockModeBadge::textColor(m_themes, option.palette);
    LockModeBadge::paint(*painter, QRect(QPoint(x, lineTop + (lineHeight - badge.height()) / 2), badge), mode,
                         option.font, colors.accent, badgeText);
    x += badge.width();

    if (index.data(FocusScreenListModel::AutoStartRole).toBool()) {
        x += kItemSpacing;
        x = paintCaption(*painter, option, x, lineTop, lineHeight, autoStartText(), colors.positive,
                         QStringLiteral("power.circle.fill"));
    }
    const QString next = index.data(FocusScreenListModel::NextStartRole).toString();
    if (!next.isEmpty()) {
        x += kItemSpacing;
        paintCaption(*painter, option, x, lineTop, lineHeight, next, colors.secondary,
                     QStringLiteral("clock"));
    }
    painter->restore();
}
