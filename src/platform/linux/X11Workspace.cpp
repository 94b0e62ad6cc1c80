#include "X11Workspace.h"

#include "DesktopEntries.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <climits>
#include <cstring>
#include <unistd.h>

// X11 headers last: their macros (None, Bool, Status, ...) must not reach Qt's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

using namespace std::chrono_literals;

namespace {

// How long the window manager gets to act on a request before the workspace
// checks the result (openbox needs well under 300 ms; this is the limit for a busy machine).
constexpr auto windowManagerGrace = 1000ms;
// _NET_ACTIVE_WINDOW source indication of a pager: honoured without
// focus-stealing checks.
constexpr long activationSourcePager = 2;
// Longest property read, in 32-bit units (a client list of 65536 windows).
constexpr long maximumPropertyLength = 65536;
constexpr int minimumXResMajor = 1;
constexpr int minimumXResMinor = 2;

enum class HiddenHow { iconified, unmapped };

QString howName(HiddenHow how)
{
    return how == HiddenHow::iconified ? QStringLiteral("iconified") : QStringLiteral("unmapped");
}

std::optional<HiddenHow> howFromName(const QString &name)
{
    if (name == QLatin1String("iconified"))
        return HiddenHow::iconified;
    if (name == QLatin1String("unmapped"))
        return HiddenHow::unmapped;
    return std::nullopt;
}

// ":0", ":0.0" and "unix:0" name the same display.
QString normalizedDisplayName(QString name)
{
    if (name.startsWith(QLatin1String("unix:")))
        name.remove(0, 4);
    const int colon = name.lastIndexOf(QLatin1Char(':'));
    const int dot = name.indexOf(QLatin1Char('.'), colon);
    if (colon >= 0 && dot > colon)
        name.truncate(dot);
    return name;
}

// Windows come and go at any time, so BadWindow and friends are routine on
// this workspace's connections; other displays keep the handler they had.
QSet<Display *> &workspaceDisplays()
{
    static QSet<Display *> displays;
    return displays;
}

XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIOErrorHandler = nullptr;
bool errorHandlersInstalled = false;

int onXError(Display *display, XErrorEvent *event)
{
    if (workspaceDisplays().contains(display))
        return 0;
    return previousErrorHandler ? previousErrorHandler(display, event) : 0;
}

// Qt's own handler ends the program on any broken connection; a broken
// workspace connection only ends the workspace (see the exit handler).
int onXIOError(Display *display)
{
    if (workspaceDisplays().contains(display))
        return 0;
    return previousIOErrorHandler ? previousIOErrorHandler(display) : 0;
}

struct Atoms
{
    Atom clientList, activeWindow, supportingWmCheck, wmPid, windowType, windowTypeDock, windowTypeDesktop,
        wmStateNet, wmStateHidden, wmState, wmChangeState, clientLeader, gtkApplicationId, kdeDesktopFile,
        utf8String, clientMachine;
};

struct WindowInfo
{
    QString appKey;
    std::optional<qint32> pid;
    std::optional<QString> bundleId;
    QString className;
    QStringList names; // every name the application goes by (AppIdentity)
    bool iconic = false;
};

// The names of the program a process runs: the executable's file name and
// the name it was started under (a link such as "rxvt-unicode" to urxvt).
QStringList programNames(qint32 pid)
{
    QStringList out;
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    const QString exe = QFileInfo(proc + QStringLiteral("exe")).symLinkTarget();
    if (!exe.isEmpty())
        out << QFileInfo(exe).fileName();
    QFile cmdline(proc + QStringLiteral("cmdline"));
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray first = cmdline.read(4096).split('\0').value(0);
        const QString argv0 = QFileInfo(QString::fromLocal8Bit(first)).fileName();
        if (!argv0.isEmpty() && !out.contains(argv0))
            out << argv0;
    }
    return out;
}

struct Expectation
{
    bool iconic = false;
    QDeadlineTimer deadline;
    Window focusBefore = 0;
};

} // namespace

