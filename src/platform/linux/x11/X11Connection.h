// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// X11 last: include this header after every Qt header.
#include "X11Resources.h"

// The atoms the workspace reads and sends, in the order of their names in
// X11Connection.cpp.
struct X11Atoms
{
    Atom clientList, activeWindow, supportingWmCheck, wmPid, windowType, windowTypeDock, windowTypeDesktop,
        wmStateNet, wmStateHidden, wmState, wmChangeState, clientLeader, gtkApplicationId, kdeDesktopFile,
        utf8String, clientMachine;
};

// A connection of its own to the X server $DISPLAY names, with the atoms
// and property reads of an EWMH desktop.
//
// Windows come and go at any time, so X errors on these connections
// (BadWindow and friends) are routine and ignored; other connections keep
// the handlers they had. Losing the server does not end the program, as
// Qt's handler would: the connection is marked lost and reads nothing more.
class X11Connection
{
public:
    X11Connection() = default;
    ~X11Connection();
    X11Connection(const X11Connection &) = delete;
    X11Connection &operator=(const X11Connection &) = delete;

    // Opens the display `name` names ($DISPLAY when empty); onLost runs
    // when the server goes away.
    bool open(std::function<void()> onLost, const QByteArray &name = {});
    void close();

    bool isOpen() const { return m_display.get() != nullptr; }
    bool isLost() const { return m_lost; }
    // Open and not lost: something can be read or requested.
    bool usable() const { return isOpen() && !m_lost; }

    Display *display() const { return m_display.get(); }
    Window root() const { return m_root; }
    int screen() const { return m_screen; }
    const X11Atoms &atoms() const { return m_atoms; }
    // X-Resource 1.2 or later: the server tells the process of a client.
    bool hasXRes() const { return m_hasXRes; }
    // The display as named when opened (DisplayString).
    QString displayName() const;

    // Nothing when the connection is not usable, the window is 0 or the
    // property is missing or of another type or format.
    std::optional<QList<unsigned long>> readLongs(Window window, Atom property, Atom type) const;
    std::optional<QByteArray> readBytes(Window window, Atom property) const;
    // WM_STATE; WithdrawnState when it is unset.
    long readWmState(Window window) const;
    // Iconic by WM_STATE or by _NET_WM_STATE_HIDDEN.
    bool readIconic(Window window) const;
    // _NET_ACTIVE_WINDOW, 0 for none.
    Window activeWindow() const;
    // _NET_SUPPORTING_WM_CHECK names a window that names itself the same way.
    bool hasEwmhWindowManager() const;

    // A client message to the root window, the way EWMH requests are made.
    void sendToRoot(Window window, Atom type, long l0, long l1 = 0, long l2 = 0);
    // Activates the window as a pager does (no focus-stealing checks);
    // nothing for window 0.
    void activate(Window window);
    void flush();

private:
    void registerHandlers();
    void internAtoms();
    bool queryXRes() const;

    X11DisplayGuard m_display;
    bool m_lost = false;
    std::function<void()> m_onLost;
    Window m_root = 0;
    int m_screen = 0;
    X11Atoms m_atoms{};
    bool m_hasXRes = false;
};
