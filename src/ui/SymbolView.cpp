// SPDX-License-Identifier: MIT
#include "SymbolView.h"

#include "Accessible.h"
#include "Symbols.h"

#include <QPainter>

SymbolView::SymbolView(const QString &symbol, int side, QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_side(side)
{
    setFixedSize(side, side);
    // A symbol repeats the text beside it unless it is given a name.
    Accessible::setDecorative(this);
}

void SymbolView::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    update();
}

void SymbolView::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void SymbolView::setColorRole(QPalette::ColorRole role)
{
    m_role = role;
    update();
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor color = m_color.isValid() ? m_color : palette().color(m_role);
    p.drawPixmap(0, 0, Symbols::pixmap(m_symbol, m_side, color, devicePixelRatioF()));
}
