// SPDX-License-Identifier: MIT
#include "FocusSessionRow.h"

#include "FocusSessionListModel.h"
#include "Symbols.h"
#include "TextStyles.h"

#include <QPainter>

QRect FocusSessionRow::completionMarkRect(const QStyleOptionViewItem &option)
{
    const QRect content = contentRect(option);
    const int side = TextStyles::title3SymbolSize(option.font);
    return {content.right() + 1 - side, content.center().y() - side / 2, side, side};
}

void FocusSessionRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    painter->save();
    const Colors colors = colorsFor(option);
    QRect content = contentRect(option);
    painter->setClipRect(option.rect);

    const bool completed = index.data(FocusSessionListModel::CompletedRole).toBool();
    const QRect mark = completionMarkRect(option);
    if (completed) {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(mark.topLeft(), Symbols::pixmap(QStringLiteral("checkmark.circle.fill"),
                                                            mark.width(), colors.positive, dpr));
    }
    content.setRight(mark.left() - kItemSpacing);
    painter->setClipRect(content.adjusted(0, -kVerticalMargin, 0, kVerticalMargin));

    const int lineTop =
        paintHeadline(*painter, option, content, index.data(Qt::DisplayRole).toString(), colors.primary);
    const int lineHeight = secondLineHeight(option);
    int x = paintCaption(*painter, option, content.left(), lineTop, lineHeight,
                         index.data(FocusSessionListModel::DateTextRole).toString(), colors.secondary);
    x = paintCaption(*painter, option, x + kItemSpacing, lineTop, lineHeight,
                     index.data(FocusSessionListModel::TimeTextRole).toString(), colors.secondary);
    const QString duration = index.data(FocusSessionListModel::DurationTextRole).toString();
    if (!duration.isEmpty())
        paintCaption(*painter, option, x + kItemSpacing, lineTop, lineHeight, duration, colors.secondary);
    painter->restore();
}
