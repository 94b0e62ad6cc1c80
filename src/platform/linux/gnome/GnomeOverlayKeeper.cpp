// SPDX-License-Identifier: MIT
#include "GnomeOverlayKeeper.h"

#include "GnomeShellExtension.h"

#include <QWidget>

GnomeOverlayKeeper::GnomeOverlayKeeper(QObject *parent) : OverlayKeeper(parent) {}

GnomeOverlayKeeper::~GnomeOverlayKeeper() = default;

void GnomeOverlayKeeper::hold(const QList<QWidget *> &windows)
{
    m_pinnedCaptions.clear();
    for (QWidget *w : windows)
        if (w)
            m_pinnedCaptions << w->windowTitle();
    m_pinnedCaptions.removeDuplicates();
    if (m_pinnedCaptions.isEmpty()) {
        release();
        return;
    }
    pin();
}

void GnomeOverlayKeeper::release()
{
    if (m_gnome && !m_pinnedCaptions.isEmpty())
        m_gnome->releaseOverlays();
    m_pinnedCaptions.clear();
}

void GnomeOverlayKeeper::setOthersAbove(bool othersAbove)
{
    if (m_othersAbove == othersAbove)
        return;
    m_othersAbove = othersAbove;
    if (!m_pinnedCaptions.isEmpty())
        pin();
}

void GnomeOverlayKeeper::restack()
{
    if (!m_pinnedCaptions.isEmpty())
        pin();
}

bool GnomeOverlayKeeper::pin()
{
    QStringList aboveCaptions;
    if (m_above)
        for (QWidget *w : m_above())
            if (w)
                aboveCaptions << w->windowTitle();
    // The connection to the extension is made when windows are first held.
    if (!m_gnome)
        m_gnome = std::make_unique<GnomeShellExtension>();
    if (m_gnome->holdOverlays(m_pinnedCaptions, aboveCaptions, m_othersAbove))
        return true;
    m_pinnedCaptions.clear();
    return false;
}
