// SPDX-License-Identifier: MIT
#include "IconView.h"

#include "Accessible.h"
#include "Symbols.h"

#include <QPainter>

IconView::IconView(const QIcon &icon, int size, QWidget *parent) : QWidget(parent), m_icon(icon)
{
    setFixedSize(size, size);
    // Every icon stands beside the text that says the same.
    Accessible::setDecorative(this);
}

IconView *IconView::symbol(const QString &symbol, const QColor &color, int size, QWidget *parent)
{
    auto *view = new IconView(Symbols::icon(symbol, color), size, parent);
    view->m_symbolName = symbol;
    return view;
}

void IconView::setIcon(const QIcon &icon)
{
    m_icon = icon;
    update();
}

void IconView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    m_icon.paint(&p, rect(), Qt::AlignCenter, QIcon::Normal);
}
