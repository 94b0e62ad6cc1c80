#pragma once

#include <QImage>
#include <QList>
#include <QWidget>

#include <memory>

class QScreen;

// Desktop operations the full-screen overlay needs beyond what Qt offers.
namespace OverlayWindows {

// Lets pointer events fall through the window to what lies below (an empty
// input shape on X11) while it still takes keyboard focus. Returns false
// where the desktop cannot do it.
bool setClickThrough(QWidget *window, bool clickThrough);

// Keeps the window above ordinary windows and panels, or lets it drop to
// the normal level (so a dialog can show above it).
void setKeepAbove(QWidget *window, bool above);

// A still image of what the screen shows now, for the blurred background;
// null when the desktop does not allow it.
QImage grabScreen(QScreen *screen);

} // namespace OverlayWindows

// Never trapped behind a hung program: a thread with its own display
// connection that unmaps the overlay windows when the main loop stops
// beating for `timeoutMs` while they are up.
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

    // Called by the main loop; the watchdog starts a heartbeat timer itself.
    void beat();

    // Windows the watchdog has taken down so far (for tests).
    int rescues() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