struct X11Workspace::Private
{
    X11Workspace *q;
    Display *display = nullptr;
    Window root = 0;
    int screen = 0;
    bool wayland = false;
    bool dead = false;
    bool hasXRes = false;
    bool windowManager = false;
    qint32 ownPid = 0;
    QString hostName;
    Atoms atoms{};

    QList<Window> order; // windows in the order first seen
    QHash<Window, WindowInfo> windows;
    QSet<Window> ignored;                         // listed, but docks and desktops
    QStringList appOrder;                         // application keys in the order first seen
    QHash<QString, RunningApplication> announced; // the applications last reported
    QHash<Window, HiddenHow> hiddenByUs;
    QHash<QString, HiddenHow> hiddenApps;
    QHash<Window, Expectation> expectations;
    bool hiddenChanged = false;
    bool availabilityChanged = false;
    bool pumping = false;

    QSocketNotifier *notifier = nullptr;
    QMetaObject::Connection aboutToBlock;
    QTimer verifyTimer;

    explicit Private(X11Workspace *owner) : q(owner) {}

    void open();
    void close();
    bool usable() const { return display && !dead; }

    // Properties
    std::optional<QList<unsigned long>> readLongs(Window window, Atom property, Atom type) const;
    std::optional<QByteArray> readBytes(Window window, Atom property) const;
    std::optional<qint32> queryPid(Window window) const;
    QString classOf(Window window) const;
    // WM_CLASS: instance and class.
    std::pair<QString, QString> classHint(Window window) const;
    bool readIconic(Window window) const;
    long readWmState(Window window) const;
    Window activeWindow() const;
    std::optional<WindowInfo> inspect(Window window) const;

    // Model
    void pump();
    void handle(const XEvent &event);
    void refresh();
    void checkWindowManager();
    void removeWindow(Window window);
    void announce();
    QList<Window> windowsOf(const QString &appKey) const;
    RunningApplication handleFor(const QString &appKey) const;
    bool isWindowHidden(Window window) const;
    bool isOwn(Window window) const;
    std::optional<HiddenHow> hiddenHow(Window window) const;

    // Requests
    void sendToRoot(Window window, Atom type, long l0, long l1 = 0, long l2 = 0);
    void activate(Window window);
    bool requestIconic(Window window);
    void requestNormal(Window window, Window focusBefore);
    void withdraw(Window window);
    void expect(Window window, bool iconic, Window focusBefore);
    void verify();
};

void X11Workspace::Private::open()
{
    ownPid = static_cast<qint32>(::getpid());
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) == 0)
        hostName = QString::fromLocal8Bit(host);

    wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
              !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    display = XOpenDisplay(nullptr);
    if (!display)
        return;

    workspaceDisplays().insert(display);
    if (!errorHandlersInstalled) {
        previousErrorHandler = XSetErrorHandler(onXError);
        previousIOErrorHandler = XSetIOErrorHandler(onXIOError);
        errorHandlersInstalled = true;
    }
    // Losing the display must not end the program: the workspace just stops.
    XSetIOErrorExitHandler(
        display,
        [](Display *, void *data) {
            auto *self = static_cast<Private *>(data);
            self->dead = true;
            self->windowManager = false;
            if (self->notifier)
                self->notifier->setEnabled(false);
        },
        this);

    screen = DefaultScreen(display);
    root = RootWindow(display, screen);

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
    static_assert(count * sizeof(Atom) == sizeof(Atoms));
    XInternAtoms(display, const_cast<char **>(names), count, False, reinterpret_cast<Atom *>(&atoms));

    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    hasXRes = XResQueryExtension(display, &eventBase, &errorBase) &&
              XResQueryVersion(display, &major, &minor) &&
              (major > minimumXResMajor || (major == minimumXResMajor && minor >= minimumXResMinor));

    XSelectInput(display, root, PropertyChangeMask);

    verifyTimer.setSingleShot(true);
    QObject::connect(&verifyTimer, &QTimer::timeout, q, [this] { verify(); });
    if (QCoreApplication::instance()) {
        notifier = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, q);
        QObject::connect(notifier, &QSocketNotifier::activated, q, [this] { pump(); });
        // Replies read by Xlib can carry events along into its queue, where
        // the socket notifier cannot see them.
        if (auto *dispatcher = QAbstractEventDispatcher::instance()) {
            aboutToBlock = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, q, [this] {
                if (usable() && XEventsQueued(display, QueuedAlready) > 0)
                    pump();
            });
        }
    }

    refresh();
    availabilityChanged = false; // what open() finds is no change
    announced.clear();
    for (const auto &key : std::as_const(appOrder))
        announced.insert(key, handleFor(key));
}

