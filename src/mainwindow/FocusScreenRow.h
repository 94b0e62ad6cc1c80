#pragma once

#include "RowDelegate.h"

// A focus screen in the list: its name, then its duration, its lock mode
// badge and, when flagged, "Auto-start".
class FocusScreenRow : public RowDelegate
{
    Q_OBJECT
public:
    using RowDelegate::RowDelegate;

    static QString autoStartText() { return QStringLiteral("Auto-start"); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    int secondLineHeight(const QStyleOptionViewItem &option) const override;
};
