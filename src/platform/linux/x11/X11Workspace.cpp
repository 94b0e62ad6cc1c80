// SPDX-License-Identifier: MIT
#include "X11Workspace.h"

#include "ApplicationAnnouncer.h"
#include "HiddenWindowsRecord.h"
#include "ProgramNames.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstdint>

// X11 last: their macros (None, Bool, Status, ...) must not reach Qt's.
#include "X11Connection.h"
#include "X11WindowInspector.h"

#include <X11/Xatom.h>

using namespace std::chrono_literals;

namespace {

// How long the window manager gets to act on a request before the workspace
// checks the result (openbox needs well under 300 ms; this is the limit for a busy machine).
constexpr auto windowManagerGrace = 1000ms;

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
    X11Connection connection;
    X11WindowInspector inspector{connection};
    // The session as it was when the workspace was made.
    bool wayland = false;
    QByteArray displayName;
    mutable bool windowManager = false;
    // Asked to follow the desktop (setWatching), and following it: events
    // selected on the root and on every listed window.
    bool watchRequested = false;
    bool restoringRecord = false; // restoreHiddenWindows() is at work
    bool listening = false;

    QList<Window> order; // windows in the order first seen
    QHash<Window, X11WindowInfo> windows;
    QSet<Window> ignored;           // listed, but docks and desktops
    QStringList appOrder;           // application keys in the order first seen
    ApplicationAnnouncer announcer; // the applications last reported
    QHash<Window, HiddenHow> hiddenByUs;
    QHash<QString, HiddenHow> hiddenApps;
    QHash<Window, Expectation> expectations;
    bool hiddenChanged = false;
    mutable bool availabilityChanged = false;
    bool pumping = false;

    QSocketNotifier *notifier = nullptr;
    QMetaObject::Connection aboutToBlock;
    QTimer verifyTimer;

    explicit Private(X11Workspace *owner) : q(owner) {}

    // The connection is opened by the first call that needs the desktop (on
    // the display of the session the workspace was made in): a program that
    // never locks anything never connects.
    bool opened = false;
    void ensureOpen()
    {
        if (!opened) {
            opened = true;
            open();
        }
    }
    void open();
    void watchConnection();
    void close();
    // Listening follows the request, and goes on by itself while something
    // hidden here is not shown again (or is on its way back).
    void updateListening();
    void startListening();
    void stopListening();
    bool usable() const { return connection.usable(); }
    Display *display() const { return connection.display(); }
    const X11Atoms &atoms() const { return connection.atoms(); }
    qint32 ownPid() const { return inspector.ownPid(); }

    // Model
    void pump();
    void handle(const XEvent &event);
    void refresh();
    void readAfresh();
    void checkWindowManager() const;
    void forgetUnlisted(const QSet<Window> &listed);
    void adopt(Window window);
    void removeWindow(Window window);
    void announce();
    QList<Window> windowsOf(const QString &appKey) const;
    RunningApplication handleFor(const QString &appKey) const;
    bool isWindowHidden(Window window) const;
    bool isOwn(Window window) const;
    std::optional<HiddenHow> hiddenHow(Window window) const;

    // Requests
    bool requestIconic(Window window);
    void requestNormal(Window window, Window focusBefore);
    void withdraw(Window window);
    void expect(Window window, bool iconic, Window focusBefore);
    void verify();

    // Hidden-windows record
    std::optional<HiddenHow> recordedHow(Window window, const QSet<QString> &planned) const;
    std::optional<HiddenHow> restoreRecorded(const QJsonObject &entry, Window focusBefore);
    bool isRecordedWindow(Window window, const QJsonObject &entry) const;
};

void X11Workspace::Private::open()
{
    if (wayland || displayName.isEmpty())
        return;
    // Losing the display must not end the program: the workspace just stops.
    const bool connected = connection.open(
        [this] {
            windowManager = false;
            if (notifier)
                notifier->setEnabled(false);
        },
        displayName);
    if (!connected)
        return;
    // Nothing is selected yet: the workspace reads the desktop when asked,
    // and listens to it only while it is watched (see updateListening()).
    watchConnection();
    checkWindowManager();
    availabilityChanged = false; // what open() finds is no change
}

