// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

#include <optional>

class QScrollArea;

// Makes a scrolling form exactly as tall as its content, up to a maximum,
// so that a window whose size follows its content grows and shrinks with
// it. Taller content is held at the maximum and scrolls.
//
// The content height is measured whenever the content's layout changes,
// rounded up to a whole pixel, and kept only when it differs from the kept
// height by one pixel or more, which keeps the layout from oscillating.
class FitsContent : public QObject
{
    Q_OBJECT
public:
    // Applies the behaviour to `area`, whose widget (the content) must
    // already be set. Once per area: a second call returns the first object
    // with its maximum changed. The area is given no frame and a vertical
    // scroll bar only when needed.
    static FitsContent *apply(QScrollArea *area, qreal max);

    qreal max() const { return m_max; }
    // The last kept content height; nothing before the first measurement.
    std::optional<qreal> height() const { return m_height; }

    // Takes a measured content height; returns true when it was kept.
    bool observe(qreal contentHeight);
    // The height the area is held at: the smaller of max() and height(),
    // nothing while no height has been kept (the area is left as it is).
    std::optional<int> frameHeight() const;

    // Measures the content now and sizes the area.
    void update();

Q_SIGNALS:
    void heightChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FitsContent(QScrollArea *area, qreal max);
    qreal measure() const;
    void applyFrame();

    QPointer<QScrollArea> m_area;
    QPointer<QWidget> m_content;
    qreal m_max;
    std::optional<qreal> m_height;
};
