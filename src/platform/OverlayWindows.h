// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QRegion>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QScreen;

// Desktop operations the full-screen overlay needs beyond what Qt offers.
namespace OverlayWindows {

// Lets pointer events fall through the window to what lies below (an empty
// input shape on X11) while it still takes keyboard focus. Returns false
// where the desktop cannot do it.
bool setClickThrough(QWidget *window, bool clickThrough);

// Pointer input reaches the window only inside region (window coordinates)
// and falls through everywhere else, as with setClickThrough(). Returns false
// where the desktop cannot do it.
bool setInputRegion(QWidget *window, const QRegion &region);

// Gives the window the keyboard focus directly (the window manager gives
// none to override-redirect windows), now when it is on screen, else as soon
// as it is.
void takeKeyboard(QWidget *window);

// Marks a window that is not to be listed by taskbars, pagers and window
// switchers (skip-taskbar and skip-pager). Call before it is first shown.
void setSkipTaskbar(QWidget *window);

// Keeps the window above ordinary windows and panels, or lets it drop to
// the normal level (so a dialog can show above it).
void setKeepAbove(QWidget *window, bool above);

// Shows the window covering the whole screen: on X11 an override-redirect
// window on the screen's rectangle, on Wayland a full-screen window on that
// output (where a window is placed by the compositor, and full screen is the
// one way to cover an output).
void showCovering(QWidget *window, QScreen *screen);

// Whether windows can be faded in and out (window opacity): not on Wayland,
// where the overlay then comes and goes at once.
bool canFade();

// A still image of what the screen shows now, for the blurred background;
// null when the desktop does not allow it.
QImage grabScreen(QScreen *screen);

} // namespace OverlayWindows

// Holds full-screen windows of this program on screen and on top of every
// other window for as long as they are held, whatever the window manager, the
// user's tools or other programs do: a held window that someone else unmaps
// is mapped again, one moved off its rectangle is put back, and whenever
// another window comes above the held ones they are raised again (with this
// program's windows allowed above them, such as a confirmation, on top).
// Windows of the allowed applications (setAllowedApplications) are the
// exception: they, their dialogs and menus stand above the held windows and
// stay usable, full screen or not, and the held windows are the backdrop
// of everything else.
// Made by PlatformServices::makeOverlayKeeper() for the window system the
// program's windows are on. On X11 it is meant for override-redirect
// windows, which no window manager closes, minimises or lowers.
// Event-driven: a connection of its own, open only while windows are held,
// listens to the root window's substructure.
//
// On a KWin Wayland session (no X11 display) KWin itself keeps the held
// windows on every desktop, above the others (full-screen ones included)
// and off taskbars, pagers and switchers, and the windows allowed above
// them above too, through a script that stays loaded while windows are held
// (matched by this process and their captions). Where other programs'
// windows may stand above (setOthersAbove), the held windows are kept below
// instead, the backdrop of what the session leaves on screen. On a sway
// session each held window is kept full screen on the workspace its output
// shows, over sway's IPC (see SwayOverlayKeeper), the backdrop of the
// allowed applications' windows, which float above it. On GNOME Shell
// (Wayland) Lumora's extension keeps them above, on every workspace and out
// of the switchers.
class OverlayKeeper : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // False where the keeper can do nothing (no X11 display, a Wayland
    // compositor without a way to keep windows above).
    virtual bool isAvailable() const = 0;

    // The windows to hold, bottom to top; each is kept on the rectangle it
    // has now. An empty list lets go.
    virtual void hold(const QList<QWidget *> &windows) = 0;
    virtual void release() = 0;
    virtual bool isHolding() const = 0;

    // This program's windows that may stand above the held ones (bottom to
    // top), asked whenever the stacking is put right.
    virtual void setAboveWindows(std::function<QList<QWidget *>()> above) = 0;

    // Whether the windows other programs have on screen may stand above the
    // held ones (the click-through modes, where what the session leaves on
    // screen is allowed) or nothing may (the default). Used on Wayland
    // compositors, where the compositor does the stacking.
    virtual void setOthersAbove(bool othersAbove) = 0;

    // The applications whose windows stand above the held ones, by any name
    // AppIdentity matches (the session's allowed applications, the same list
    // the lock keeps visible); empty: none (the held windows cover everything).
    // Kept until changed, also across hold() and release().
    virtual void setAllowedApplications(const QStringList &names) = 0;
    // The inverse: the windows of every application but these stand above
    // the held ones (a session that blocks a few applications, a break).
    virtual void setBlockedApplications(const QStringList &names) = 0;
    // The list set last, and whether it was a block list.
    virtual QStringList allowedApplications() const = 0;
    virtual bool isBlockList() const = 0;

    // Puts the stacking right at once (after a window allowed above was shown).
    virtual void restack() = 0;

    // Puts back what the keeper of a killed run left changed on other
    // programs' windows, where the desktop keeps such changes after the
    // process is gone (sway: windows floated above the overlays, full
    // screen taken from them). Called once at start, after the windows a
    // killed run hid are back.
    virtual void putBackLeftovers() {}

    // What the keeper has done so far (for tests and benchmarks).
    virtual int remaps() const { return 0; }
    virtual int restacks() const { return 0; }

Q_SIGNALS:
    // Held windows that someone else had unmapped are mapped again.
    void remapped();
};

// Never trapped behind a hung or stopped program: a guard process, started
// while overlay windows are up and fed a heartbeat by the main loop over a
// socket, takes them down when the beats stop for `timeoutMs` (a main loop
// that hangs, a process stopped by SIGSTOP or Ctrl+Z, which stops every
// thread of it): on X11 it unmaps them from a display connection of its
// own, on sway it moves them to the scratchpad over sway's IPC, on KWin it
// has a script minimise them. That leaves the program whole: once it runs
// again the keeper puts the windows back (on KWin when told through
// setOnRescued) and they are watched again. The guard is this program run
// with kGuardOption, in a session of its own (a stop sent to the terminal's foreground group does
// not reach it); it ends when the windows are no longer watched, when the
// socket closes and when this process dies (parent-death signal).
class OverlayWatchdog
{
public:
    static constexpr int kDefaultTimeoutMs = 10000;
    static constexpr const char *kGuardOption = "--overlay-guard";
    // The descriptor the guard reads its socket from.
    static constexpr int kGuardFd = 3;

    // Made by PlatformServices::makeOverlayWatchdog().
    OverlayWatchdog() = default;
    virtual ~OverlayWatchdog() = default;
    OverlayWatchdog(const OverlayWatchdog &) = delete;
    OverlayWatchdog &operator=(const OverlayWatchdog &) = delete;

    // False when there is no desktop to take the windows down on (no X11
    // display, no sway, and on other Wayland desktops not KWin once asked).
    virtual bool isAvailable() const = 0;

    // The windows to take down if the program hangs or stops; empty when
    // none are up.
    virtual void watch(const QList<QWidget *> &windows) = 0;
    virtual void clear() = 0;

    // Called by the main loop; the watchdog runs a heartbeat timer itself
    // while windows are watched.
    virtual void beat() = 0;

    // Called when the program runs again after the guard took the windows
    // down (at the next heartbeat).
    virtual void setOnRescued(std::function<void()> rescued) = 0;

    // Windows the guard has taken down so far (for tests).
    virtual int rescues() const = 0;
    // The guard process while windows are watched, 0 otherwise (for tests).
    virtual qint64 guardPid() const = 0;

    // The guard's side: `<program> --overlay-guard <fd> <timeout ms>
    // <parent pid> <x11:display | sway:socket | kwin:>`. Returns the exit
    // status.
    static int runGuard(int argc, char **argv);
};
