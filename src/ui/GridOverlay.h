// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

class GridProbes;

// The 8-point grid and the probe rectangles, drawn over a widget's full size.
// It follows the widget's size, stays on top of its other children and lets
// every mouse event through.
class GridOverlay : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kGridStep = 8;
    static constexpr qreal kLineWidth = 0.5;
    static constexpr qreal kGridOpacity = 0.12;
    static constexpr qreal kProbeOpacity = 0.8;
    static constexpr qreal kAreaOpacity = 0.6;
    static constexpr qreal kAreaInsetOpacity = 0.35;
    static constexpr int kLabelOffset = 6;

    // Covers target (its parent) from now on, drawing the probes of `probes`.
    GridOverlay(QWidget *target, GridProbes *probes);

    // Installs an overlay over target when probes are on; returns null
    // otherwise (also without a target or probes).
    static GridOverlay *installIfEnabled(QWidget *target, GridProbes *probes);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<GridProbes> m_probes;
};
