// SPDX-License-Identifier: MIT
#pragma once

#include "RowDelegate.h"

// A lock profile in the list: its name, then its mode and "N blocked apps".
class AppLockProfileRow : public RowDelegate
{
    Q_OBJECT
public:
    using RowDelegate::RowDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
