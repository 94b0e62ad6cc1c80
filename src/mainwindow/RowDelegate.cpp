// SPDX-License-Identifier: MIT
#include "RowDelegate.h"

#include "Symbols.h"
#include "TextStyles.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr float kSelectedSecondaryAlpha = 0.8f;
constexpr int kSymbolSpacing = 4;
constexpr qreal kFocusRingWidth = 2;
} // namespace

QSize RowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const int headline = QFontMetrics(TextStyles::headline(option.font)).height();
    const int raw =
        2 * (kVerticalMargin + kListRowInset) + headline + kLineSpacing + secondLineHeight(option);
    const int height = (raw + kGrid - 1) / kGrid * kGrid;
    return {contentLeft() * 2, height};
}

int RowDelegate::secondLineHeight(const QStyleOptionViewItem &option) const
{
    return QFontMetrics(TextStyles::caption(option.font)).height();
}

bool RowDelegate::isSelected(const QStyleOptionViewItem &option)
{
    return option.state.testFlag(QStyle::State_Selected);
}

RowDelegate::Colors RowDelegate::colorsFor(const QStyleOptionViewItem &option)
{
    const QPalette &pal = option.palette;
    if (isSelected(option)) {
        const QColor on = pal.color(QPalette::HighlightedText);
        QColor dim = on;
        dim.setAlphaF(kSelectedSecondaryAlpha);
        return {on, dim, on, on};
    }
    const bool dark = pal.color(QPalette::Base).lightness() < 128;
    return {pal.color(QPalette::Text), TextStyles::secondary(pal), pal.color(QPalette::Highlight),
            dark ? QColor(48, 209, 88) : QColor(30, 150, 60)};
}

void RowDelegate::paintFocusRing(QPainter &painter, const QStyleOptionViewItem &option)
{
    if (!option.state.testFlag(QStyle::State_HasFocus))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ring =
        option.palette.color(isSelected(option) ? QPalette::HighlightedText : QPalette::Highlight);
    const qreal inset = kSelectionInset + (isSelected(option) ? kFocusRingWidth : kFocusRingWidth / 2);
    const qreal vertical = 1 + (isSelected(option) ? kFocusRingWidth : kFocusRingWidth / 2);
    painter.setPen(QPen(ring, kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(option.rect).adjusted(inset, vertical, -inset, -vertical),
                            kSelectionRadius, kSelectionRadius);
    painter.restore();
}

void RowDelegate::paintBackground(QPainter &painter, const QStyleOptionViewItem &option)
{
    if (!isSelected(option)) {
        paintFocusRing(painter, option);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = option.palette.color(QPalette::Highlight);
    if (!option.state.testFlag(QStyle::State_Active))
        fill.setAlphaF(0.75f);
    QPainterPath path;
    path.addRoundedRect(QRectF(option.rect).adjusted(kSelectionInset, 1, -kSelectionInset, -1),
                        kSelectionRadius, kSelectionRadius);
    painter.fillPath(path, fill);
    painter.restore();
    paintFocusRing(painter, option);
}

QRect RowDelegate::contentRect(const QStyleOptionViewItem &option)
{
    const int vertical = kVerticalMargin + kListRowInset;
    return option.rect.adjusted(contentLeft(), vertical, -contentLeft(), -vertical);
}

int RowDelegate::paintHeadline(QPainter &painter, const QStyleOptionViewItem &option, const QRect &content,
                               const QString &text, const QColor &color)
{
    const QFont font = TextStyles::headline(option.font);
    const QFontMetrics fm(font);
    painter.setFont(font);
    painter.setPen(color);
    const QRect line(content.left(), content.top(), content.width(), fm.height());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     fm.elidedText(text, Qt::ElideRight, line.width()));
    return line.bottom() + 1 + kLineSpacing;
}

int RowDelegate::paintCaption(QPainter &painter, const QStyleOptionViewItem &option, int x, int lineTop,
                              int lineHeight, const QString &text, const QColor &color, const QString &symbol)
{
    const QFont font = TextStyles::caption(option.font);
    const QFontMetrics fm(font);
    if (!symbol.isEmpty()) {
        const int side = fm.height() - 2;
        const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        painter.drawPixmap(x, lineTop + (lineHeight - side) / 2, Symbols::pixmap(symbol, side, color, dpr));
        x += side + kSymbolSpacing;
    }
    painter.setFont(font);
    painter.setPen(color);
    const int width = fm.horizontalAdvance(text);
    painter.drawText(QRect(x, lineTop, width + 1, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    return x + width;
}

RowDelegate::RowStart RowDelegate::beginRow(QPainter &painter, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    painter.save();
    paintBackground(painter, option);
    RowStart row;
    row.colors = colorsFor(option);
    row.content = contentRect(option);
    painter.setClipRect(row.content.adjusted(0, -kVerticalMargin, 0, kVerticalMargin));
    row.lineTop = paintHeadline(painter, option, row.content, index.data(Qt::DisplayRole).toString(),
                                row.colors.primary);
    row.lineHeight = secondLineHeight(option);
    return row;
}