void X11Workspace::Private::close()
{
    QObject::disconnect(aboutToBlock);
    if (!display)
        return;
    // Closing may be what finds the connection broken: stay registered until
    // it is done so that the handlers above treat it as this workspace's.
    if (!dead)
        XCloseDisplay(display);
    workspaceDisplays().remove(display);
    display = nullptr;
}

std::optional<QList<unsigned long>> X11Workspace::Private::readLongs(Window window, Atom property,
                                                                     Atom type) const
{
    if (!usable() || !window)
        return std::nullopt;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, maximumPropertyLength, False, type,
                                          &actualType, &format, &count, &after, &data);
    if (status != Success || !data) {
        if (data)
            XFree(data);
        return std::nullopt;
    }
    std::optional<QList<unsigned long>> out;
    if (format == 32 && actualType != 0) {
        // Xlib hands 32-bit properties over as an array of long.
        const auto *values = reinterpret_cast<const unsigned long *>(data);
        out = QList<unsigned long>(values, values + count);
    }
    XFree(data);
    return out;
}

std::optional<QByteArray> X11Workspace::Private::readBytes(Window window, Atom property) const
{
    if (!usable() || !window)
        return std::nullopt;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, maximumPropertyLength, False,
                                          AnyPropertyType, &actualType, &format, &count, &after, &data);
    if (status != Success || !data) {
        if (data)
            XFree(data);
        return std::nullopt;
    }
    std::optional<QByteArray> out;
    if (format == 8 && actualType != 0)
        out = QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(count));
    XFree(data);
    return out;
}

std::optional<qint32> X11Workspace::Private::queryPid(Window window) const
{
    if (!usable())
        return std::nullopt;
    // The server knows the process of a local client for certain.
    if (hasXRes) {
        XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
        long count = 0;
        XResClientIdValue *values = nullptr;
        std::optional<qint32> pid;
        if (XResQueryClientIds(display, 1, &spec, &count, &values) == Success) {
            for (long i = 0; i < count; ++i) {
                if (XResGetClientIdType(&values[i]) != XRES_CLIENT_ID_PID)
                    continue;
                const pid_t found = XResGetClientPid(&values[i]);
                if (found > 0)
                    pid = static_cast<qint32>(found);
            }
            XResClientIdsDestroy(count, values);
        }
        if (pid)
            return pid;
    }
    // What the client says, believed only for a client on this machine.
    const auto machine = readBytes(window, atoms.clientMachine);
    if (!machine || QString::fromLocal8Bit(*machine).remove(QChar(0)) != hostName)
        return std::nullopt;
    const auto values = readLongs(window, atoms.wmPid, XA_CARDINAL);
    if (!values || values->isEmpty() || values->first() == 0 || values->first() > INT_MAX)
        return std::nullopt;
    return static_cast<qint32>(values->first());
}

QString X11Workspace::Private::classOf(Window window) const
{
    return classHint(window).second;
}

std::pair<QString, QString> X11Workspace::Private::classHint(Window window) const
{
    XClassHint hint{nullptr, nullptr};
    if (!usable() || !XGetClassHint(display, window, &hint))
        return {};
    auto names = std::pair(QString::fromLocal8Bit(hint.res_name ? hint.res_name : ""),
                           QString::fromLocal8Bit(hint.res_class ? hint.res_class : ""));
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return names;
}

