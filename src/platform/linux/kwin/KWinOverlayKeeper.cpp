// SPDX-License-Identifier: MIT
#include "KWinOverlayKeeper.h"

#include "KWinScripting.h"
#include "KWinScripts.h"

#include <QCoreApplication>
#include <QWidget>

namespace {
constexpr const char *kScriptName = "keep-above";
} // namespace

KWinOverlayKeeper::KWinOverlayKeeper(QObject *parent) : OverlayKeeper(parent) {}

KWinOverlayKeeper::~KWinOverlayKeeper() = default;

void KWinOverlayKeeper::hold(const QList<QWidget *> &windows)
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

void KWinOverlayKeeper::release()
{
    if (m_kwin)
        m_kwin->stop(QLatin1String(kScriptName));
    m_pinnedCaptions.clear();
}

void KWinOverlayKeeper::setOthersAbove(bool othersAbove)
{
    if (m_othersAbove == othersAbove)
        return;
    m_othersAbove = othersAbove;
    if (!m_pinnedCaptions.isEmpty())
        pin();
}

void KWinOverlayKeeper::restack()
{
    if (!m_pinnedCaptions.isEmpty())
        pin();
}

// Has KWin keep the windows with the pinned captions (this process's
// overlays) above the others, and the windows allowed above them too.
bool KWinOverlayKeeper::pin()
{
    QStringList aboveCaptions;
    if (m_above)
        for (QWidget *w : m_above())
            if (w)
                aboveCaptions << w->windowTitle();
    // The scripting connection is made when windows are first held.
    if (!m_kwin)
        m_kwin = std::make_unique<KWinScripting>();
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    if (m_kwin->start(QLatin1String(kScriptName),
                      KWinScripts::keepAbove(pid, m_pinnedCaptions, aboveCaptions, m_othersAbove)))
        return true;
    m_pinnedCaptions.clear();
    return false;
}