void X11Workspace::Private::updateListening()
{
    const bool want = usable() && (watchRequested || restoringRecord || !hiddenByUs.isEmpty() ||
                                   !hiddenApps.isEmpty() || !expectations.isEmpty());
    if (want && !listening)
        startListening();
    else if (!want && listening)
        stopListening();
}

// Selects the events on the root and on every window already known, then
// reads the desktop again: what changed while nobody listened is no launch
// or termination to report.
void X11Workspace::Private::startListening()
{
    listening = true;
    XSelectInput(display(), connection.root(), PropertyChangeMask);
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        XSelectInput(display(), it.key(), PropertyChangeMask | StructureNotifyMask);
        it->iconic = connection.readIconic(it.key());
    }
    refresh();
    announcer.adopt(appOrder, [this](const QString &key) { return handleFor(key); });
    if (auto *dispatcher = QAbstractEventDispatcher::instance(); dispatcher && notifier) {
        // Replies read by Xlib can carry events along into its queue, where
        // the socket notifier cannot see them.
        aboutToBlock = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, q, [this] {
            if (usable() && XEventsQueued(display(), QueuedAlready) > 0)
                pump();
        });
    }
}

// Deselects everything and forgets the windows: at rest the server sends
// nothing, and the next call reads the desktop afresh.
void X11Workspace::Private::stopListening()
{
    listening = false;
    QObject::disconnect(aboutToBlock);
    if (usable()) {
        XSelectInput(display(), connection.root(), NoEventMask);
        for (auto it = windows.cbegin(); it != windows.cend(); ++it)
            XSelectInput(display(), it.key(), NoEventMask);
        connection.flush();
    }
    order.clear();
    windows.clear();
    ignored.clear();
    appOrder.clear();
    announcer.clear();
}

// At rest: the client list as it is now, announcing nothing.
void X11Workspace::Private::readAfresh()
{
    order.clear();
    windows.clear();
    ignored.clear();
    appOrder.clear();
    refresh();
    announcer.adopt(appOrder, [this](const QString &key) { return handleFor(key); });
}

void X11Workspace::Private::watchConnection()
{
    verifyTimer.setSingleShot(true);
    QObject::connect(&verifyTimer, &QTimer::timeout, q, [this] { verify(); });
    if (!QCoreApplication::instance())
        return;
    notifier = new QSocketNotifier(ConnectionNumber(display()), QSocketNotifier::Read, q);
    QObject::connect(notifier, &QSocketNotifier::activated, q, [this] { pump(); });
}

void X11Workspace::Private::close()
{
    QObject::disconnect(aboutToBlock);
    connection.close();
}

void X11Workspace::Private::pump()
{
    if (!usable() || pumping)
        return;
    pumping = true;
    bool dirty = false;
    while (usable() && XPending(display()) > 0) {
        XEvent event;
        XNextEvent(display(), &event);
        if (event.type == PropertyNotify && event.xproperty.window == connection.root()) {
            dirty = dirty || event.xproperty.atom == atoms().clientList ||
                    event.xproperty.atom == atoms().supportingWmCheck;
        } else if (event.type == DestroyNotify) {
            dirty = true;
            handle(event);
        } else {
            handle(event);
        }
    }
    // Events selected before listening stopped change nothing at rest.
    if (dirty && listening)
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
        (event.xproperty.atom != atoms().wmState && event.xproperty.atom != atoms().wmStateNet))
        return;
    it->iconic = connection.readIconic(window);
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