long X11Workspace::Private::readWmState(Window window) const
{
    const auto state = readLongs(window, atoms.wmState, atoms.wmState);
    return state && !state->isEmpty() ? static_cast<long>(state->first()) : WithdrawnState;
}

bool X11Workspace::Private::readIconic(Window window) const
{
    if (readWmState(window) == IconicState)
        return true;
    const auto states = readLongs(window, atoms.wmStateNet, XA_ATOM);
    return states && states->contains(atoms.wmStateHidden);
}

Window X11Workspace::Private::activeWindow() const
{
    const auto values = readLongs(root, atoms.activeWindow, XA_WINDOW);
    return values && !values->isEmpty() ? values->first() : 0;
}

std::optional<WindowInfo> X11Workspace::Private::inspect(Window window) const
{
    const auto types = readLongs(window, atoms.windowType, XA_ATOM);
    if (types && (types->contains(atoms.windowTypeDock) || types->contains(atoms.windowTypeDesktop)))
        return std::nullopt;

    WindowInfo info;
    info.pid = queryPid(window);
    const auto [instanceName, className] = classHint(window);
    info.className = className;
    for (const Atom property : {atoms.gtkApplicationId, atoms.kdeDesktopFile}) {
        const auto id = readBytes(window, property);
        if (id) {
            auto text = QString::fromUtf8(*id).remove(QChar(0)).trimmed();
            if (text.endsWith(QLatin1String(".desktop")))
                text.chop(8);
            if (!text.isEmpty()) {
                info.names << text;
                if (!info.bundleId)
                    info.bundleId = text;
            }
        }
    }
    if (!info.bundleId && !info.className.isEmpty())
        info.bundleId = info.className;
    for (const QString &name : {className, instanceName})
        if (!name.isEmpty())
            info.names << name;
    if (info.pid && *info.pid != ownPid)
        info.names << programNames(*info.pid);
    // The desktop entries that describe the application lend it their ids.
    QStringList entryIds;
    for (const DesktopEntry &entry : DesktopEntries::entriesFor(info.names))
        entryIds << entry.id;
    info.names = entryIds + info.names;
    info.names.removeDuplicates();

    if (info.pid) {
        info.appKey = QStringLiteral("pid:%1").arg(*info.pid);
    } else if (const auto leader = readLongs(window, atoms.clientLeader, XA_WINDOW);
               leader && !leader->isEmpty() && leader->first() != 0) {
        info.appKey = QStringLiteral("leader:0x%1").arg(leader->first(), 0, 16);
    } else if (!info.className.isEmpty()) {
        info.appKey = QStringLiteral("class:") + info.className;
    } else {
        info.appKey = QStringLiteral("window:0x%1").arg(window, 0, 16);
    }
    info.iconic = readIconic(window);
    return info;
}

void X11Workspace::Private::pump()
{
    if (!usable() || pumping)
        return;
    pumping = true;
    bool dirty = false;
    while (usable() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == PropertyNotify && event.xproperty.window == root) {
            dirty = dirty || event.xproperty.atom == atoms.clientList ||
                    event.xproperty.atom == atoms.supportingWmCheck;
        } else if (event.type == DestroyNotify) {
            dirty = true;
            handle(event);
        } else {
            handle(event);
        }
    }
    if (dirty)
        refresh();
    pumping = false;
    announce();
}

void X11Workspace::Private::handle(const XEvent &event)
{
    if (event.type == DestroyNotify) {
        removeWindow(event.xdestroywindow.window);
        return;
    }
    if (event.type != PropertyNotify)
        return;
    const Window window = event.xproperty.window;
    auto it = windows.find(window);
    if (it == windows.end() ||
        (event.xproperty.atom != atoms.wmState && event.xproperty.atom != atoms.wmStateNet))
        return;
    it->iconic = readIconic(window);
    const auto expected = expectations.constFind(window);
    if (expected != expectations.cend()) {
        if (expected->iconic == it->iconic) {
            // A window on its way back is in the record until it is shown.
            if (!expected->iconic)
                hiddenChanged = true;
            expectations.remove(window);
        }
    } else if (!it->iconic && hiddenHow(window) == HiddenHow::iconified) {
        // Someone else showed it again: there is nothing left to restore.
        hiddenByUs.remove(window);
        hiddenChanged = true;
    }
}

