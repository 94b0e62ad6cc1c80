// SPDX-License-Identifier: MIT
#include "CaptionOverlayKeeper.h"

#include <QWidget>

namespace {
QStringList captionsOf(const QList<QWidget *> &windows)
{
    QStringList captions;
    for (QWidget *w : windows)
        if (w)
            captions << w->windowTitle();
    captions.removeDuplicates();
    return captions;
}
} // namespace

void CaptionOverlayKeeper::hold(const QList<QWidget *> &windows)
{
    QStringList captions = captionsOf(windows);
    // Nothing to hold lets go of what was held.
    if (captions.isEmpty()) {
        release();
        return;
    }
    m_heldCaptions = std::move(captions);
    pin();
}

void CaptionOverlayKeeper::release()
{
    letGo();
    m_heldCaptions.clear();
}

void CaptionOverlayKeeper::setOthersAbove(bool othersAbove)
{
    if (m_othersAbove == othersAbove)
        return;
    m_othersAbove = othersAbove;
    if (!m_heldCaptions.isEmpty())
        pin();
}

void CaptionOverlayKeeper::restack()
{
    if (!m_heldCaptions.isEmpty())
        pin();
}

void CaptionOverlayKeeper::pin()
{
    const QStringList above = m_above ? captionsOf(m_above()) : QStringList();
    if (!keepAbove(m_heldCaptions, above, m_othersAbove))
        m_heldCaptions.clear();
}
