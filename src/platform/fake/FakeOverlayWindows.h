// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindows.h"

#include <QPointer>

// The overlay keeper of unit tests: remembers what it holds and what it was
// told, and lets the test play the desktop (unmapping a held window:
// simulateRemap()).
class FakeOverlayKeeper final : public OverlayKeeper
{
    Q_OBJECT
public:
    bool isAvailable() const override { return true; }
    void hold(const QList<QWidget *> &windows) override
    {
        held.clear();
        for (QWidget *w : windows)
            if (w)
                held.append(w);
        ++holds;
    }
    void release() override { held.clear(); }
    bool isHolding() const override { return !held.isEmpty(); }
    void setAboveWindows(std::function<QList<QWidget *>()> above) override
    {
        aboveWindows = std::move(above);
    }
    void setOthersAbove(bool above) override { othersAbove = above; }
    void setAllowedApplications(const QStringList &names) override
    {
        allowed = names;
        blockList = false;
    }
    void setBlockedApplications(const QStringList &names) override
    {
        allowed = names;
        blockList = true;
    }
    QStringList allowedApplications() const override { return allowed; }
    bool isBlockList() const override { return blockList; }
    void restack() override { ++restackRequests; }
    int remaps() const override { return remapCount; }

    // Someone unmapped the held windows and the keeper mapped them again.
    void simulateRemap()
    {
        ++remapCount;
        Q_EMIT remapped();
    }

    QList<QPointer<QWidget>> held;
    std::function<QList<QWidget *>()> aboveWindows;
    QStringList allowed;
    bool blockList = false;
    bool othersAbove = false;
    int holds = 0;
    int restackRequests = 0;
    int remapCount = 0;
};

// The watchdog of unit tests: the windows it was last told to watch; the
// test plays a rescue by calling onRescued.
class FakeOverlayWatchdog final : public OverlayWatchdog
{
public:
    bool isAvailable() const override { return true; }
    void watch(const QList<QWidget *> &windows) override
    {
        watched.clear();
        for (QWidget *w : windows)
            if (w)
                watched.append(w);
        ++watches;
    }
    void clear() override { watched.clear(); }
    void beat() override { ++beats; }
    void setOnRescued(std::function<void()> rescued) override { onRescued = std::move(rescued); }
    int rescues() const override { return 0; }
    qint64 guardPid() const override { return 0; }

    QList<QPointer<QWidget>> watched;
    std::function<void()> onRescued;
    int watches = 0;
    int beats = 0;
};
