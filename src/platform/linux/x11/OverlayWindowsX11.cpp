// SPDX-License-Identifier: MIT
#include "AppIdentity.h"
#include "DesktopSession.h"
#include "OverlayWindows.h"
#include "OverlayWindowsWayland.h"
#include "X11OverlayWindows.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

namespace {
// Named before the X11 headers, which define Expose as a macro.
constexpr QEvent::Type kExposeEvent = QEvent::Expose;
} // namespace

#include "X11WindowInspector.h"
#include "XcbReply.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Qt runs on its Wayland platform: the operations are the shared Wayland
// ones (OverlayWindowsWayland).
bool onWayland()
{
    return DesktopSession::windowSystem() == DesktopSession::WindowSystem::Wayland;
}

Display *qtDisplay()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// The region a window takes pointer input in; absent: the whole window.
constexpr const char *kInputRegionProperty = "lumoraInputRegion";
constexpr const char *kShapeKeeperName = "lumoraInputShapeKeeper";

void applyInputShape(Display *dpy, ::Window id, const QVariant &region, qreal scale)
{
    if (!region.isValid()) {
        XShapeCombineMask(dpy, id, ShapeInput, 0, 0, None, ShapeSet);
    } else {
        std::vector<XRectangle> rects;
        for (const QRect &r : region.value<QRegion>()) {
            const QRect n(QPoint(qRound(r.x() * scale), qRound(r.y() * scale)),
                          QSize(qRound(r.width() * scale), qRound(r.height() * scale)));
            rects.push_back({short(n.x()), short(n.y()), ushort(n.width()), ushort(n.height())});
        }
        XShapeCombineRectangles(dpy, id, ShapeInput, 0, 0, rects.data(), int(rects.size()), ShapeSet,
                                Unsorted);
    }
    XFlush(dpy);
}

// A window manager that puts a frame around each window (openbox, xfwm4, ...)
// copies the window's input shape to the frame only when it hears of a
// change after it has taken the window; a shape set before the first map
// stays on the window alone and the frame goes on taking every click. So the
// shape is set again whenever the window comes on screen.
class InputShapeKeeper : public QObject
{
public:
    explicit InputShapeKeeper(QWidget *widget) : QObject(widget), m_widget(widget)
    {
        setObjectName(QLatin1String(kShapeKeeperName));
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == kExposeEvent) {
            const QWindow *window = m_widget->windowHandle();
            const bool exposed = window && window->isExposed();
            if (exposed && !m_exposed) {
                if (Display *dpy = qtDisplay())
                    applyInputShape(dpy, ::Window(m_widget->winId()),
                                    m_widget->property(kInputRegionProperty), m_widget->devicePixelRatioF());
            }
            m_exposed = exposed;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_widget;
    bool m_exposed = false;
};

class KeyboardOnExpose : public QObject
{
public:
    explicit KeyboardOnExpose(QWidget *widget) : QObject(widget), m_widget(widget) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == kExposeEvent && m_widget->windowHandle() &&
            m_widget->windowHandle()->isExposed()) {
            if (Display *dpy = qtDisplay()) {
                XSetInputFocus(dpy, ::Window(m_widget->winId()), RevertToParent, CurrentTime);
                XFlush(dpy);
            }
            deleteLater();
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    QWidget *m_widget;
};

bool setInputShape(QWidget *window, const QVariant &region)
{
    Display *dpy = qtDisplay();
    if (!dpy || !window)
        return false;
    const ::Window id = ::Window(window->winId());
    // Asked once, before any overlay is up (a reply on Qt's connection).
    static const bool hasShape = [dpy] {
        int eventBase = 0;
        int errorBase = 0;
        return XShapeQueryExtension(dpy, &eventBase, &errorBase) != 0;
    }();
    if (!hasShape)
        return false;
    applyInputShape(dpy, id, region, window->devicePixelRatioF());
    window->setProperty(kInputRegionProperty, region);
    if (!window->findChild<QObject *>(QLatin1String(kShapeKeeperName), Qt::FindDirectChildrenOnly)) {
        if (QWindow *handle = window->windowHandle())
            handle->installEventFilter(new InputShapeKeeper(window));
    }
    return true;
}

} // namespace

