// SPDX-License-Identifier: MIT
#include "RoundedPanel.h"

#include <QPainter>

RoundedPanel::RoundedPanel(qreal radius, const QColor &fill, QWidget *parent)
    : QWidget(parent), m_radius(radius), m_fill(fill)
{}

void RoundedPanel::setBorder(const QColor &color, qreal width)
{
    m_border = color;
    m_borderWidth = width;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    const qreal radius = m_radius < 0 ? r.height() / 2 : m_radius;
    p.setPen(Qt::NoPen);
    p.setBrush(m_fill);
    p.drawRoundedRect(r, radius, radius);
    if (m_borderWidth > 0 && m_border.isValid()) {
        // Stroked inside: the pen's centre runs half a width in from the edge.
        const qreal half = m_borderWidth / 2;
        p.setPen(QPen(m_border, m_borderWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(half, half, -half, -half), radius - half, radius - half);
    }
}
