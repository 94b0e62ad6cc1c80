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
// Meant for override-redirect windows, which no window manager closes,
// minimises or lowers. Event-driven: a connection of its own, open only
// while windows are held, listens to the root window's substructure.
//
// On a KWin Wayland session (no X11 display) KWin itself keeps the held
// windows above the others and off taskbars, pagers and switchers, and the
// windows allowed above them above too, through a script that stays loaded
// while windows are held (matched by this process and their captions).
class OverlayKeeper : public QObject
{
    Q_OBJECT
public:
    explicit OverlayKeeper(QObject *parent = nullptr);
    ~OverlayKeeper() override;

    // False when there is no X11 display (the keeper then does nothing,
    // but on KWin).
    bool isAvailable() const;

    // The windows to hold, bottom to top; each is kept on the rectangle it
    // has now. An empty list lets go.
    void hold(const QList<QWidget *> &windows);
    void release();
    bool isHolding() const;

    // This program's windows that may stand above the held ones (bottom to
    // top), asked whenever the stacking is put right.
    void setAboveWindows(std::function<QList<QWidget *>()> above);

    // The applications whose windows stand above the held ones, by any name
    // AppIdentity matches (the session's allowed applications, the same list
    // the lock keeps visible); empty: none (the held windows cover everything).
    // Kept until changed, also across hold() and release().
    void setAllowedApplications(const QStringList &names);
    QStringList allowedApplications() const;

    // Puts the stacking right at once (after a window allowed above was shown).
    void restack();

    // What the keeper has done so far (for tests and benchmarks).
    int remaps() const;
    int restacks() const;

Q_SIGNALS:
    // Held windows that someone else had unmapped are mapped again.
    void remapped();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Never trapped behind a hung program: a thread with its own display
// connection that unmaps the overlay windows when the main loop stops
// beating for `timeoutMs` while they are up. The thread sleeps, and the
// connection is closed, while no windows are watched.
class OverlayWatchdog
{
public:
    static constexpr int kDefaultTimeoutMs = 10000;

    explicit OverlayWatchdog(int timeoutMs = kDefaultTimeoutMs);
    ~OverlayWatchdog();
    OverlayWatchdog(const OverlayWatchdog &) = delete;
    OverlayWatchdog &operator=(const OverlayWatchdog &) = delete;

    // False when there is no X11 display to watch over.
    bool isAvailable() const;

    // The windows to take down if the program hangs; empty when none are up.
    void watch(const QList<QWidget *> &windows);
    void clear();

    // Called by the main loop; the watchdog runs a heartbeat timer itself
    // while windows are watched.
    void beat();

    // Windows the watchdog has taken down so far (for tests).
    int rescues() const;
    // Times its thread woke by itself to look at the heartbeat (for tests):
    // never while no windows are watched.
    int wakeups() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
