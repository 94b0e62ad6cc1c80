// SPDX-License-Identifier: MIT
#include "SwayOverlayWindowsKeeper.h"

#include <QWidget>

void SwayOverlayWindowsKeeper::hold(const QList<QWidget *> &windows)
{
    QStringList captions;
    for (QWidget *w : windows)
        if (w)
            captions << w->windowTitle();
    m_sway.hold(captions);
}

void SwayOverlayWindowsKeeper::setAllowedApplications(const QStringList &names)
{
    m_allowed = names;
    m_blockList = false;
    m_sway.setAllowedApplications(names);
}

// sway floats the named windows above its backdrop; a block list names the
// windows to keep below, which it cannot express, so none float there.
void SwayOverlayWindowsKeeper::setBlockedApplications(const QStringList &names)
{
    m_allowed = names;
    m_blockList = true;
    m_sway.setAllowedApplications({});
}