namespace OverlayWindows {

bool setClickThrough(QWidget *window, bool clickThrough)
{
    if (onWayland())
        return OverlayWindowsWayland::setInputRegion(window,
                                                     clickThrough ? std::optional(QRegion()) : std::nullopt);
    return setInputShape(window, clickThrough ? QVariant::fromValue(QRegion()) : QVariant());
}

bool setInputRegion(QWidget *window, const QRegion &region)
{
    if (onWayland())
        return OverlayWindowsWayland::setInputRegion(window, region);
    return setInputShape(window, QVariant::fromValue(region));
}

void takeKeyboard(QWidget *window)
{
    if (!window)
        return;
    window->activateWindow();
    Display *dpy = qtDisplay();
    if (!dpy)
        return;
    const ::Window id = ::Window(window->winId());
    // Only requests without a reply go through Qt's own connection: Xlib,
    // waiting for a reply there, would take events meant for Qt.
    if (window->windowHandle() && window->windowHandle()->isExposed()) {
        // CurrentTime: a focus change the window manager made after the last
        // event this program saw must not make the request void.
        XSetInputFocus(dpy, id, RevertToParent, CurrentTime);
        XFlush(dpy);
        return;
    }
    QWindow *handle = window->windowHandle();
    if (!handle)
        return;
    // Once, when the window first comes on screen.
    auto *once = new KeyboardOnExpose(window);
    handle->installEventFilter(once);
}

void setSkipTaskbar(QWidget *window)
{
    Display *dpy = qtDisplay();
    if (!dpy || !window)
        return;
    const ::Window id = ::Window(window->winId());
    // Interned once, before any overlay is up (replies on Qt's connection).
    static const Atom state = XInternAtom(dpy, "_NET_WM_STATE", False);
    static const Atom wanted[] = {XInternAtom(dpy, "_NET_WM_STATE_SKIP_TASKBAR", False),
                                  XInternAtom(dpy, "_NET_WM_STATE_SKIP_PAGER", False)};
    // Added to what the window already states (Qt writes its own atoms there).
    XChangeProperty(dpy, id, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char *>(wanted), 2);
    XFlush(dpy);
}

void setKeepAbove(QWidget *window, bool above)
{
    if (!window)
        return;
    // Through the QWindow, so the change reaches the window manager as a
    // state change instead of re-creating (and hiding) the widget.
    window->winId();
    if (QWindow *handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, above);
}

void showCovering(QWidget *window, QScreen *screen)
{
    if (!window || !screen)
        return;
    if (onWayland()) {
        OverlayWindowsWayland::showCovering(window, screen);
        return;
    }
    window->winId();
    if (QWindow *handle = window->windowHandle())
        handle->setScreen(screen);
    window->setGeometry(screen->geometry());
    window->show();
}

bool canFade()
{
    return !onWayland();
}

QImage grabScreen(QScreen *screen)
{
    if (!screen || !qtDisplay())
        return {};
    return screen->grabWindow(0).toImage();
}

} // namespace OverlayWindows

namespace {

// Restacks allowed in one second before the keeper slows down, so that a
// program fighting for the top never turns it into a busy loop.
constexpr int kRestackBurst = 20;
constexpr int kBurstWindowMs = 1000;
constexpr int kSlowSettleMs = 200;

} // namespace

struct X11OverlayKeeper::Private
{
    struct Held
    {
        QPointer<QWidget> widget;
        xcb_window_t id = 0;
        QRect rect;          // in device pixels, root coordinates
        bool mapped = false; // seen on screen since it was held
    };

