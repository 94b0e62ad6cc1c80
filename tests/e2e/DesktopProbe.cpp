#include "DesktopProbe.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <cstring>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

QList<quint64> DesktopProbe::clientWindows() const
{
    QList<quint64> out;
    if (!d->display)
        return out;
    for (const auto window : d->longs(d->root, "_NET_CLIENT_LIST", XA_WINDOW))
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
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d->display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // from a pager
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d->display, d->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(d->display);
}

void DesktopProbe::iconify(quint64 window)
{
    if (!d->display)
        return;
    XIconifyWindow(d->display, window, DefaultScreen(d->display));
    XFlush(d->display);
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
    const auto before = probe.clientWindows();
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
