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
    QStringList allowedApplications() const override;
    void restack() override;
    int remaps() const override;
    int restacks() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The watchdog on X11: the guard process unmaps the windows from a display
// connection of its own (see OverlayWatchdog; its side is OverlayGuard.cpp).
class X11OverlayWatchdog final : public OverlayWatchdog
{
public:
    // guardProgram: what runs the guard (a lumora binary); this program
    // when empty.
    explicit X11OverlayWatchdog(int timeoutMs = kDefaultTimeoutMs, const QString &guardProgram = {});
    ~X11OverlayWatchdog() override;

    bool isAvailable() const override;
    void watch(const QList<QWidget *> &windows) override;
    void clear() override;
    void beat() override;
    int rescues() const override;
    qint64 guardPid() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
