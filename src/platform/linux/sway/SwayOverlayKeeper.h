// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

// Keeps this program's full-screen overlays in their place on a sway
// desktop while they are held, event-driven: a connection of its own, open
// only while overlays are held, follows sway's window, workspace and output
// events, and after each burst of them the layout tree is read and put
// right.
//
// - Each overlay (a window of this process with one of the held captions)
//   is full screen on the workspace its output shows: a workspace switch
//   takes the overlay along to the workspace now shown, and an overlay that
//   lost its full screen gets it back.
// - sway shows one full-screen window per workspace and nothing above it
//   but its own dialogs. With nothing allowed above the overlays, another
//   window going full screen hands it back to the overlay (a global full
//   screen is ended); the windows whose full screen was taken, at the start
//   or later, get it back when the overlays are let go.
// - With other windows allowed above (setOthersAbove, the click-through
//   modes), each overlay is instead a floating window over its whole output
//   and the allowed applications' windows (setAllowedApplications) float
//   above it, tiled back into their places when the overlays are let go
//   (also those a killed run floated).
// - The view stays the user's: a correction that changes which workspace an
//   output shows or where the focus is puts them back.
// A program fighting for the screen does not turn this into a busy loop:
// past a burst of corrections in a second, the keeper slows down.
class SwayOverlayKeeper : public QObject
{
    Q_OBJECT
public:
    // socketPath: the IPC socket; empty means $SWAYSOCK.
    explicit SwayOverlayKeeper(const QString &socketPath = {}, QObject *parent = nullptr);
    ~SwayOverlayKeeper() override;

    // Whether there is a sway to talk to ($SWAYSOCK set).
    static bool isSwaySession();

    // Holds the windows of this process with these captions; an empty list
    // lets go. False when sway cannot be reached.
    bool hold(const QStringList &captions);
    void release();
    bool isHolding() const;
    // Puts back what a killed run's keeper left on other programs' windows
    // (windows floated above its overlays, full screen taken from them);
    // nothing while this keeper holds windows.
    void putBackLeftovers();
    void setOthersAbove(bool othersAbove);
    // The applications (any name AppIdentity matches) whose windows stand
    // above the overlays while others may (setOthersAbove).
    void setAllowedApplications(const QStringList &names);

    // Corrections made so far (for tests and benchmarks).
    int corrections() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
