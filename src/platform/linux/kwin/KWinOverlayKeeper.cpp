// SPDX-License-Identifier: MIT
#include "KWinOverlayKeeper.h"

#include "KWinScripting.h"
#include "KWinScripts.h"

#include <QCoreApplication>

namespace {
constexpr const char *kScriptName = "keep-above";
} // namespace

KWinOverlayKeeper::KWinOverlayKeeper(QObject *parent) : CaptionOverlayKeeper(parent) {}

KWinOverlayKeeper::~KWinOverlayKeeper() = default;

bool KWinOverlayKeeper::keepAbove(const QStringList &held, const QStringList &above, bool othersAbove)
{
    // The scripting connection is made when windows are first held.
    if (!m_kwin)
        m_kwin = std::make_unique<KWinScripting>();
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    return m_kwin->start(QLatin1String(kScriptName), KWinScripts::keepAbove(pid, held, above, othersAbove));
}

void KWinOverlayKeeper::letGo()
{
    if (m_kwin)
        m_kwin->stop(QLatin1String(kScriptName));
}