    X11OverlayKeeper *q = nullptr;
    bool onX11 = false;
    // Open only while windows are held.
    xcb_connection_t *conn = nullptr;
    xcb_window_t root = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    QList<Held> held;
    std::function<QList<QWidget *>()> above;
    // The allowed applications: as set, and in AppIdentity's compared form.
    QStringList allowedList;
    QSet<QString> allowedNames;
    // The list names the applications held below instead (every other one
    // stands above).
    bool blockList = false;
    // Reads who a window belongs to; open only while windows are held and
    // applications are allowed above them.
    std::unique_ptr<X11Connection> identity;
    std::unique_ptr<X11WindowInspector> inspector;
    struct TopLevel
    {
        xcb_window_t client = 0; // the window inside a frame, else the top-level itself
        bool allowed = false;
        // A panel: its window manager keeps it above every application
        // window, the allowed ones too.
        bool dock = false;
    };
    // What was found out about each of the root's children (frames and
    // windows no manager handles); forgotten when they go.
    QHash<xcb_window_t, TopLevel> topLevels;
    QTimer settleTimer;
    QElapsedTimer burstClock;
    int burstCount = 0;
    int remaps = 0;
    int restacks = 0;

    bool connect()
    {
        if (conn)
            return true;
        int screen = 0;
        conn = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(conn)) {
            xcb_disconnect(conn);
            conn = nullptr;
            return false;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
        for (int i = 0; i < screen && it.rem; ++i)
            xcb_screen_next(&it);
        root = it.data ? it.data->root : 0;
        notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(conn), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, q, [this] { readEvents(); });
        return true;
    }

    // The server forgets the connection's event selections with it.
    void disconnect()
    {
        notifier.reset();
        if (conn)
            xcb_disconnect(conn);
        conn = nullptr;
        root = 0;
        closeIdentity();
    }

    void closeIdentity()
    {
        inspector.reset();
        identity.reset();
        topLevels.clear();
    }

    bool openIdentity()
    {
        if (inspector)
            return true;
        auto connection = std::make_unique<X11Connection>();
        if (!connection->open([] {}))
            return false;
        identity = std::move(connection);
        inspector = std::make_unique<X11WindowInspector>(*identity);
        return true;
    }

    // The window a frame holds: the first one below it that has WM_STATE.
    Window clientOf(Window topLevel) const
    {
        Display *dpy = identity->display();
        QList<Window> level{topLevel};
        for (int depth = 0; depth < 4 && !level.isEmpty(); ++depth) {
            QList<Window> next;
            for (Window w : std::as_const(level)) {
                if (identity->readLongs(w, identity->atoms().wmState, identity->atoms().wmState))
                    return w;
                Window rootReturn = 0;
                Window parent = 0;
                Window *children = nullptr;
                unsigned int count = 0;
                if (XQueryTree(dpy, w, &rootReturn, &parent, &children, &count) && children) {
                    for (unsigned int i = 0; i < count; ++i)
                        next.append(children[i]);
                }
                if (children)
                    XFree(children);
            }
            level = next;
        }
        return topLevel;
    }

    // Whether the window belongs to an allowed application (never this
    // program's own, whose windows above are asked of `above`).
    bool ownedByAllowed(Window window) const
    {
        const auto info = inspector->inspect(window);
        if (!info || (info->pid && *info->pid == inspector->ownPid()))
            return false;
        const bool listed = AppIdentity::matchesAny(info->names, allowedNames);
        return blockList ? !listed : listed;
    }

    const TopLevel &classify(xcb_window_t topLevel)
    {
        if (const auto it = topLevels.constFind(topLevel); it != topLevels.cend())
            return *it;
        TopLevel t;
        t.client = xcb_window_t(clientOf(topLevel));
        t.allowed = ownedByAllowed(t.client);
        const X11Atoms &atoms = identity->atoms();
        const auto types = identity->readLongs(t.client, atoms.windowType, XA_ATOM);
        t.dock = types && types->contains(atoms.windowTypeDock);
        // A dialog of an allowed application's window goes with it.
        Window owner = 0;
        if (!t.allowed && XGetTransientForHint(identity->display(), t.client, &owner) && owner &&
            owner != t.client)
            t.allowed = ownedByAllowed(owner);
        return *topLevels.insert(topLevel, t);
    }

    Held *find(xcb_window_t id)
    {
        for (Held &h : held)
            if (h.id == id)
                return &h;
        return nullptr;
    }

    void selectRoot(bool on)
    {
        const uint32_t mask = on ? XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY : XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(conn, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(conn);
    }

    void scheduleSettle()
    {
        if (held.isEmpty() || settleTimer.isActive())
            return;
        if (!burstClock.isValid() || burstClock.elapsed() > kBurstWindowMs) {
            burstClock.start();
            burstCount = 0;
        }
        settleTimer.start(burstCount >= kRestackBurst ? kSlowSettleMs : 0);
    }

    void readEvents()
    {
        while (const XcbEvent event{xcb_poll_for_event(conn)})
            handle(event.get());
    }

    void handle(const xcb_generic_event_t *event)
    {
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY: {
            const auto *e = reinterpret_cast<const xcb_map_notify_event_t *>(event);
            if (Held *h = find(e->window))
                h->mapped = true;
            else
                scheduleSettle();
            break;
        }
        case XCB_UNMAP_NOTIFY:
            if (find(reinterpret_cast<const xcb_unmap_notify_event_t *>(event)->window))
                scheduleSettle();
            break;
        case XCB_CONFIGURE_NOTIFY: {
            const auto *e = reinterpret_cast<const xcb_configure_notify_event_t *>(event);
            const Held *h = find(e->window);
            if (!h || QRect(e->x, e->y, e->width, e->height) != h->rect)
                scheduleSettle();
            break;
        }
        case XCB_CIRCULATE_NOTIFY:
            scheduleSettle();
            break;
        default: // errors (response type 0) and everything else
            break;
        }
    }

    // The root's child that holds the window: the window itself, or the
    // frame a window manager put around it; 0 when it is gone.
    xcb_window_t rootChild(xcb_window_t window)
    {
        for (int depth = 0; window && depth < 8; ++depth) {
            const XcbReply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(conn, xcb_query_tree(conn, window), nullptr));
            if (!tree)
                return 0;
            const xcb_window_t parent = tree->parent;
            if (parent == root)
                return window;
            window = parent;
        }
        return 0;
    }

    // Maps what was taken away, puts moved windows back and restacks when a
    // window that is neither held nor allowed above stands above them.
    void settle()
    {
        if (held.isEmpty())
            return;
        bool remapped = false;
        QList<xcb_window_t> order; // desired, bottom to top
        for (Held &h : held) {
            if (!h.widget)
                continue;
            auto cookie = xcb_get_window_attributes(conn, h.id);
            const XcbReply<xcb_get_window_attributes_reply_t> attrs(
                xcb_get_window_attributes_reply(conn, cookie, nullptr));
            if (!attrs)
                continue; // gone
            if (attrs->map_state == XCB_MAP_STATE_VIEWABLE)
                h.mapped = true;
            else if (h.mapped) {
                xcb_map_window(conn, h.id);
                ++remaps;
                remapped = true;
            }
            auto geometryCookie = xcb_get_geometry(conn, h.id);
            if (const XcbReply<xcb_get_geometry_reply_t> g{
                    xcb_get_geometry_reply(conn, geometryCookie, nullptr)}) {
                if (QRect(g->x, g->y, g->width, g->height) != h.rect && h.rect.isValid()) {
                    const uint32_t values[] = {uint32_t(h.rect.x()), uint32_t(h.rect.y()),
                                               uint32_t(h.rect.width()), uint32_t(h.rect.height())};
                    xcb_configure_window(conn, h.id,
                                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                             XCB_CONFIG_WINDOW_HEIGHT,
                                         values);
                }
            }
            order.append(h.id);
        }
        if (order.isEmpty())
            return;
        const qsizetype heldCount = order.size();
        if (above) {
            for (QWidget *w : above())
                if (w && w->isVisible() && w->internalWinId())
                    order.append(xcb_window_t(w->internalWinId()));
        }

        auto treeCookie = xcb_query_tree(conn, root);
        const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(conn, treeCookie, nullptr));
        if (!tree)
            return;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        const QList<xcb_window_t> stack(children, children + count); // bottom to top
        // A window allowed above that a window manager framed stands on the
        // screen as its frame; the held windows go below the frame (which
        // only its manager may raise).
        bool topIsFramed = false;
        for (qsizetype i = heldCount; i < order.size(); ++i) {
            const xcb_window_t frame = rootChild(order.at(i));
            if (frame && frame != order.at(i) && i == order.size() - 1)
                topIsFramed = true;
            order[i] = frame;
        }
        order.removeAll(xcb_window_t(0));

        // The foreign windows on screen, bottom to top: those of allowed
        // applications belong above the held windows, the rest below them.
        qsizetype lowest = stack.size();
        for (qsizetype i = 0; i < heldCount; ++i)
            lowest = std::min(lowest, stack.indexOf(order.at(i)));
        const bool sorting = (blockList || !allowedNames.isEmpty()) && openIdentity();
        if (!sorting)
            topLevels.clear();
        QList<xcb_window_t> foreign;
        QSet<xcb_window_t> unmanaged; // override-redirect: anyone may restack them
        {
            QList<std::pair<xcb_window_t, xcb_get_window_attributes_cookie_t>> cookies;
            for (qsizetype i = sorting ? 0 : lowest + 1; i < stack.size(); ++i)
                if (!order.contains(stack.at(i)))
                    cookies.append({stack.at(i), xcb_get_window_attributes(conn, stack.at(i))});
            for (const auto &[id, cookie] : cookies) {
                const XcbReply<xcb_get_window_attributes_reply_t> attrs(
                    xcb_get_window_attributes_reply(conn, cookie, nullptr));
                if (attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE) {
                    foreign.append(id);
                    if (attrs->override_redirect)
                        unmanaged.insert(id);
                }
            }
        }
        QList<xcb_window_t> allowed; // bottom to top
        if (sorting) {
            // Forget windows that went.
            for (auto it = topLevels.begin(); it != topLevels.end();)
                it = stack.contains(it.key()) ? std::next(it) : topLevels.erase(it);
            for (xcb_window_t id : std::as_const(foreign))
                if (classify(id).allowed)
                    allowed.append(id);
        }

        bool inPlace = true;
        qsizetype last = -1;
        for (xcb_window_t id : std::as_const(order)) {
            const qsizetype at = stack.indexOf(id);
            if (at < last)
                inPlace = false;
            last = at;
        }
        const qsizetype highestHeld = stack.indexOf(order.at(heldCount - 1));
        // Whether a managed window of another application stands above an
        // allowed one (only its window manager can change that), and the
        // unmanaged ones that do (put below the held windows directly).
        bool allowedCovered = false;
        QList<xcb_window_t> coveringUnmanaged;
        const qsizetype lowestAllowed = allowed.isEmpty() ? stack.size() : stack.indexOf(allowed.first());
        for (xcb_window_t id : std::as_const(foreign)) {
            const qsizetype at = stack.indexOf(id);
            if (allowed.contains(id)) {
                if (at < highestHeld)
                    inPlace = false;
            } else if (at > lowestAllowed && topLevels.value(id).dock) {
                // A panel above an allowed window cannot go below the held
                // windows without taking the allowed one with it: the
                // allowed window wins (and the panel shows the countdown).
            } else {
                if (at > lowest)
                    inPlace = false;
                if (at > lowestAllowed && !unmanaged.contains(id))
                    allowedCovered = true;
                if (at > lowestAllowed && unmanaged.contains(id))
                    coveringUnmanaged.append(id);
            }
        }
        if (!inPlace) {
            // Bottom to top: the held windows, the allowed applications'
            // windows, this program's windows allowed above.
            QList<xcb_window_t> wanted = order.mid(0, heldCount);
            wanted.append(allowed);
            wanted.append(order.mid(heldCount));
            // A framed window is the window manager's to move: the allowed
            // ones covered by another application's window are raised through
            // it, as their own request would be, and the held windows go
            // below them.
            if (allowedCovered) {
                const uint32_t raise[] = {XCB_STACK_MODE_ABOVE};
                for (xcb_window_t id : std::as_const(allowed))
                    xcb_configure_window(conn, topLevels.value(id).client, XCB_CONFIG_WINDOW_STACK_MODE,
                                         raise);
            }
            const auto movable = [&](qsizetype i) {
                const xcb_window_t id = wanted.at(i);
                return !allowed.contains(id) || topLevels.value(id).client == id;
            };
            const uint32_t top[] = {XCB_STACK_MODE_ABOVE};
            if (!topIsFramed && movable(wanted.size() - 1))
                xcb_configure_window(conn, wanted.last(), XCB_CONFIG_WINDOW_STACK_MODE, top);
            for (qsizetype i = wanted.size() - 2; i >= 0; --i) {
                if (!movable(i))
                    continue;
                const uint32_t below[] = {wanted.at(i + 1), XCB_STACK_MODE_BELOW};
                xcb_configure_window(conn, wanted.at(i),
                                     XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, below);
            }
            for (xcb_window_t id : std::as_const(coveringUnmanaged)) {
                const uint32_t under[] = {wanted.first(), XCB_STACK_MODE_BELOW};
                xcb_configure_window(conn, id, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                                     under);
            }
            ++restacks;
            ++burstCount;
        }
        xcb_flush(conn);
        // Events read while waiting for the replies above wait in the queue.
        readEvents();
        if (remapped)
            Q_EMIT q->remapped();
    }
};

