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
