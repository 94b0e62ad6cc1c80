// SPDX-License-Identifier: MIT
#include <QSet>

#include <cstring>

// X11 last: their macros (None, Bool, Status, ...) must not reach Qt's.
#include "X11Connection.h"

#include <X11/Xatom.h>

namespace {

// _NET_ACTIVE_WINDOW source indication of a pager: honoured without
// focus-stealing checks.
constexpr long activationSourcePager = 2;
constexpr int minimumXResMajor = 1;
constexpr int minimumXResMinor = 2;

QSet<Display *> &connectionDisplays()
{
    static QSet<Display *> displays;
    return displays;
}

XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIOErrorHandler = nullptr;
bool errorHandlersInstalled = false;

int onXError(Display *display, XErrorEvent *event)
{
    if (connectionDisplays().contains(display))
        return 0;
    return previousErrorHandler ? previousErrorHandler(display, event) : 0;
}

// Qt's own handler ends the program on any broken connection; a broken
// connection here only ends itself (see the exit handler).
int onXIOError(Display *display)
{
    if (connectionDisplays().contains(display))
        return 0;
    return previousIOErrorHandler ? previousIOErrorHandler(display) : 0;
}

} // namespace

X11Connection::~X11Connection()
{
    close();
}

bool X11Connection::open(std::function<void()> onLost, const QByteArray &name)
{
    if (!m_display.open(name.isEmpty() ? nullptr : name.constData()))
        return false;
    m_onLost = std::move(onLost);
    registerHandlers();
    m_screen = DefaultScreen(display());
    m_root = RootWindow(display(), m_screen);
    internAtoms();
    m_hasXRes = queryXRes();
    return true;
}

void X11Connection::close()
{
    Display *const closing = display();
    if (!closing)
        return;
    // Closing may be what finds the connection broken: stay registered until
    // it is done so that the handlers above treat it as this connection's.
    if (m_lost)
        m_display.release();
    else
        m_display.reset();
    connectionDisplays().remove(closing);
}

void X11Connection::registerHandlers()
{
    connectionDisplays().insert(display());
    if (!errorHandlersInstalled) {
        previousErrorHandler = XSetErrorHandler(onXError);
        previousIOErrorHandler = XSetIOErrorHandler(onXIOError);
        errorHandlersInstalled = true;
    }
    // Losing the display must not end the program: the connection just stops.
    XSetIOErrorExitHandler(
        display(),
        [](Display *, void *data) {
            auto *self = static_cast<X11Connection *>(data);
            self->m_lost = true;
            if (self->m_onLost)
                self->m_onLost();
        },
        this);
}

void X11Connection::internAtoms()
{
    const char *names[] = {"_NET_CLIENT_LIST",
                           "_NET_ACTIVE_WINDOW",
                           "_NET_SUPPORTING_WM_CHECK",
                           "_NET_WM_PID",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_DOCK",
                           "_NET_WM_WINDOW_TYPE_DESKTOP",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_HIDDEN",
                           "WM_STATE",
                           "WM_CHANGE_STATE",
                           "WM_CLIENT_LEADER",
                           "_GTK_APPLICATION_ID",
                           "_KDE_NET_WM_DESKTOP_FILE",
                           "UTF8_STRING",
                           "WM_CLIENT_MACHINE"};
    constexpr int count = sizeof names / sizeof names[0];
    static_assert(count * sizeof(Atom) == sizeof(X11Atoms));
    XInternAtoms(display(), const_cast<char **>(names), count, False, reinterpret_cast<Atom *>(&m_atoms));
}

bool X11Connection::queryXRes() const
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    return XResQueryExtension(display(), &eventBase, &errorBase) &&
           XResQueryVersion(display(), &major, &minor) &&
           (major > minimumXResMajor || (major == minimumXResMajor && minor >= minimumXResMinor));
}

QString X11Connection::displayName() const
{
    return display() ? QString::fromLocal8Bit(DisplayString(display())) : QString();
}

std::optional<QList<unsigned long>> X11Connection::readLongs(Window window, Atom property, Atom type) const
{
    if (!usable() || !window)
        return std::nullopt;
    return X11WindowProperty(display(), window, property, type).longs();
}

std::optional<QByteArray> X11Connection::readBytes(Window window, Atom property) const
{
    if (!usable() || !window)
        return std::nullopt;
    return X11WindowProperty(display(), window, property, AnyPropertyType).bytes();
}

long X11Connection::readWmState(Window window) const
{
    const auto state = readLongs(window, m_atoms.wmState, m_atoms.wmState);
    return state && !state->isEmpty() ? static_cast<long>(state->first()) : WithdrawnState;
}

bool X11Connection::readIconic(Window window) const
{
    if (readWmState(window) == IconicState)
        return true;
    const auto states = readLongs(window, m_atoms.wmStateNet, XA_ATOM);
    return states && states->contains(m_atoms.wmStateHidden);
}

Window X11Connection::activeWindow() const
{
    const auto values = readLongs(m_root, m_atoms.activeWindow, XA_WINDOW);
    return values && !values->isEmpty() ? values->first() : 0;
}

bool X11Connection::hasEwmhWindowManager() const
{
    const auto check = readLongs(m_root, m_atoms.supportingWmCheck, XA_WINDOW);
    if (!check || check->isEmpty() || check->first() == 0)
        return false;
    const auto self = readLongs(check->first(), m_atoms.supportingWmCheck, XA_WINDOW);
    return self && !self->isEmpty() && self->first() == check->first();
}

void X11Connection::sendToRoot(Window window, Atom type, long l0, long l1, long l2)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    XSendEvent(display(), m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void X11Connection::activate(Window window)
{
    if (window)
        sendToRoot(window, m_atoms.activeWindow, activationSourcePager, CurrentTime);
}

void X11Connection::flush()
{
    XFlush(display());
}
