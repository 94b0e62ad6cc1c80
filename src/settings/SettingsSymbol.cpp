#include "SettingsSymbol.h"

#include "Symbols.h"

#include <QPainter>

SettingsSymbol::SettingsSymbol(const QString &symbol, int size, QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_size(size)
{
    setFixedSize(size, size);
}

void SettingsSymbol::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

void SettingsSymbol::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void SettingsSymbol::paintEvent(QPaintEvent *)
{
    const QColor color = m_color.isValid() ? m_color : palette().color(foregroundRole());
    QPainter p(this);
    p.drawPixmap(0, 0, Symbols::pixmap(m_symbol, m_size, color, devicePixelRatioF()));
}
