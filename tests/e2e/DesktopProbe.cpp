// SPDX-License-Identifier: MIT
#include "DesktopProbe.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace {

constexpr int pollIntervalMs = 10;
constexpr long maximumPropertyLength = 65536;

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

struct DesktopProbe::Private
{
    Display *display = nullptr;
    Window root = 0;

    QList<unsigned long> longs(Window window, const char *property, Atom type) const
    {
        QList<unsigned long> out;
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        const Atom atom = XInternAtom(display, property, False);
        if (XGetWindowProperty(display, window, atom, 0, maximumPropertyLength, False, type, &actualType,
                               &format, &count, &after, &data) == Success &&
            data) {
            if (format == 32) {
                const auto *values = reinterpret_cast<const unsigned long *>(data);
                out = QList<unsigned long>(values, values + count);
            }
        }
        if (data)
            XFree(data);
        return out;
    }

    // Sends a 32-bit client message about `window` to `target`: the root
    // window (for the window manager) or the window itself.
    void sendMessage(Window target, Window window, const char *type, std::initializer_list<long> data) const
    {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, type, False);
        event.xclient.format = 32;
        int i = 0;
        for (const long value : data)
            event.xclient.data.l[i++] = value;
        const long mask = target == root ? SubstructureRedirectMask | SubstructureNotifyMask : NoEventMask;
        XSendEvent(display, target, False, mask, &event);
    }

    // The window's parent; 0 when the window is gone.
    Window parent(Window window) const
    {
        Window rootReturn = 0, parentWindow = 0;
        Window *list = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &rootReturn, &parentWindow, &list, &count))
            return 0;
        if (list)
            XFree(list);
        return parentWindow;
    }

    QList<Window> children(Window window) const
    {
        QList<Window> out;
        Window rootReturn = 0, parent = 0;
        Window *list = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &list, &count) && list)
            out = QList<Window>(list, list + count);
        if (list)
            XFree(list);
        return out;
    }
};

DesktopProbe::DesktopProbe() : d(std::make_unique<Private>())
{
    d->display = XOpenDisplay(nullptr);
    if (d->display) {
        XSetErrorHandler(ignoreErrors);
        d->root = DefaultRootWindow(d->display);
    }
}

DesktopProbe::~DesktopProbe()
{
    if (d->display)
        XCloseDisplay(d->display);
}

bool DesktopProbe::isOpen() const
{
    return d->display != nullptr;
}

int DesktopProbe::openSockets()
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget().contains(QLatin1String("socket:[")))
            ++count;
    return count;
}

QList<quint64> DesktopProbe::clientWindows() const
{
    QList<quint64> out;
    if (!d->display)
        return out;
    for (const auto window : d->longs(d->root, "_NET_CLIENT_LIST", XA_WINDOW))
        out.append(window);
    return out;
}

QList<quint64> DesktopProbe::topLevelWindows() const
{
    QList<quint64> out;
    if (!d->display)
        return out;
    for (const auto window : d->children(d->root))
        out.append(window);
    return out;
}

quint64 DesktopProbe::findWindow(const QString &wmClass) const
{
    for (const auto window : clientWindows())
        if (windowClass(window) == wmClass)
            return window;
    return 0;
}

QString DesktopProbe::windowClass(quint64 window) const
{
    XClassHint hint{nullptr, nullptr};
    if (!d->display || !XGetClassHint(d->display, window, &hint))
        return {};
    const auto name = QString::fromLocal8Bit(hint.res_class ? hint.res_class : "");
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return name;
}

DesktopProbe::State DesktopProbe::state(quint64 window) const
{
    XWindowAttributes attributes;
    if (!d->display || !XGetWindowAttributes(d->display, window, &attributes))
        return State::absent;
    const auto wmState = d->longs(window, "WM_STATE", XInternAtom(d->display, "WM_STATE", False));
    if (wmState.isEmpty() || wmState.first() == WithdrawnState)
        return State::withdrawn;
    return wmState.first() == IconicState ? State::iconic : State::normal;
}

bool DesktopProbe::isViewable(quint64 window) const
{
    XWindowAttributes attributes;
    return d->display && XGetWindowAttributes(d->display, window, &attributes) &&
           attributes.map_state == IsViewable;
}