X11OverlayKeeper::X11OverlayKeeper(QObject *parent) : OverlayKeeper(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->settleTimer.setSingleShot(true);
    connect(&d->settleTimer, &QTimer::timeout, this, [this] { d->settle(); });
    d->onX11 = qtDisplay() != nullptr;
}

X11OverlayKeeper::~X11OverlayKeeper()
{
    d->disconnect();
}

bool X11OverlayKeeper::isAvailable() const
{
    return d->onX11;
}

void X11OverlayKeeper::hold(const QList<QWidget *> &windows)
{
    if (!d->onX11)
        return;
    const bool wasHolding = !d->held.isEmpty();
    d->held.clear();
    for (QWidget *w : windows) {
        if (!w)
            continue;
        const qreal scale = w->devicePixelRatioF();
        const QRect g = w->geometry();
        Private::Held h;
        h.widget = w;
        h.id = xcb_window_t(w->winId());
        h.rect = QRect(qRound(g.x() * scale), qRound(g.y() * scale), qRound(g.width() * scale),
                       qRound(g.height() * scale));
        h.mapped = w->windowHandle() && w->windowHandle()->isExposed();
        d->held.append(h);
    }
    if (d->held.isEmpty()) {
        release();
        return;
    }
    if (!wasHolding) {
        if (!d->connect()) {
            d->held.clear();
            return;
        }
        d->selectRoot(true);
    }
    d->scheduleSettle();
}