void X11Workspace::Private::checkWindowManager() const
{
    const bool now = connection.hasEwmhWindowManager() && usable();
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
        if (const auto values = connection.readLongs(connection.root(), atoms().clientList, XA_WINDOW))
            listed = QList<Window>(values->cbegin(), values->cend());
    }
    forgetUnlisted(QSet<Window>(listed.cbegin(), listed.cend()));
    for (const Window window : std::as_const(listed)) {
        if (!ignored.contains(window) && !windows.contains(window))
            adopt(window);
    }
    connection.flush();
}

void X11Workspace::Private::forgetUnlisted(const QSet<Window> &listed)
{
    const auto known = windows.keys();
    for (const Window window : known) {
        if (listed.contains(window))
            continue;
        // A window withdrawn here still belongs to a running application.
        if (hiddenHow(window) != HiddenHow::unmapped)
            removeWindow(window);
    }
    for (auto it = ignored.begin(); it != ignored.end();) {
        if (listed.contains(*it))
            ++it;
        else
            it = ignored.erase(it);
    }
}

// A window newly in the client list: tracked, or ignored as a dock or desktop.
void X11Workspace::Private::adopt(Window window)
{
    // Watch before reading, so that no change falls in between.
    if (listening)
        XSelectInput(display(), window, PropertyChangeMask | StructureNotifyMask);
    const auto info = inspector.inspect(window);
    if (!info) {
        ignored.insert(window);
        return;
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
    updateListening();
    // Applications that lost their last window have terminated.
    QSet<QString> present;
    for (const auto &info : std::as_const(windows))
        present.insert(info.appKey);
    appOrder.removeIf([&](const QString &key) { return !present.contains(key); });
    for (auto it = hiddenApps.begin(); it != hiddenApps.end();)
        it = present.contains(it.key()) ? std::next(it) : hiddenApps.erase(it);

    const auto handle = [this](const QString &key) { return handleFor(key); };
    announcer.announce(q, appOrder, handle, std::exchange(availabilityChanged, false),
                       std::exchange(hiddenChanged, false));
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
    std::optional<QString> appId;
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
        if (!appId)
            appId = info.appId;
        names << info.names;
    }
    names.removeDuplicates();
    return RunningApplication(appKey, appId, pid, name, names);
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
    return it != windows.cend() && it->pid == ownPid();
}

void X11Workspace::Private::expect(Window window, bool iconic, Window focusBefore)
{
    expectations.insert(window, {iconic, QDeadlineTimer(windowManagerGrace), focusBefore});
    if (!verifyTimer.isActive())
        verifyTimer.start(windowManagerGrace);
}

bool X11Workspace::Private::requestIconic(Window window)
{
    if (!XIconifyWindow(display(), window, connection.screen()))
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
    connection.sendToRoot(window, atoms().wmChangeState, NormalState);
    expect(window, false, focusBefore);
}

void X11Workspace::Private::withdraw(Window window)
{
    XWithdrawWindow(display(), window, connection.screen());
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
        const bool iconic = connection.readIconic(it.key());
        if (auto info = windows.find(it.key()); info != windows.end())
            info->iconic = iconic;
        if (!it->iconic && iconic && connection.readWmState(it.key()) != WithdrawnState) {
            stillIconic.append(it.key());
            focusBefore = it->focusBefore;
        }
        if (!it->iconic)
            hiddenChanged = true;
        it = expectations.erase(it);
    }
    for (const Window window : std::as_const(stillIconic))
        XMapWindow(display(), window);
    if (!stillIconic.isEmpty() && !stillIconic.contains(focusBefore))
        connection.activate(focusBefore);
    connection.flush();

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
    d->wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                 !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    d->displayName = qgetenv("DISPLAY");
}

X11Workspace::~X11Workspace()
{
    d->close();
}

bool X11Workspace::isAvailable() const
{
    d->ensureOpen();
    // At rest nothing tells of a window manager coming or going: ask.
    if (!d->listening && d->usable())
        d->checkWindowManager();
    return d->usable() && !d->wayland && d->windowManager;
}

void X11Workspace::setWatching(bool watching)
{
    if (watching)
        d->ensureOpen();
    Workspace::setWatching(watching);
    d->watchRequested = watching;
    d->updateListening();
}

