// SPDX-License-Identifier: MIT
#include "GridOverlay.h"

#include "GridProbes.h"

#include <QEvent>
#include <QPainter>

namespace {
const QColor kCyan(0, 255, 255);
const QColor kPink(255, 45, 85);
const QColor kBlue(0, 122, 255);
constexpr qreal kLabelPointSize = 8;

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(float(opacity));
    return color;
}
} // namespace

GridOverlay::GridOverlay(QWidget *target, GridProbes *probes) : QWidget(target), m_probes(probes)
{
    setObjectName(QStringLiteral("gridOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(target->rect());
    target->installEventFilter(this);
    if (m_probes)
        connect(m_probes, &GridProbes::probesChanged, this, qOverload<>(&QWidget::update));
    raise();
}

GridOverlay *GridOverlay::installIfEnabled(QWidget *target, GridProbes *probes)
{
    return (target && probes && GridProbes::enabled()) ? new GridOverlay(target, probes) : nullptr;
}

bool GridOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        else if (event->type() == QEvent::ChildAdded || event->type() == QEvent::LayoutRequest)
            raise();
    }
    return QWidget::eventFilter(watched, event);
}

void GridOverlay::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal w = width();
    const qreal h = height();
    const QColor gridColor = withOpacity(kCyan, kGridOpacity);
    for (int x = 0; x <= w; x += kGridStep)
        p.fillRect(QRectF(x, 0, kLineWidth, h), gridColor);
    for (int y = 0; y <= h; y += kGridStep)
        p.fillRect(QRectF(0, y, w, kLineWidth), gridColor);

    if (!m_probes)
        return;
    const QPoint origin = mapTo(window(), QPoint(0, 0));
    QFont labelFont = font();
    labelFont.setPointSizeF(kLabelPointSize);
    labelFont.setWeight(QFont::Medium);
    p.setFont(labelFont);
    p.setBrush(Qt::NoBrush);
    for (const GridProbes::Probe &probe : m_probes->probes()) {
        const QRectF rect(probe.x - origin.x(), probe.y - origin.y(), probe.width, probe.height);
        if (probe.kind == GridProbes::Kind::probe) {
            p.setPen(QPen(withOpacity(kPink, kProbeOpacity), 1));
            p.drawRect(rect);
            p.setPen(kPink);
            p.drawText(QPointF(rect.left(), rect.top() - kLabelOffset), probe.name);
        } else {
            p.setPen(QPen(withOpacity(kBlue, kAreaOpacity), 1));
            p.drawRect(rect);
            QPen dashed(withOpacity(kBlue, kAreaInsetOpacity), 1, Qt::DashLine);
            dashed.setDashPattern({4, 3});
            p.setPen(dashed);
            const QRectF inner = rect.adjusted(probe.inset, probe.inset, -probe.inset, -probe.inset);
            if (inner.width() >= 0 && inner.height() >= 0) // an area smaller than its insets has no inside
                p.drawRect(inner);
        }
    }
}
