// SPDX-License-Identifier: MIT
#pragma once

#include "RowDelegate.h"

#include <QPointer>

class ThemeStore;

// A focus screen in the list: its name, then its duration, its lock mode
// badge and, when flagged, "Auto-start".
class FocusScreenRow : public RowDelegate
{
    Q_OBJECT
public:
    // The badge is drawn in the accent of `themes`.
    explicit FocusScreenRow(ThemeStore *themes, QObject *parent = nullptr);

    static QString autoStartText() { return tr("Auto-start"); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    int secondLineHeight(const QStyleOptionViewItem &option) const override;

private:
    QPointer<ThemeStore> m_themes;
};