void X11Workspace::Private::checkWindowManager()
{
    const auto check = readLongs(root, atoms.supportingWmCheck, XA_WINDOW);
    bool present = false;
    if (check && !check->isEmpty() && check->first() != 0) {
        const auto self = readLongs(check->first(), atoms.supportingWmCheck, XA_WINDOW);
        present = self && !self->isEmpty() && self->first() == check->first();
    }
    const bool now = present && usable();
    if (now != windowManager)
        availabilityChanged = true;
    windowManager = now;
}

void X11Workspace::Private::refresh()
{
    if (!usable())
        return;
    checkWindowManager();
    QList<Window> listed;
    if (windowManager) {
        if (const auto values = readLongs(root, atoms.clientList, XA_WINDOW))
            listed = QList<Window>(values->cbegin(), values->cend());
    }
    const QSet<Window> listedSet(listed.cbegin(), listed.cend());

    const auto known = windows.keys();
    for (const Window window : known) {
        if (listedSet.contains(window))
            continue;
        // A window withdrawn here still belongs to a running application.
        if (hiddenHow(window) != HiddenHow::unmapped)
            removeWindow(window);
    }
    for (auto it = ignored.begin(); it != ignored.end();) {
        if (listedSet.contains(*it))
            ++it;
        else
            it = ignored.erase(it);
    }

    for (const Window window : std::as_const(listed)) {
        if (ignored.contains(window))
            continue;
        if (windows.contains(window))
            continue;
        // Watch before reading, so that no change falls in between.
        XSelectInput(display, window, PropertyChangeMask | StructureNotifyMask);
        const auto info = inspect(window);
        if (!info) {
            ignored.insert(window);
            continue;
        }
        windows.insert(window, *info);
        order.append(window);
        if (!appOrder.contains(info->appKey))
            appOrder.append(info->appKey);
        // A new window of an application hidden here is hidden with it.
        const auto how = hiddenApps.constFind(info->appKey);
        if (how != hiddenApps.cend() && !isOwn(window) && !info->iconic && q->mayHide()) {
            if (*how == HiddenHow::iconified)
                requestIconic(window);
            else
                withdraw(window);
        }
    }
    XFlush(display);
}

void X11Workspace::Private::removeWindow(Window window)
{
    if (!windows.remove(window))
        return;
    order.removeOne(window);
    expectations.remove(window);
    if (hiddenByUs.remove(window))
        hiddenChanged = true;
}

void X11Workspace::Private::announce()
{
    // Applications that lost their last window have terminated.
    QSet<QString> present;
    for (const auto &info : std::as_const(windows))
        present.insert(info.appKey);
    appOrder.removeIf([&](const QString &key) { return !present.contains(key); });
    for (auto it = hiddenApps.begin(); it != hiddenApps.end();)
        it = present.contains(it.key()) ? std::next(it) : hiddenApps.erase(it);

    QList<RunningApplication> launched;
    QList<RunningApplication> terminated;
    for (auto it = announced.begin(); it != announced.end();) {
        if (present.contains(it.key())) {
            ++it;
        } else {
            terminated.append(it.value());
            it = announced.erase(it);
        }
    }
    for (const auto &key : std::as_const(appOrder)) {
        if (!announced.contains(key)) {
            const auto app = handleFor(key);
            announced.insert(key, app);
            launched.append(app);
        }
    }
    const bool changed = std::exchange(hiddenChanged, false);
    const bool availability = std::exchange(availabilityChanged, false);

    if (availability)
        Q_EMIT q->availableChanged();
    for (const auto &app : std::as_const(terminated))
        Q_EMIT q->applicationTerminated(app);
    for (const auto &app : std::as_const(launched))
        Q_EMIT q->applicationLaunched(app);
    if (changed)
        Q_EMIT q->hiddenWindowsChanged();
}

