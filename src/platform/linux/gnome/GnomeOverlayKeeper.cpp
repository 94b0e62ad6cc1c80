// SPDX-License-Identifier: MIT
#include "GnomeOverlayKeeper.h"

#include "GnomeShellExtension.h"

GnomeOverlayKeeper::GnomeOverlayKeeper(QObject *parent) : CaptionOverlayKeeper(parent) {}

GnomeOverlayKeeper::~GnomeOverlayKeeper() = default;

bool GnomeOverlayKeeper::keepAbove(const QStringList &held, const QStringList &above, bool othersAbove)
{
    // The connection to the extension is made when windows are first held.
    if (!m_gnome)
        m_gnome = std::make_unique<GnomeShellExtension>();
    return m_gnome->holdOverlays(held, above, othersAbove);
}

void GnomeOverlayKeeper::letGo()
{
    if (m_gnome && isHolding())
        m_gnome->releaseOverlays();
}
