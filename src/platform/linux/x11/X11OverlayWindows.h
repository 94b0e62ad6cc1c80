// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindows.h"

#include <memory>

// The overlay keeper on X11: override-redirect windows held mapped, in
// place and on top by watching the root window's substructure over a
// connection of its own (see OverlayKeeper).
class X11OverlayKeeper final : public OverlayKeeper
{
    Q_OBJECT
public:
    explicit X11OverlayKeeper(QObject *parent = nullptr);
    ~X11OverlayKeeper() override;

    // False when there is no X11 display (the keeper then does nothing).
    bool isAvailable() const override;
    void hold(const QList<QWidget *> &windows) override;
    void release() override;
    bool isHolding() const override;
    void setAboveWindows(std::function<QList<QWidget *>()> above) override;
    void setOthersAbove(bool othersAbove) override;
    void setAllowedApplications(const QStringList &names) override;
    void setBlockedApplications(const QStringList &names) override;
    QStringList allowedApplications() const override;
    bool isBlockList() const override;
    void restack() override;
    int remaps() const override;
    int restacks() const override;

private:
    void setApplicationsAbove(const QStringList &names, bool blockList);
    struct Private;
    std::unique_ptr<Private> d;
};
