// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindows.h"

#include <QByteArray>

#include <functional>
#include <memory>

// The watchdog on every desktop it can take the overlay down on: a guard
// process fed a heartbeat over a socket (see OverlayWatchdog; the guard's
// side is OverlayGuard.cpp). On X11 the guard is told the windows' ids, on
// Wayland their captions, and the compositor finds them by this process.
class GuardOverlayWatchdog final : public OverlayWatchdog
{
public:
    // target: asked once, at the first watch, for what the guard takes the
    // windows down through: "x11:<display>", "sway:<IPC socket>" or
    // "kwin:"; empty where there is no way (the watchdog is then not
    // available). guardProgram: what runs the guard (a lumora binary); this
    // program when empty.
    GuardOverlayWatchdog(std::function<QByteArray()> target, int timeoutMs = kDefaultTimeoutMs,
                         const QString &guardProgram = {});
    ~GuardOverlayWatchdog() override;

    bool isAvailable() const override;
    void watch(const QList<QWidget *> &windows) override;
    void clear() override;
    void beat() override;
    void setOnRescued(std::function<void()> rescued) override;
    int rescues() const override;
    qint64 guardPid() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
