// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindows.h"

#include <memory>

class GnomeShellExtension;

// The overlay keeper on GNOME Shell (Wayland): Lumora's extension keeps the
// held windows (this process's windows with their captions) above the
// others, on every workspace and out of the switchers while they are held,
// and this program's windows allowed above them above too. Where other
// programs' windows may stand above (setOthersAbove), the held windows are
// their backdrop instead.
class GnomeOverlayKeeper final : public OverlayKeeper
{
    Q_OBJECT
public:
    explicit GnomeOverlayKeeper(QObject *parent = nullptr);
    ~GnomeOverlayKeeper() override;

    bool isAvailable() const override { return true; }
    void hold(const QList<QWidget *> &windows) override;
    void release() override;
    bool isHolding() const override { return !m_pinnedCaptions.isEmpty(); }
    void setAboveWindows(std::function<QList<QWidget *>()> above) override { m_above = std::move(above); }
    void setOthersAbove(bool othersAbove) override;
    // The extension keeps only this program's windows above the held ones;
    // the lists are kept for the session to read back.
    void setAllowedApplications(const QStringList &names) override { setList(names, false); }
    void setBlockedApplications(const QStringList &names) override { setList(names, true); }
    QStringList allowedApplications() const override { return m_allowed; }
    bool isBlockList() const override { return m_blockList; }
    void restack() override;

private:
    void setList(const QStringList &names, bool blockList)
    {
        m_allowed = names;
        m_blockList = blockList;
    }
    bool pin();

    std::unique_ptr<GnomeShellExtension> m_gnome;
    std::function<QList<QWidget *>()> m_above;
    QStringList m_pinnedCaptions;
    QStringList m_allowed;
    bool m_othersAbove = false;
    bool m_blockList = false;
};
