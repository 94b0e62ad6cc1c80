// SPDX-License-Identifier: MIT
#include "GridProbeModifier.h"

#include <QEvent>
#include <QWidget>

GridProbeModifier *GridProbeModifier::attach(QWidget *widget, GridProbes *probes, GridProbes::Kind kind,
                                             const QString &name, const QString &area,
                                             std::optional<QString> edge, double inset)
{
    if (!probes || !widget || !GridProbes::enabled())
        return nullptr;
    GridProbes::Probe base;
    base.kind = kind;
    base.name = name;
    base.area = area;
    base.edge = std::move(edge);
    base.inset = inset;
    return new GridProbeModifier(widget, probes, std::move(base));
}

GridProbeModifier *GridProbeModifier::attachArea(QWidget *widget, GridProbes *probes, const QString &area)
{
    return attach(widget, probes, GridProbes::Kind::area, area, area);
}

GridProbeModifier::GridProbeModifier(QWidget *widget, GridProbes *probes, GridProbes::Probe base)
    : QObject(widget), m_probes(probes), m_widget(widget), m_base(std::move(base)),
      m_owner(QUuid::createUuid())
{
    watchAncestors();
    if (widget->isVisible())
        scheduleMeasure();
}

GridProbeModifier::~GridProbeModifier()
{
    removeProbe();
}

void GridProbeModifier::removeProbe()
{
    if (m_probes)
        m_probes->remove(m_base.kind, m_base.name, m_owner);
}

GridProbes::Probe GridProbeModifier::probe() const
{
    GridProbes::Probe p = m_base;
    if (!m_widget)
        return p;
    const QPoint origin = m_widget->mapTo(m_widget->window(), QPoint(0, 0));
    p.x = origin.x();
    p.y = origin.y();
    p.width = m_widget->width();
    p.height = m_widget->height();
    return p;
}

void GridProbeModifier::watchAncestors()
{
    for (const QPointer<QWidget> &w : std::as_const(m_watched))
        if (w)
            w->removeEventFilter(this);
    m_watched.clear();
    for (QWidget *w = m_widget; w; w = w->parentWidget()) {
        w->installEventFilter(this);
        m_watched.append(w);
        if (w->isWindow())
            break;
    }
}

bool GridProbeModifier::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
        watchAncestors();
        scheduleMeasure();
        break;
    case QEvent::Hide:
        if (watched == m_widget)
            removeProbe();
        break;
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        scheduleMeasure();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void GridProbeModifier::scheduleMeasure()
{
    if (m_measureScheduled)
        return;
    m_measureScheduled = true;
    // Measure once the layout has settled in this event-loop turn.
    QMetaObject::invokeMethod(this, &GridProbeModifier::measure, Qt::QueuedConnection);
}

void GridProbeModifier::measure()
{
    m_measureScheduled = false;
    if (!m_widget)
        return;
    if (!m_widget->isVisible()) {
        removeProbe();
        return;
    }
    if (m_probes)
        m_probes->update(m_owner, probe());
}