quint64 DesktopProbe::activeWindow() const
{
    if (!d->display)
        return 0;
    const auto values = d->longs(d->root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return values.isEmpty() ? 0 : values.first();
}

quint64 DesktopProbe::focusWindow() const
{
    if (!d->display)
        return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d->display, &focus, &revert);
    if (focus == None || focus == PointerRoot)
        return 0;
    // Up to the client window: the child of a frame, or of the root.
    for (Window current = focus; current;) {
        const Window parent = d->parent(current);
        if (!parent)
            return 0;
        if (parent == d->root || !d->longs(current, "WM_STATE", AnyPropertyType).isEmpty() ||
            !windowTitle(current).isEmpty())
            return current;
        current = parent;
    }
    return 0;
}

quint64 DesktopProbe::topLevel(quint64 window) const
{
    if (!d->display)
        return 0;
    for (Window current = Window(window); current;) {
        const Window parent = d->parent(current);
        if (parent == d->root)
            return current;
        current = parent;
    }
    return 0;
}

bool DesktopProbe::isPanel(quint64 topLevel) const
{
    if (!d->display)
        return false;
    const Atom dock = XInternAtom(d->display, "_NET_WM_WINDOW_TYPE_DOCK", False);
    QList<quint64> windows{topLevel};
    windows += descendants(topLevel);
    for (const auto window : windows)
        if (d->longs(Window(window), "_NET_WM_WINDOW_TYPE", XA_ATOM).contains(dock))
            return true;
    return false;
}

QList<quint64> DesktopProbe::viewableAbove(quint64 window) const
{
    QList<quint64> out;
    const quint64 top = topLevel(window);
    if (!top)
        return out;
    const auto stack = d->children(d->root);
    const auto at = stack.indexOf(Window(top));
    for (auto i = at + 1; at >= 0 && i < stack.size(); ++i)
        if (isViewable(stack.at(i)))
            out.append(stack.at(i));
    return out;
}

QList<quint64> DesktopProbe::stackingOrder() const
{
    QList<quint64> out;
    if (!d->display)
        return out;
    for (const auto window : d->longs(d->root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW))
        out.append(window);
    return out;
}

void DesktopProbe::activate(quint64 window)
{
    if (!d->display)
        return;
    d->sendMessage(d->root, window, "_NET_ACTIVE_WINDOW", {2 /* from a pager */, CurrentTime});
    XFlush(d->display);
}

bool DesktopProbe::activateAndWait(quint64 window, int timeoutMs)
{
    constexpr int askAgainMs = 1000;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        activate(window);
        const int wait = int(std::min<qint64>(askAgainMs, deadline.remainingTime()));
        if (waitFor([&] { return activeWindow() == window; }, wait))
            return true;
    }
    return activeWindow() == window;
}

void DesktopProbe::iconify(quint64 window)
{
    if (!d->display)
        return;
    XIconifyWindow(d->display, window, DefaultScreen(d->display));
    XFlush(d->display);
}

void DesktopProbe::requestClose(quint64 window)
{
    if (!d->display)
        return;
    d->sendMessage(window, window, "WM_PROTOCOLS",
                   {long(XInternAtom(d->display, "WM_DELETE_WINDOW", False)), CurrentTime});
    d->sendMessage(d->root, window, "_NET_CLOSE_WINDOW", {CurrentTime, 2 /* from a pager */});
    XFlush(d->display);
}

void DesktopProbe::showDesktop(bool on)
{
    if (!d->display)
        return;
    d->sendMessage(d->root, d->root, "_NET_SHOWING_DESKTOP", {on ? 1 : 0});
    XFlush(d->display);
}

QString DesktopProbe::windowTitle(quint64 window) const
{
    if (!d->display)
        return {};
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QString title;
    if (XGetWindowProperty(d->display, window, XInternAtom(d->display, "_NET_WM_NAME", False), 0,
                           maximumPropertyLength, False, XInternAtom(d->display, "UTF8_STRING", False),
                           &actualType, &format, &count, &after, &data) == Success &&
        data && format == 8) {
        title = QString::fromUtf8(reinterpret_cast<const char *>(data), int(count));
    }
    if (data)
        XFree(data);
    if (!title.isEmpty())
        return title;
    char *name = nullptr;
    if (XFetchName(d->display, window, &name) && name) {
        title = QString::fromLocal8Bit(name);
        XFree(name);
    }
    return title;
}

