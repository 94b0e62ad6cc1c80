#include "AppLockProfileRow.h"

#include "AppLockProfileListModel.h"
#include "Enums.h"

#include <QPainter>

void AppLockProfileRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
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
    const auto mode = LockMode(index.data(AppLockProfileListModel::LockModeRole).toInt());
    int x = paintCaption(*painter, option, content.left(), lineTop, lineHeight, displayName(mode),
                         colors.secondary, icon(mode));
    x += kItemSpacing;
    paintCaption(*painter, option, x, lineTop, lineHeight,
                 index.data(AppLockProfileListModel::BlockedAppsTextRole).toString(), colors.secondary);
    painter->restore();
}