QList<Window> X11Workspace::Private::windowsOf(const QString &appKey) const
{
    QList<Window> out;
    for (const Window window : order)
        if (windows.value(window).appKey == appKey)
            out.append(window);
    return out;
}

RunningApplication X11Workspace::Private::handleFor(const QString &appKey) const
{
    std::optional<QString> bundleId;
    std::optional<qint32> pid;
    QString name;
    QStringList names;
    for (const Window window : order) {
        const auto &info = windows[window];
        if (info.appKey != appKey)
            continue;
        pid = info.pid;
        if (name.isEmpty())
            name = info.className;
        if (!bundleId)
            bundleId = info.bundleId;
        names << info.names;
    }
    names.removeDuplicates();
    return RunningApplication(appKey, bundleId, pid, name, names);
}

bool X11Workspace::Private::isWindowHidden(Window window) const
{
    if (const auto expected = expectations.constFind(window); expected != expectations.cend())
        return expected->iconic;
    if (hiddenHow(window) == HiddenHow::unmapped)
        return true;
    return windows.value(window).iconic;
}

std::optional<HiddenHow> X11Workspace::Private::hiddenHow(Window window) const
{
    const auto it = hiddenByUs.constFind(window);
    return it != hiddenByUs.cend() ? std::optional(*it) : std::nullopt;
}

bool X11Workspace::Private::isOwn(Window window) const
{
    const auto it = windows.constFind(window);
    return it != windows.cend() && it->pid == ownPid;
}

void X11Workspace::Private::sendToRoot(Window window, Atom type, long l0, long l1, long l2)
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
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void X11Workspace::Private::activate(Window window)
{
    if (window)
        sendToRoot(window, atoms.activeWindow, activationSourcePager, CurrentTime);
}

void X11Workspace::Private::expect(Window window, bool iconic, Window focusBefore)
{
    expectations.insert(window, {iconic, QDeadlineTimer(windowManagerGrace), focusBefore});
    if (!verifyTimer.isActive())
        verifyTimer.start(windowManagerGrace);
}

bool X11Workspace::Private::requestIconic(Window window)
{
    if (!XIconifyWindow(display, window, screen))
        return false;
    hiddenByUs.insert(window, HiddenHow::iconified);
    hiddenChanged = true;
    expect(window, true, 0);
    return true;
}

void X11Workspace::Private::requestNormal(Window window, Window focusBefore)
{
    // The window manager's way back from iconic that neither focuses nor
    // raises; verify() falls back to mapping when it is not honoured.
    sendToRoot(window, atoms.wmChangeState, NormalState);
    expect(window, false, focusBefore);
}

void X11Workspace::Private::withdraw(Window window)
{
    XWithdrawWindow(display, window, screen);
    hiddenByUs.insert(window, HiddenHow::unmapped);
    hiddenChanged = true;
    expectations.remove(window);
}

void X11Workspace::Private::verify()
{
    if (!usable())
        return;
    QList<Window> stillIconic;
    Window focusBefore = 0;
    for (auto it = expectations.begin(); it != expectations.end();) {
        if (!it->deadline.hasExpired()) {
            ++it;
            continue;
        }
        const bool iconic = readIconic(it.key());
        if (auto info = windows.find(it.key()); info != windows.end())
            info->iconic = iconic;
        if (!it->iconic && iconic && readWmState(it.key()) != WithdrawnState) {
            stillIconic.append(it.key());
            focusBefore = it->focusBefore;
        }
        if (!it->iconic)
            hiddenChanged = true;
        it = expectations.erase(it);
    }
    for (const Window window : std::as_const(stillIconic))
        XMapWindow(display, window);
    if (!stillIconic.isEmpty() && !stillIconic.contains(focusBefore))
        activate(focusBefore);
    XFlush(display);

    if (!expectations.isEmpty()) {
        qint64 next = std::chrono::milliseconds(windowManagerGrace).count();
        for (const auto &expected : std::as_const(expectations))
            next = std::min(next, expected.deadline.remainingTime());
        verifyTimer.start(std::chrono::milliseconds(std::max<qint64>(next, 0)));
    }
    announce();
}

