// SPDX-License-Identifier: MIT
#include "FitsContent.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace {
// Smaller differences are noise from rounding; they never resize the form.
constexpr qreal kMinimumChange = 1.0;
} // namespace

FitsContent *FitsContent::apply(QScrollArea *area, qreal max)
{
    if (!area)
        return nullptr;
    if (auto *existing = area->findChild<FitsContent *>(QString(), Qt::FindDirectChildrenOnly)) {
        existing->m_max = max;
        existing->update();
        return existing;
    }
    return new FitsContent(area, max);
}

FitsContent::FitsContent(QScrollArea *area, qreal max) : QObject(area), m_area(area), m_max(max)
{
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_content = area->widget();
    if (m_content)
        m_content->installEventFilter(this);
    area->installEventFilter(this);
    update();
}

bool FitsContent::observe(qreal contentHeight)
{
    if (!std::isfinite(contentHeight) || contentHeight < 0)
        return false;
    const qreal rounded = std::ceil(contentHeight);
    if (std::abs(rounded - m_height.value_or(0.0)) < kMinimumChange)
        return false;
    m_height = rounded;
    return true;
}

std::optional<int> FitsContent::frameHeight() const
{
    if (!m_height)
        return std::nullopt;
    return int(std::ceil(std::min(m_max, *m_height)));
}

qreal FitsContent::measure() const
{
    if (!m_area || !m_content)
        return 0;
    // The width the content gets when no scroll bar is needed, and the
    // narrower one when the content is too tall and one appears.
    int width = m_area->maximumViewportSize().width();
    auto heightAt = [this](int w) {
        return m_content->hasHeightForWidth() ? m_content->heightForWidth(w) : m_content->sizeHint().height();
    };
    int h = heightAt(width);
    if (h > m_max && m_content->hasHeightForWidth()) {
        width -=
            m_area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_area->verticalScrollBar());
        h = heightAt(width);
    }
    return qreal(std::max(h, 0));
}

void FitsContent::update()
{
    if (observe(measure()))
        Q_EMIT heightChanged();
    applyFrame();
}

void FitsContent::applyFrame()
{
    if (!m_area)
        return;
    const auto frame = frameHeight();
    if (frame && (m_area->minimumHeight() != *frame || m_area->maximumHeight() != *frame))
        m_area->setFixedHeight(*frame);
}

bool FitsContent::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_content) {
        switch (event->type()) {
        case QEvent::LayoutRequest:
        case QEvent::Show:
            update();
            break;
        default:
            break;
        }
    } else if (watched == m_area && event->type() == QEvent::Resize && m_content &&
               m_content->hasHeightForWidth()) {
        // The width decides the height of wrapping content.
        update();
    }
    return QObject::eventFilter(watched, event);
}
