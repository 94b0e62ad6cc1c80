// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

#include <memory>

// The workspace of a sway session, over sway's IPC socket ($SWAYSOCK).
//
// - Running applications are the windows of the layout tree, grouped by
//   process (else each window alone). Their id is the Wayland application
//   id, else the XWayland window class; their names (AppIdentity) add the
//   class and instance, the program's names and the ids of the desktop
//   entries that describe them.
// - Hiding moves an application's windows to the scratchpad; showing brings
//   exactly the windows moved there by this workspace back to the workspace
//   each came from, tiled or floating as it was. An application is hidden
//   when all its windows are in the scratchpad.
// - While watched (or while something it hid is not back) the view follows
//   sway's window events on a second connection; a launch is a new process
//   in the tree, a termination its last window going away. New windows of an
//   application this workspace hid go to the scratchpad too. At rest nothing
//   is subscribed and each call reads the tree afresh.
// - Windows of this process are never touched.
//
// Without a reachable socket the workspace lists nothing and reports itself
// not available; it becomes available when sway answers later (never on its
// own: sway gone means the session is over).
class SwayWorkspace : public Workspace
{
    Q_OBJECT
public:
    // socketPath: the IPC socket; empty means $SWAYSOCK.
    explicit SwayWorkspace(const QString &socketPath = {}, QObject *parent = nullptr);
    ~SwayWorkspace() override;

    bool isAvailable() const override;
    void setWatching(bool watching) override;
    QString unavailableReason() const override;
    QList<RunningApplication> runningApplications() override;
    RunningApplication currentApplication() const override;
    bool isHidden(const RunningApplication &app) const override;
    bool hide(const RunningApplication &app) override;
    bool unhide(const RunningApplication &app) override;
    using Workspace::hiddenWindowsRecord;
    QJsonObject hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const override;
    int restoreHiddenWindows(const QJsonObject &record) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
