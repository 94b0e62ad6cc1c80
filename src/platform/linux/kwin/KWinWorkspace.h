// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

#include <memory>

class KWinScripting;

// The workspace of a KWin (Plasma) Wayland session, through KWin's scripting
// interface on the session bus (KWinScripting, KWinScripts).
//
// - Running applications are KWin's ordinary windows (normal windows and
//   dialogs), grouped by process (else each window alone). Their id is the
//   window's desktop file name, else its resource class (the Wayland
//   application id or the X11 class); their names (AppIdentity) add the
//   resource name, the program's names and the ids of the desktop entries
//   that describe them.
// - Hiding minimises an application's windows; showing shows again exactly
//   the windows minimised by this workspace. An application is hidden when
//   all its windows are minimised. Someone else showing such a window
//   takes it off the list.
// - While watched (or while something it minimised is not back) a script
//   stays loaded in KWin and says whenever a window comes or goes or is
//   minimised or shown; the view is then read again. A launch is a new
//   process among the windows, a termination its last window going. New
//   windows of an application this workspace hid are minimised too. At rest
//   no script stays loaded and each call reads the windows afresh.
// - Windows of this process are never touched.
//
// The first call finds out whether KWin runs this program's scripts; where
// it does not (no KWin, scripting refused, no answer) the workspace lists
// nothing and reports itself not available, until KWin is replaced by one
// that does.
class KWinWorkspace : public Workspace
{
    Q_OBJECT
public:
    explicit KWinWorkspace(QObject *parent = nullptr);
    ~KWinWorkspace() override;

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
