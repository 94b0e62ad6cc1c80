// SPDX-License-Identifier: MIT
#include "AppLockProfileRow.h"

#include "AppLockProfileListModel.h"
#include "Enums.h"

#include <QPainter>

void AppLockProfileRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const auto [colors, content, lineTop, lineHeight] = beginRow(*painter, option, index);
    const auto mode = LockMode(index.data(AppLockProfileListModel::LockModeRole).toInt());
    int x = paintCaption(*painter, option, content.left(), lineTop, lineHeight, displayName(mode),
                         colors.secondary, icon(mode));
    x += kItemSpacing;
    paintCaption(*painter, option, x, lineTop, lineHeight,
                 index.data(AppLockProfileListModel::BlockedAppsTextRole).toString(), colors.secondary);
    painter->restore();
}
