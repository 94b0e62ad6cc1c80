// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

// Shared painting of the main window's two-line list rows: a rounded
// selection, a headline on top and a line of secondary items below.
class RowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The selection sits this far inside the row; the content this much further in.
    static constexpr int kSelectionInset = 8;
    static constexpr int kContentInset = 12;
    static constexpr qreal kSelectionRadius = 6;
    // Margin above and below a row's content, and between its two lines.
    static constexpr int kVerticalMargin = 4;
    static constexpr int kListRowInset = 4;
    static constexpr int kLineSpacing = 4;
    // Between the items of the second line.
    static constexpr int kItemSpacing = 8;
    // Row heights are rounded up to the layout grid.
    static constexpr int kGrid = 8;

    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where a row's content starts, measured from the row's left edge.
    static int contentLeft() { return kSelectionInset + kContentInset; }

    // The keyboard focus on a row: a ring around its selection shape, in the
    // accent (in the selection's text colour on a selected row).
    static void paintFocusRing(QPainter &painter, const QStyleOptionViewItem &option);

protected:
    struct Colors
    {
        QColor primary;
        QColor secondary;
        QColor accent;
        QColor positive; // the green of "Auto-start" and the completion mark
    };

    static bool isSelected(const QStyleOptionViewItem &option);
    static Colors colorsFor(const QStyleOptionViewItem &option);
    static void paintBackground(QPainter &painter, const QStyleOptionViewItem &option);
    // The rectangle inside the row's margins.
    static QRect contentRect(const QStyleOptionViewItem &option);
    // Paints the headline elided into width; returns the y of the second line.
    static int paintHeadline(QPainter &painter, const QStyleOptionViewItem &option, const QRect &content,
                             const QString &text, const QColor &color);
    // Paints a caption (with an optional symbol in front) at x on the second
    // line; returns the x after it.
    static int paintCaption(QPainter &painter, const QStyleOptionViewItem &option, int x, int lineTop,
                            int lineHeight, const QString &text, const QColor &color,
                            const QString &symbol = QString());
    // Height of the second line (at least the caption height).
    virtual int secondLineHeight(const QStyleOptionViewItem &option) const;

    // What every row paints first: the background and the headline (the
    // index's display text), with the painter saved and clipped to the row.
    // The caller restores the painter when it is done.
    struct RowStart
    {
        Colors colors;
        QRect content;
        int lineTop = 0;
        int lineHeight = 0;
    };
    RowStart beginRow(QPainter &painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
};