QList<quint64> DesktopProbe::descendants(quint64 window) const
{
    QList<quint64> out;
    if (!d->display)
        return out;
    QList<Window> pending{Window(window)};
    while (!pending.isEmpty()) {
        const Window next = pending.takeFirst();
        const auto children = d->children(next);
        for (const auto child : children)
            out.append(child);
        pending = children + pending;
    }
    return out;
}

QList<quint64> DesktopProbe::findWindowsByTitle(const QString &title) const
{
    QList<quint64> out;
    for (const auto window : descendants(d->root))
        if (windowTitle(window) == title)
            out.append(window);
    return out;
}

QRect DesktopProbe::geometry(quint64 window) const
{
    XWindowAttributes attributes;
    if (!d->display || !XGetWindowAttributes(d->display, window, &attributes))
        return {};
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(d->display, window, d->root, 0, 0, &x, &y, &child))
        return {};
    return QRect(x, y, attributes.width, attributes.height);
}

bool DesktopProbe::isOverrideRedirect(quint64 window) const
{
    XWindowAttributes attributes;
    return d->display && XGetWindowAttributes(d->display, window, &attributes) &&
           attributes.override_redirect;
}

bool DesktopProbe::isModifierOn(int modifier) const
{
    Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    return d->display &&
           XQueryPointer(d->display, d->root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask) &&
           (mask & (1u << modifier));
}

QList<QRect> DesktopProbe::inputShape(quint64 window) const
{
    QList<QRect> out;
    int eventBase = 0, errorBase = 0;
    if (!d->display || !XShapeQueryExtension(d->display, &eventBase, &errorBase))
        return out;
    int count = 0, ordering = 0;
    XRectangle *rectangles = XShapeGetRectangles(d->display, window, ShapeInput, &count, &ordering);
    for (int i = 0; i < count; ++i)
        out.append(QRect(rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height));
    if (rectangles)
        XFree(rectangles);
    return out;
}

quint64 DesktopProbe::findTrayIcon(const QString &wmClass) const
{
    if (!d->display)
        return 0;
    for (const auto host : descendants(d->root)) {
        if (windowClass(host) != QLatin1String("trayer"))
            continue;
        for (const auto window : descendants(host))
            if (windowClass(window) == wmClass && isViewable(window))
                return window;
    }
    return 0;
}

QImage DesktopProbe::grab(const QRect &rect) const
{
    if (!d->display || rect.isEmpty())
        return {};
    XImage *image = XGetImage(d->display, d->root, rect.x(), rect.y(), unsigned(rect.width()),
                              unsigned(rect.height()), AllPlanes, ZPixmap);
    if (!image)
        return {};
    // A true-colour visual with eight bits per channel, as the test servers have.
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        return mask ? int((pixel & mask) >> std::countr_zero(mask)) : 0;
    };
    QImage out(rect.size(), QImage::Format_RGB32);
    for (int y = 0; y < rect.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < rect.width(); ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            line[x] = qRgb(channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                           channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return out;
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(pollIntervalMs);
    }
    return true;
}

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

XClient::XClient(QString program, QStringList arguments, QString wmClass)
    : m_program(std::move(program)), m_arguments(std::move(arguments)), m_wmClass(std::move(wmClass))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
}

XClient::~XClient()
{
    stop();
}

bool XClient::start(const DesktopProbe &probe, int timeoutMs)
{
    // Only windows that still exist count as already there: the server hands
    // a new client the window ids of one that has just gone, and the window
    // manager may list the gone window a moment longer.
    QList<quint64> before;
    for (const auto window : probe.clientWindows())
        if (probe.state(window) != DesktopProbe::State::absent)
            before.append(window);
    m_process.start(m_program, m_arguments);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    return waitFor(
        [&] {
            for (const auto window : probe.clientWindows()) {
                if (before.contains(window))
                    continue;
                if (probe.windowClass(window) == m_wmClass && probe.isShown(window)) {
                    m_window = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}

void XClient::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}
