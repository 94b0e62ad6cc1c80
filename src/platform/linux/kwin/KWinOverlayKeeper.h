// SPDX-License-Identifier: MIT
#pragma once

#include "CaptionOverlayKeeper.h"

#include <memory>

class KWinScripting;

// The overlay keeper on a KWin Wayland session: KWin keeps the held windows
// (this process's windows with their captions) on every desktop, above the
// others and off taskbars, pagers and switchers, and this program's windows
// allowed above them above too, through a script that stays loaded while
// windows are held (KWinScripts::keepAbove). Where other programs' windows
// may stand above (setOthersAbove), the held windows are kept below them
// instead.
class KWinOverlayKeeper final : public CaptionOverlayKeeper
{
    Q_OBJECT
public:
    explicit KWinOverlayKeeper(QObject *parent = nullptr);
    ~KWinOverlayKeeper() override;

private:
    bool keepAbove(const QStringList &held, const QStringList &above, bool othersAbove) override;
    void letGo() override;

    std::unique_ptr<KWinScripting> m_kwin;
};
