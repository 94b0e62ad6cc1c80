// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindows.h"
#include "SwayOverlayKeeper.h"

// The overlay keeper on a sway session: each held window is kept full
// screen on the workspace its output shows, over sway's IPC, by
// SwayOverlayKeeper (which knows the windows by their captions), the
// backdrop of the allowed applications' windows, which float above it. This
// program's windows allowed above need no keeping: sway stacks a
// full-screen window's dialogs above it.
class SwayOverlayWindowsKeeper final : public OverlayKeeper
{
    Q_OBJECT
public:
    explicit SwayOverlayWindowsKeeper(QObject *parent = nullptr) : OverlayKeeper(parent) {}

    bool isAvailable() const override { return true; }
    void hold(const QList<QWidget *> &windows) override;
    void release() override { m_sway.release(); }
    bool isHolding() const override { return m_sway.isHolding(); }
    void putBackLeftovers() override { m_sway.putBackLeftovers(); }
    void setAboveWindows(std::function<QList<QWidget *>()>) override {}
    void setOthersAbove(bool othersAbove) override { m_sway.setOthersAbove(othersAbove); }
    void setAllowedApplications(const QStringList &names) override;
    void setBlockedApplications(const QStringList &names) override;
    QStringList allowedApplications() const override { return m_allowed; }
    bool isBlockList() const override { return m_blockList; }
    void restack() override {}
    int restacks() const override { return m_sway.corrections(); }

private:
    SwayOverlayKeeper m_sway;
    QStringList m_allowed;
    bool m_blockList = false;
};
