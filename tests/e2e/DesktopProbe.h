// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QMouseEvent>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

// A plain Xlib look at the desktop a test runs on, over a connection of its
// own and independent of the code under test. Window ids are X ids.
class DesktopProbe
{
public:
    enum class State { absent, withdrawn, normal, iconic };

    DesktopProbe();
    ~DesktopProbe();
    DesktopProbe(const DesktopProbe &) = delete;
    DesktopProbe &operator=(const DesktopProbe &) = delete;

    bool isOpen() const;
    // The sockets this process has open (its connections to display servers
    // and buses), to see what a piece of the program connects to and when.
    static int openSockets();
    QList<quint64> clientWindows() const;
    // The root's children, bottom to top: window manager frames and the
    // windows no window manager handles (override-redirect). One request.
    QList<quint64> topLevelWindows() const;
    // The first client window whose WM_CLASS class is wmClass; 0 when none.
    quint64 findWindow(const QString &wmClass) const;
    QString windowClass(quint64 window) const;
    State state(quint64 window) const;
    bool isViewable(quint64 window) const;
    // Shown: viewable and in the normal state.
    bool isShown(quint64 window) const { return state(window) == State::normal && isViewable(window); }
    quint64 activeWindow() const;
    // The window that has the keyboard (X input focus), as its top-level
    // window: what the user types into, managed by the window manager or not.
    quint64 focusWindow() const;
    // The root's child that holds the window (its frame when the window
    // manager framed it, else the window itself); 0 when it is gone.
    quint64 topLevel(quint64 window) const;
    // The viewable windows that stand above this one on screen (root
    // children, as top-levels), bottom to top.
    QList<quint64> viewableAbove(quint64 window) const;
    // Whether the top-level holds a panel (_NET_WM_WINDOW_TYPE_DOCK), which
    // window managers keep above every application window.
    bool isPanel(quint64 topLevel) const;
    // _NET_CLIENT_LIST_STACKING: bottom to top.
    QList<quint64> stackingOrder() const;
    // Asks the window manager to activate the window, as a pager would.
    void activate(quint64 window);
    // Activates the window and waits until it is the active one. The request
    // is made again each second it is not: a window mapping at the same
    // moment may take the focus after the request was carried out.
    bool activateAndWait(quint64 window, int timeoutMs);
    // Asks the window manager to iconify the window, as its owner would.
    void iconify(quint64 window);
    // Asks the window to close, as a window manager's close button does
    // (WM_DELETE_WINDOW), and asks the window manager too, as a pager does
    // (_NET_CLOSE_WINDOW).
    void requestClose(quint64 window);
    // The window manager's "show desktop" (_NET_SHOWING_DESKTOP), on or off.
    void showDesktop(bool on);

    // The window's title (_NET_WM_NAME, else WM_NAME).
    QString windowTitle(quint64 window) const;
    // Every window in the whole tree with exactly this title, mapped or
    // not, managed or not (popups, embedded tray icons).
    QList<quint64> findWindowsByTitle(const QString &title) const;
    // Every window below this one, depth first.
    QList<quint64> descendants(quint64 window) const;
    // The window's rectangle in root coordinates; null when it is gone.
    QRect geometry(quint64 window) const;
    bool isOverrideRedirect(quint64 window) const;
    // Whether the keyboard's state has the X modifier with this index on
    // (0 Shift, 1 Lock, 2 Control, 3 Mod1 ... 7 Mod5), locks included.
    bool isModifierOn(int modifier) const;
    // Where the window takes pointer input (its X input shape), in window
    // coordinates; empty when pointer events fall through it.
    QList<QRect> inputShape(quint64 window) const;
    // The icon of the program with this WM_CLASS class, embedded in the tray
    // host (trayer); 0 when it is not there or not shown.
    quint64 findTrayIcon(const QString &wmClass) const;
    // What the screen shows in the rectangle (root coordinates).
    QImage grab(const QRect &rect) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// A window of the test program that counts the pointer presses reaching it.
class ClickTarget : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        QWidget::mousePressEvent(event);
    }
};

// Processes events until the condition holds or the time is up.
bool waitFor(const std::function<bool()> &condition, int timeoutMs);

// Runs xdotool with these arguments (real input through XTEST); true when
// it succeeded.
bool xdotool(const QStringList &arguments);

// A real X client started for a test; stopped when the object goes away.
class XClient
{
public:
    XClient(QString program, QStringList arguments, QString wmClass);
    ~XClient();
    // Starts the program and waits until its window is managed.
    bool start(const DesktopProbe &probe, int timeoutMs = 10000);
    void stop();
    quint64 window() const { return m_window; }
    qint64 pid() const { return m_process.processId(); }
    QString wmClass() const { return m_wmClass; }

private:
    QString m_program;
    QStringList m_arguments;
    QString m_wmClass;
    QProcess m_process;
    quint64 m_window = 0;
};
