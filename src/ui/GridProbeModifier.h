// SPDX-License-Identifier: MIT
#pragma once

#include "GridProbes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUuid>

class QWidget;

// Makes a widget report its frame as a layout probe while it is visible:
// on show and whenever it or one of its ancestors moves or resizes, and
// removes the probe when the widget is hidden or destroyed. Each instance is
// one owner, so a stale widget going away leaves a newer widget's probe.
// Does nothing when probes are off.
class GridProbeModifier : public QObject
{
    Q_OBJECT
public:
    // The inset every area probe of the main window expects content to keep.
    static constexpr double kAreaInset = 20;

    // Attaches to the widget (which owns the modifier) when probes are on,
    // reporting to `probes`; returns null and changes nothing when they are
    // off (or without a widget or probes).
    static GridProbeModifier *attach(QWidget *widget, GridProbes *probes, GridProbes::Kind kind,
                                     const QString &name, const QString &area,
                                     std::optional<QString> edge = std::nullopt, double inset = kAreaInset);
    // An area probe named after its area, without edge, with the area inset.
    static GridProbeModifier *attachArea(QWidget *widget, GridProbes *probes, const QString &area);

    ~GridProbeModifier() override;

    QUuid owner() const { return m_owner; }
    // The probe as the widget stands now.
    GridProbes::Probe probe() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GridProbeModifier(QWidget *widget, GridProbes *probes, GridProbes::Probe base);
    void removeProbe();
    void watchAncestors();
    void scheduleMeasure();
    void measure();

    QPointer<GridProbes> m_probes;
    QPointer<QWidget> m_widget;
    GridProbes::Probe m_base;
    QUuid m_owner;
    QList<QPointer<QWidget>> m_watched;
    bool m_measureScheduled = false;
};
