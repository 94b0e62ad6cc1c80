// SPDX-License-Identifier: MIT
#pragma once

#include "RowDelegate.h"

// A session in the history: the screen name, then the start date, the start
// time and the actual duration; a green check mark at the right end when it
// ran to completion.
class FocusSessionRow : public RowDelegate
{
    Q_OBJECT
public:
    using RowDelegate::RowDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    // Where the completion mark is drawn inside a row rectangle.
    static QRect completionMarkRect(const QStyleOptionViewItem &option);
};