QString X11Workspace::unavailableReason() const
{
    d->ensureOpen();
    if (d->wayland)
        return QStringLiteral("Wayland session");
    if (!d->connection.isOpen())
        return QStringLiteral("no X11 display");
    if (d->connection.isLost())
        return QStringLiteral("X11 connection lost");
    if (!d->windowManager)
        return QStringLiteral("no EWMH window manager");
    return {};
}

QList<RunningApplication> X11Workspace::runningApplications()
{
    d->ensureOpen();
    QList<RunningApplication> out;
    if (!d->usable())
        return out;
    d->pump();
    if (d->listening)
        d->refresh();
    else
        d->readAfresh();
    d->announce();
    if (!isAvailable())
        return out;
    for (const auto &key : std::as_const(d->appOrder))
        out.append(d->handleFor(key));
    return out;
}

RunningApplication X11Workspace::currentApplication() const
{
    d->ensureOpen();
    return ProgramNames::thisProgram();
}

bool X11Workspace::isHidden(const RunningApplication &app) const
{
    d->ensureOpen();
    const auto windows = d->windowsOf(app.identity());
    if (windows.isEmpty())
        return false;
    return std::all_of(windows.cbegin(), windows.cend(), [this](Window w) { return d->isWindowHidden(w); });
}

AccessibilityError X11Workspace::iconify(const RunningApplication &app)
{
    d->ensureOpen();
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
            d->connection.flush();
            d->announce();
            return AccessibilityError::cannotComplete;
        }
    }
    d->hiddenApps.insert(app.identity(), HiddenHow::iconified);
    d->connection.flush();
    d->announce();
    return AccessibilityError::success;
}

AccessibilityError X11Workspace::restore(const RunningApplication &app)
{
    d->ensureOpen();
    if (!isAvailable())
        return AccessibilityError::notTrusted;
    const auto windows = d->windowsOf(app.identity());
    if (windows.isEmpty())
        return AccessibilityError::invalidElement;

    if (d->hiddenApps.value(app.identity(), HiddenHow::unmapped) == HiddenHow::iconified)
        d->hiddenApps.remove(app.identity());
    const Window focusBefore = d->connection.activeWindow();
    for (const Window window : windows) {
        if (d->hiddenHow(window) != HiddenHow::iconified)
            continue;
        d->hiddenByUs.remove(window);
        d->hiddenChanged = true;
        d->requestNormal(window, focusBefore);
    }
    d->connection.flush();
    d->announce();
    return AccessibilityError::success;
}

bool X11Workspace::hide(const RunningApplication &app)
{
    d->ensureOpen();
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
    d->connection.flush();
    d->announce();
    return true;
}

bool X11Workspace::unhide(const RunningApplication &app)
{
    d->ensureOpen();
    if (!d->usable())
        return false;
    d->hiddenApps.remove(app.identity());
    QList<Window> mapped;
    const Window focusBefore = d->connection.activeWindow();
    for (const Window window : d->windowsOf(app.identity())) {
        if (!d->hiddenByUs.contains(window) || d->isOwn(window))
            continue;
        d->hiddenByUs.remove(window);
        d->expectations.remove(window);
        d->hiddenChanged = true;
        XMapWindow(d->display(), window);
        mapped.append(window);
    }
    // Mapping hands the focus to the window; give it back.
    if (!mapped.isEmpty() && !mapped.contains(focusBefore))
        d->connection.activate(focusBefore);
    d->connection.flush();
    d->announce();
    return !mapped.isEmpty();
}

