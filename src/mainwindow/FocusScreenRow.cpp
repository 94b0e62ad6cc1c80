#include "FocusScreenRow.h"

#include "FocusScreenListModel.h"
#include "LockModeBadge.h"

#include <QPainter>

int FocusScreenRow::secondLineHeight(const QStyleOptionViewItem &option) const
{
    return std::max(RowDelegate::secondLineHeight(option),
                    LockModeBadge::sizeFor(LockMode::hideApps, option.font).height());
}

void FocusScreenRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    painter->save();
    paintBackground(*painter, option);
    const Colors colors = colorsFor(option);
    const QRect content = contentRect(option);
    painter->setClipRect(content.adjusted(0, -kVerticalMargin, 0, kVerticalMargin));

    const int lineTop =
        paintHeadline(*painter, option, content, index.data(Qt::DisplayRole).toString(), colors.primary);
    const int lineHeight = secondLineHeight(option);
    int x = paintCaption(*painter, option, content.left(), lineTop, lineHeight,
                         index.data(FocusScreenListModel::DurationTextRole).toString(), colors.secondary);

    x += kItemSpacing;
    const auto mode = LockMode(index.data(FocusScreenListModel::LockModeRole).toInt());
    const QSize badge = LockModeBadge::sizeFor(mode, option.font);
    LockModeBadge::paint(*painter, QRect(QPoint(x, lineTop + (lineHeight - badge.height()) / 2), badge), mode,
                         option.font, colors.accent, colors.accent);
    x += badge.width();

    if (index.data(FocusScreenListModel::AutoStartRole).toBool()) {
        x += kItemSpacing;
        paintCaption(*painter, option, x, lineTop, lineHeight, autoStartText(), colors.positive,
                     QStringLiteral("power.circle.fill"));
    }
    painter->restore();
}