X11Workspace::X11Workspace(QObject *parent) : Workspace(parent), d(std::make_unique<Private>(this))
{
    d->open();
}

X11Workspace::~X11Workspace()
{
    d->close();
}

bool X11Workspace::isAvailable() const
{
    return d->usable() && !d->wayland && d->windowManager;
}

QString X11Workspace::unavailableReason() const
{
    if (d->wayland)
        return QStringLiteral("Wayland session");
    if (!d->display)
        return QStringLiteral("no X11 display");
    if (d->dead)
        return QStringLiteral("X11 connection lost");
    if (!d->windowManager)
        return QStringLiteral("no EWMH window manager");
    return {};
}

QList<RunningApplication> X11Workspace::runningApplications()
{
    QList<RunningApplication> out;
    if (!d->usable())
        return out;
    d->pump();
    d->refresh();
    d->announce();
    if (!isAvailable())
        return out;
    for (const auto &key : std::as_const(d->appOrder))
        out.append(d->handleFor(key));
    return out;
}

RunningApplication X11Workspace::currentApplication() const
{
    auto name = QGuiApplication::desktopFileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    return RunningApplication(QStringLiteral("pid:%1").arg(d->ownPid), name, d->ownPid, name,
                              {name, QCoreApplication::applicationName()});
}

bool X11Workspace::isHidden(const RunningApplication &app) const
{
    const auto windows = d->windowsOf(app.identity());
    if (windows.isEmpty())
        return false;
    return std::all_of(windows.cbegin(), windows.cend(), [this](Window w) { return d->isWindowHidden(w); });
}

AccessibilityError X11Workspace::iconify(const RunningApplication &app)
{
    if (!isAvailable())
        return AccessibilityError::notTrusted;
    if (app == currentApplication())
        return AccessibilityError::cannotComplete;
    const auto windows = d->windowsOf(app.identity());
    if (windows.isEmpty())
        return AccessibilityError::invalidElement;

    for (const Window window : windows) {
        if (d->isOwn(window) || d->isWindowHidden(window))
            continue;
        if (!d->requestIconic(window)) {
            XFlush(d->display);
            d->announce();
            return AccessibilityError::cannotComplete;
        }
    }
    d->hiddenApps.insert(app.identity(), HiddenHow::iconified);
    XFlush(d->display);
    d->announce();
    return AccessibilityError::success;
}

AccessibilityError X11Workspace::restore(const RunningApplication &app)
{
    if (!isAvailable())
        return AccessibilityError::notTrusted;
    const auto windows = d->windowsOf(app.identity());
    if (windows.isEmpty())
        return AccessibilityError::invalidElement;

    if (d->hiddenApps.value(app.identity(), HiddenHow::unmapped) == HiddenHow::iconified)
        d->hiddenApps.remove(app.identity());
    const Window focusBefore = d->activeWindow();
    for (const Window window : windows) {
        if (d->hiddenHow(window) != HiddenHow::iconified)
            continue;
        d->hiddenByUs.remove(window);
        d->hiddenChanged = true;
        d->requestNormal(window, focusBefore);
    }
    XFlush(d->display);
    d->announce();
    return AccessibilityError::success;
}

bool X11Workspace::hide(const RunningApplication &app)
{
    if (!d->usable() || app == currentApplication())
        return false;
    const auto windows = d->windowsOf(app.identity());
    if (windows.isEmpty())
        return false;
    for (const Window window : windows) {
        if (d->isOwn(window) || d->isWindowHidden(window))
            continue;
        d->withdraw(window);
    }
    d->hiddenApps.insert(app.identity(), HiddenHow::unmapped);
    XFlush(d->display);
    d->announce();
    return true;
}