void X11OverlayKeeper::release()
{
    d->settleTimer.stop();
    d->held.clear();
    d->disconnect();
}

bool X11OverlayKeeper::isHolding() const
{
    return !d->held.isEmpty();
}

void X11OverlayKeeper::setAboveWindows(std::function<QList<QWidget *>()> above)
{
    d->above = std::move(above);
}

// The X server stacks what the keeper says: other programs' windows are
// put below the held ones in every mode (the click-through modes let the
// pointer through instead).
void X11OverlayKeeper::setOthersAbove(bool) {}

void X11OverlayKeeper::setAllowedApplications(const QStringList &names)
{
    setApplicationsAbove(names, false);
}

void X11OverlayKeeper::setBlockedApplications(const QStringList &names)
{
    setApplicationsAbove(names, true);
}

bool X11OverlayKeeper::isBlockList() const
{
    return d->blockList;
}

void X11OverlayKeeper::setApplicationsAbove(const QStringList &names, bool blockList)
{
    d->allowedList = names;
    d->allowedNames = AppIdentity::normalizedSet(names);
    d->blockList = blockList;
    d->topLevels.clear();
    if (d->allowedNames.isEmpty() && !blockList) {
        d->inspector.reset();
        d->identity.reset();
    }
    if (d->conn && !d->held.isEmpty())
        d->scheduleSettle();
}

QStringList X11OverlayKeeper::allowedApplications() const
{
    return d->allowedList;
}

void X11OverlayKeeper::restack()
{
    if (!d->conn || d->held.isEmpty())
        return;
    d->settleTimer.stop();
    d->settle();
}

int X11OverlayKeeper::remaps() const
{
    return d->remaps;
}

int X11OverlayKeeper::restacks() const
{
    return d->restacks;
}
