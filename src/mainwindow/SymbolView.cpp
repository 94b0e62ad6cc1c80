#include "SymbolView.h"

#include "Symbols.h"
#include "TextStyles.h"

#include <QPainter>

SymbolView::SymbolView(const QString &symbol, int side, QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_side(side)
{
    setFixedSize(side, side);
}

void SymbolView::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    update();
}

void SymbolView::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor color = m_color.isValid() ? m_color : TextStyles::secondary(palette());
    p.drawPixmap(0, 0, Symbols::pixmap(m_symbol, m_side, color, devicePixelRatioF()));
}