bool X11Workspace::unhide(const RunningApplication &app)
{
    if (!d->usable())
        return false;
    d->hiddenApps.remove(app.identity());
    QList<Window> mapped;
    const Window focusBefore = d->activeWindow();
    for (const Window window : d->windowsOf(app.identity())) {
        if (!d->hiddenByUs.contains(window) || d->isOwn(window))
            continue;
        d->hiddenByUs.remove(window);
        d->expectations.remove(window);
        d->hiddenChanged = true;
        XMapWindow(d->display, window);
        mapped.append(window);
    }
    // Mapping hands the focus to the window; give it back.
    if (!mapped.isEmpty() && !mapped.contains(focusBefore))
        d->activate(focusBefore);
    XFlush(d->display);
    d->announce();
    return !mapped.isEmpty();
}

QJsonObject X11Workspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    if (!d->usable())
        return {};
    QSet<QString> planned;
    for (const auto &app : aboutToHide)
        if (app != currentApplication())
            planned.insert(app.identity());
    QJsonArray entries;
    for (const Window window : d->order) {
        const auto &info = d->windows[window];
        std::optional<HiddenHow> how = d->hiddenHow(window);
        if (!how) {
            // On its way back from iconic: still hidden until the window
            // manager has acted. About to be hidden: written down first.
            const auto expected = d->expectations.constFind(window);
            const bool restoring = expected != d->expectations.cend() && !expected->iconic;
            if (restoring ||
                (planned.contains(info.appKey) && !d->isOwn(window) && !d->isWindowHidden(window)))
                how = HiddenHow::iconified;
        }
        if (!how)
            continue;
        QJsonObject entry{{QStringLiteral("window"), static_cast<qint64>(window)},
                          {QStringLiteral("class"), info.className},
                          {QStringLiteral("how"), howName(*how)}};
        if (info.pid)
            entry.insert(QStringLiteral("pid"), *info.pid);
        entries.append(entry);
    }
    if (entries.isEmpty())
        return {};
    return {{QStringLiteral("display"), QString::fromLocal8Bit(DisplayString(d->display))},
            {QStringLiteral("windows"), entries}};
}

bool X11Workspace::isRestoring() const
{
    if (!d->usable())
        return false;
    return std::any_of(d->expectations.cbegin(), d->expectations.cend(),
                       [](const Expectation &expected) { return !expected.iconic; });
}

int X11Workspace::restoreHiddenWindows(const QJsonObject &record)
{
    if (!isAvailable())
        return 0;
    const auto ourDisplay = normalizedDisplayName(QString::fromLocal8Bit(DisplayString(d->display)));
    if (normalizedDisplayName(record.value(QStringLiteral("display")).toString()) != ourDisplay)
        return 0;
    d->pump();

    const Window focusBefore = d->activeWindow();
    int restored = 0;
    bool mappedAny = false;
    const auto entries = record.value(QStringLiteral("windows")).toArray();
    for (const auto &value : entries) {
        const auto entry = value.toObject();
        const auto id = entry.value(QStringLiteral("window")).toInteger();
        const auto how = howFromName(entry.value(QStringLiteral("how")).toString());
        if (id <= 0 || id > static_cast<qint64>(UINT32_MAX) || !how)
            continue;
        const auto window = static_cast<Window>(id);

        // Only the very window that was hidden, still there and still hidden.
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(d->display, window, &attributes))
            continue;
        const auto pid = d->queryPid(window);
        if (pid == d->ownPid)
            continue;
        if (entry.contains(QStringLiteral("pid")) && pid != entry.value(QStringLiteral("pid")).toInt())
            continue;
        if (d->classOf(window) != entry.value(QStringLiteral("class")).toString())
            continue;

        // The entry says how the window was to be hidden; a run that died
        // may have fallen back to the other way, so either state counts.
        if (d->readIconic(window)) {
            d->requestNormal(window, focusBefore);
        } else if (attributes.map_state == IsUnmapped && d->readWmState(window) == WithdrawnState) {
            XMapWindow(d->display, window);
            mappedAny = true;
        } else {
            continue;
        }
        d->hiddenByUs.remove(window);
        ++restored;
    }
    if (mappedAny)
        d->activate(focusBefore);
    XFlush(d->display);
    return restored;
}
