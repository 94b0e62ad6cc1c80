#include "OverlayWindows.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {
// Named before the X11 headers, which define Expose as a macro.
constexpr QEvent::Type kExposeEvent = QEvent::Expose;
} // namespace

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

Display *qtDisplay()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr const char *kClickThroughProperty = "lumoraClickThrough";
constexpr const char *kShapeKeeperName = "lumoraInputShapeKeeper";

void applyInputShape(Display *dpy, ::Window id, bool clickThrough)
{
    if (clickThrough)
        XShapeCombineRectangles(dpy, id, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
    else
        XShapeCombineMask(dpy, id, ShapeInput, 0, 0, None, ShapeSet);
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
                                    m_widget->property(kClickThroughProperty).toBool());
            }
            m_exposed = exposed;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_widget;
    bool m_exposed = false;
};

} // namespace

namespace OverlayWindows {

bool setClickThrough(QWidget *window, bool clickThrough)
{
    Display *dpy = qtDisplay();
    if (!dpy || !window)
        return false;
    const ::Window id = ::Window(window->winId());
    int eventBase = 0;
    int errorBase = 0;
    if (!XShapeQueryExtension(dpy, &eventBase, &errorBase))
        return false;
    applyInputShape(dpy, id, clickThrough);
    window->setProperty(kClickThroughProperty, clickThrough);
    if (!window->findChild<QObject *>(QLatin1String(kShapeKeeperName), Qt::FindDirectChildrenOnly)) {
        if (QWindow *handle = window->windowHandle())
            handle->installEventFilter(new InputShapeKeeper(window));
    }
    return true;
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

QImage grabScreen(QScreen *screen)
{
    if (!screen || !qtDisplay())
        return {};
    return screen->grabWindow(0).toImage();
}

} // namespace OverlayWindows

struct OverlayWatchdog::Private
{
    int timeoutMs = kDefaultTimeoutMs;
    Display *display = nullptr;
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<::Window> windows;
    bool stop = false;
    std::atomic<qint64> lastBeat{0};
    std::atomic<int> rescues{0};
    std::thread thread;
    std::unique_ptr<QTimer> heartbeat;

    void run()
    {
        std::unique_lock lock(mutex);
        while (!stop) {
            wake.wait_for(lock, std::chrono::milliseconds(250));
            if (stop || windows.empty())
                continue;
            if (steadyMs() - lastBeat.load() < timeoutMs)
                continue;
            // The main loop has stopped answering with the overlay up: take
            // the windows off the screen from this connection.
            for (::Window w : windows)
                XUnmapWindow(display, w);
            XSync(display, False);
            rescues.fetch_add(int(windows.size()));
            windows.clear();
        }
    }
};

OverlayWatchdog::OverlayWatchdog(int timeoutMs) : d(std::make_unique<Private>())
{
    d->timeoutMs = timeoutMs;
    if (!qtDisplay())
        return;
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return;
    d->lastBeat = steadyMs();
    d->heartbeat = std::make_unique<QTimer>();
    d->heartbeat->setInterval(std::max(100, timeoutMs / 10));
    QObject::connect(d->heartbeat.get(), &QTimer::timeout, [this] { beat(); });
    d->heartbeat->start();
    d->thread = std::thread([this] { d->run(); });
}

OverlayWatchdog::~OverlayWatchdog()
{
    if (d->thread.joinable()) {
        {
            std::lock_guard lock(d->mutex);
            d->stop = true;
        }
        d->wake.notify_all();
        d->thread.join();
    }
    if (d->display)
        XCloseDisplay(d->display);
}

bool OverlayWatchdog::isAvailable() const
{
    return d->display != nullptr;
}

void OverlayWatchdog::watch(const QList<QWidget *> &windows)
{
    if (!d->display)
        return;
    std::vector<::Window> ids;
    for (QWidget *w : windows)
        if (w)
            ids.push_back(::Window(w->winId()));
    beat();
    std::lock_guard lock(d->mutex);
    d->windows = std::move(ids);
}

void OverlayWatchdog::clear()
{
    std::lock_guard lock(d->mutex);
    d->windows.clear();
}

void OverlayWatchdog::beat()
{
    d->lastBeat = steadyMs();
}

int OverlayWatchdog::rescues() const
{
    return d->rescues.load();
}
