// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>

// A container that paints a rounded rectangle (or a capsule) with a fill and
// an optional border stroked inside the shape; children are laid out on it.
class RoundedPanel : public QWidget
{
    Q_OBJECT
public:
    // A negative radius makes a capsule (half the height).
    static constexpr qreal kCapsule = -1;

    explicit RoundedPanel(qreal radius, const QColor &fill, QWidget *parent = nullptr);

    void setBorder(const QColor &color, qreal width);
    qreal radius() const { return m_radius; }
    QColor fill() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
    QColor m_fill;
    QColor m_border;
    qreal m_borderWidth = 0;
};
