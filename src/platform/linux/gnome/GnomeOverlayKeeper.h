// SPDX-License-Identifier: MIT
#pragma once

#include "CaptionOverlayKeeper.h"

#include <memory>

class GnomeShellExtension;

// The overlay keeper on GNOME Shell (Wayland): Lumora's extension keeps the
// held windows (this process's windows with their captions) above the
// others, on every workspace and out of the switchers while they are held,
// and this program's windows allowed above them above too. Where other
// programs' windows may stand above (setOthersAbove), the held windows are
// their backdrop instead.
class GnomeOverlayKeeper final : public CaptionOverlayKeeper
{
    Q_OBJECT
public:
    explicit GnomeOverlayKeeper(QObject *parent = nullptr);
    ~GnomeOverlayKeeper() override;

private:
    bool keepAbove(const QStringList &held, const QStringList &above, bool othersAbove) override;
    void letGo() override;

    std::unique_ptr<GnomeShellExtension> m_gnome;
};
