// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindows.h"

// An overlay keeper for a compositor that is told which windows to keep
// above by their captions (this process's windows with those titles) and
// does the keeping itself: KWin through a script, GNOME Shell through
// Lumora's extension. This part keeps the captions and the session's lists
// and asks again whenever what is held or what stands above it changes; a
// compositor that refuses leaves nothing held.
class CaptionOverlayKeeper : public OverlayKeeper
{
    Q_OBJECT
public:
    using OverlayKeeper::OverlayKeeper;

    bool isAvailable() const override { return true; }
    void hold(const QList<QWidget *> &windows) final;
    void release() final;
    bool isHolding() const final { return !m_heldCaptions.isEmpty(); }
    void setAboveWindows(std::function<QList<QWidget *>()> above) final { m_above = std::move(above); }
    void setOthersAbove(bool othersAbove) final;
    // The compositor keeps only this program's windows above the held
    // ones; the lists are kept for the session to read back.
    void setAllowedApplications(const QStringList &names) final { setList(names, false); }
    void setBlockedApplications(const QStringList &names) final { setList(names, true); }
    QStringList allowedApplications() const final { return m_allowed; }
    bool isBlockList() const final { return m_blockList; }
    void restack() final;

protected:
    // Has the compositor keep the windows captioned `held` above the others
    // (below them when othersAbove) and this program's windows captioned
    // `above` above those; false when it refused.
    virtual bool keepAbove(const QStringList &held, const QStringList &above, bool othersAbove) = 0;
    // Lets go of what keepAbove asked for.
    virtual void letGo() = 0;

private:
    void setList(const QStringList &names, bool blockList)
    {
        m_allowed = names;
        m_blockList = blockList;
    }
    void pin();

    std::function<QList<QWidget *>()> m_above;
    QStringList m_heldCaptions;
    QStringList m_allowed;
    bool m_othersAbove = false;
    bool m_blockList = false;
};