QJsonObject X11Workspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    d->ensureOpen();
    if (!d->usable())
        return {};
    QSet<QString> planned;
    for (const auto &app : aboutToHide)
        if (app != currentApplication())
            planned.insert(app.identity());
    QJsonArray entries;
    for (const Window window : d->order) {
        const auto how = d->recordedHow(window, planned);
        if (!how)
            continue;
        const auto &info = d->windows[window];
        QJsonObject entry{{QStringLiteral("window"), static_cast<qint64>(window)},
                          {QStringLiteral("class"), info.className},
                          {QStringLiteral("how"), howName(*how)}};
        if (info.pid)
            entry.insert(QStringLiteral("pid"), *info.pid);
        entries.append(entry);
    }
    if (entries.isEmpty())
        return {};
    return {{QStringLiteral("display"), d->connection.displayName()}, {QStringLiteral("windows"), entries}};
}

// How a window goes into the record, if at all: as hidden here, as on its
// way back from iconic (still hidden until the window manager has acted) or
// as about to be hidden (written down first).
std::optional<HiddenHow> X11Workspace::Private::recordedHow(Window window, const QSet<QString> &planned) const
{
    if (const auto how = hiddenHow(window))
        return how;
    const auto expected = expectations.constFind(window);
    const bool restoring = expected != expectations.cend() && !expected->iconic;
    if (restoring ||
        (planned.contains(windows.value(window).appKey) && !isOwn(window) && !isWindowHidden(window)))
        return HiddenHow::iconified;
    return std::nullopt;
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
    d->ensureOpen();
    if (!isAvailable())
        return 0;
    const auto ourDisplay = normalizedDisplayName(d->connection.displayName());
    if (normalizedDisplayName(record.value(QStringLiteral("display")).toString()) != ourDisplay)
        return 0;
    // The windows on their way back are followed until they are shown:
    // listening starts before anything is asked of the window manager.
    d->restoringRecord = true;
    d->updateListening();
    d->pump();

    const Window focusBefore = d->connection.activeWindow();
    int restored = 0;
    bool mappedAny = false;
    const auto entries = record.value(QStringLiteral("windows")).toArray();
    for (const auto &value : entries) {
        if (!HiddenWindowsRecord::namesProcessAndApplication(value.toObject(), QStringLiteral("class")))
            continue;
        const auto how = d->restoreRecorded(value.toObject(), focusBefore);
        if (!how)
            continue;
        mappedAny = mappedAny || *how == HiddenHow::unmapped;
        ++restored;
    }
    if (mappedAny)
        d->connection.activate(focusBefore);
    d->connection.flush();
    d->restoringRecord = false;
    d->updateListening();
    return restored;
}

// Shows the window of one record entry again; how it was hidden, or nothing
// when the entry is not to be acted on.
std::optional<HiddenHow> X11Workspace::Private::restoreRecorded(const QJsonObject &entry, Window focusBefore)
{
    const auto id = entry.value(QStringLiteral("window")).toInteger();
    const auto recorded = howFromName(entry.value(QStringLiteral("how")).toString());
    if (id <= 0 || id > static_cast<qint64>(UINT32_MAX) || !recorded)
        return std::nullopt;
    const auto window = static_cast<Window>(id);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display(), window, &attributes) || !isRecordedWindow(window, entry))
        return std::nullopt;

    // The entry says how the window was to be hidden; a run that died
    // may have fallen back to the other way, so either state counts.
    std::optional<HiddenHow> how;
    if (connection.readIconic(window)) {
        requestNormal(window, focusBefore);
        how = HiddenHow::iconified;
    } else if (attributes.map_state == IsUnmapped && connection.readWmState(window) == WithdrawnState) {
        XMapWindow(display(), window);
        how = HiddenHow::unmapped;
    }
    if (how)
        hiddenByUs.remove(window);
    return how;
}

// Only the very window that was hidden: not one of this process, and of the
// recorded process and class.
bool X11Workspace::Private::isRecordedWindow(Window window, const QJsonObject &entry) const
{
    const auto pid = inspector.queryPid(window);
    if (pid == ownPid())
        return false;
    if (pid != entry.value(QStringLiteral("pid")).toInt())
        return false;
    return inspector.classOf(window) == entry.value(QStringLiteral("class")).toString();
}
