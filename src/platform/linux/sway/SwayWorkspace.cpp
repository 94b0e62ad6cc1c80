// SPDX-License-Identifier: MIT
#include "SwayWorkspace.h"

#include "ApplicationAnnouncer.h"
#include "HiddenWindowsRecord.h"
#include "Logging.h"
#include "ProgramNames.h"
#include "SwayIpc.h"
#include "SwayIpcConnection.h"
#include "WindowGroups.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace {

constexpr auto kRecordKind = "sway";

using Windows = WindowGroups<qint64, SwayIpc::Window>;

// Where a window hidden here came from, and how it was there: the window
// as it was (its workspace, output, floating geometry, container and
// neighbours), full screen if the overlays had taken its full screen.
using Origin = SwayIpc::Window;

Origin originOf(const SwayIpc::Window &window)
{
    Origin origin = window;
    bool global = window.fullscreenGlobal;
    if (window.lostFullScreen(&global)) {
        origin.fullscreen = true;
        origin.fullscreenGlobal = global;
    }
    return origin;
}

QJsonObject originToJson(const Origin &origin)
{
    QJsonObject out{{QStringLiteral("workspace"), origin.workspace},
                    {QStringLiteral("floating"), origin.floating}};
    if (!origin.output.isEmpty())
        out.insert(QStringLiteral("output"), origin.output);
    if (origin.fullscreen)
        out.insert(QStringLiteral("fullscreen"),
                   origin.fullscreenGlobal ? QStringLiteral("global") : QStringLiteral("workspace"));
    if (origin.floating && origin.rect.isValid())
        out.insert(QStringLiteral("rect"),
                   QJsonArray{origin.rect.x(), origin.rect.y(), origin.rect.width(), origin.rect.height()});
    if (!origin.parentLayout.isEmpty())
        out.insert(QStringLiteral("layout"), origin.parentLayout);
    if (origin.previous > 0)
        out.insert(QStringLiteral("previous"), origin.previous);
    if (origin.next > 0)
        out.insert(QStringLiteral("next"), origin.next);
    return out;
}

// What a record says; entries of older records have only the workspace and
// whether the window floated.
Origin originFromJson(const QJsonObject &entry)
{
    Origin origin;
    origin.workspace = entry.value(QStringLiteral("workspace")).toString();
    origin.floating = entry.value(QStringLiteral("floating")).toBool();
    origin.output = entry.value(QStringLiteral("output")).toString();
    const QString fullscreen = entry.value(QStringLiteral("fullscreen")).toString();
    origin.fullscreen = !fullscreen.isEmpty();
    origin.fullscreenGlobal = fullscreen == QLatin1String("global");
    const QJsonArray rect = entry.value(QStringLiteral("rect")).toArray();
    if (rect.size() == 4)
        origin.rect = QRect(rect.at(0).toInt(), rect.at(1).toInt(), rect.at(2).toInt(), rect.at(3).toInt());
    origin.parentLayout = entry.value(QStringLiteral("layout")).toString();
    origin.previous = std::max<qint64>(0, entry.value(QStringLiteral("previous")).toInteger());
    origin.next = std::max<qint64>(0, entry.value(QStringLiteral("next")).toInteger());
    return origin;
}

QJsonObject viewToJson(const SwayIpc::View &view)
{
    QJsonObject visible;
    for (auto it = view.visible.cbegin(); it != view.visible.cend(); ++it)
        visible.insert(it.key(), it.value());
    QJsonObject out{{QStringLiteral("visible"), visible},
                    {QStringLiteral("focusedOutput"), view.focusedOutput}};
    if (view.focused > 0)
        out.insert(QStringLiteral("focused"), view.focused);
    return out;
}

std::optional<SwayIpc::View> viewFromJson(const QJsonObject &object)
{
    SwayIpc::View view;
    const QJsonObject visible = object.value(QStringLiteral("visible")).toObject();
    for (auto it = visible.constBegin(); it != visible.constEnd(); ++it)
        if (!it.key().isEmpty() && it.value().isString() && !it.value().toString().isEmpty())
            view.visible.insert(it.key(), it.value().toString());
    if (view.visible.isEmpty())
        return std::nullopt;
    view.focusedOutput = object.value(QStringLiteral("focusedOutput")).toString();
    view.focused = std::max<qint64>(0, object.value(QStringLiteral("focused")).toInteger());
    return view;
}

// What hiding does to a window here.
bool isPutAway(const SwayIpc::Window &window)
{
    return window.inScratchpad();
}

} // namespace

struct SwayWorkspace::Private
{
    SwayWorkspace *q;
    QString socketPath;
    SwayIpcConnection commands;
    SwayIpcConnection events;
    std::unique_ptr<QSocketNotifier> notifier;
    bool lost = false;
    // Asked to follow the desktop (setWatching), and following it: window
    // events subscribed on a second connection.
    bool watchRequested = false;
    bool listening = false;
    qint32 ownPid = static_cast<qint32>(QCoreApplication::applicationPid());

    Windows windows;
    ApplicationAnnouncer announcer; // the applications last reported
    QHash<qint64, Origin> hiddenByUs;
    QSet<QString> hiddenApps;
    // What the user looked at when hiding began (the workspace each output
    // showed, the window with the focus), brought back when everything
    // hidden here is back.
    std::optional<SwayIpc::View> userView;
    bool hiddenChanged = false;
    bool availabilityChanged = false;
    QTimer refreshTimer;

    explicit Private(SwayWorkspace *owner) : q(owner) {}

    void open();
    void connectionLost();
    // Listening follows the request, and goes on by itself while something
    // hidden here is not shown again.
    void updateListening();
    void startListening();
    void stopListening();
    void readEvents();
    std::optional<QByteArray> request(quint32 type, const QByteArray &payload = {});
    bool run(const QStringList &commands);

    std::optional<QJsonObject> tree();
    void refresh(const std::optional<QJsonObject> &known = std::nullopt);
    void readAfresh();
    // Runs the commands, then puts the view back as it was before them
    // where they changed it (sway focuses where a window leaves or comes).
    bool runKeepingView(const QStringList &list, const SwayIpc::View &before, const QSet<qint64> &away);
    bool workspaceExists(const QString &name, const SwayIpc::View &view) const;
    void adopt(const SwayIpc::Window &window);
    void announce();
    RunningApplication handleFor(const QString &appKey) const { return windows.handleFor(appKey); }
    bool isOwn(qint64 id) const { return windows.isOfProcess(id, ownPid); }
    bool inScratchpad(qint64 id) const
    {
        const auto *entry = windows.find(id);
        return entry && entry->window.inScratchpad();
    }
    bool moveToScratchpad(const QList<qint64> &ids);
    QStringList bringBack(qint64 id, const Origin &origin, const SwayIpc::View &view) const;
    void backFromScratchpad(const QList<QPair<qint64, Origin>> &list);
};

void SwayWorkspace::Private::open()
{
    if (socketPath.isEmpty())
        return;
    if (!commands.open(socketPath) || !commands.request(SwayIpc::getVersion, {}))
        return connectionLost();
    refreshTimer.setSingleShot(true);
    refreshTimer.setInterval(0);
    QObject::connect(&refreshTimer, &QTimer::timeout, q, [this] {
        refresh();
        announce();
    });
    // Nothing is subscribed yet: the workspace reads the tree when asked,
    // and listens to sway only while it is watched.
    availabilityChanged = false; // what open() finds is no change
}

void SwayWorkspace::Private::updateListening()
{
    const bool want =
        !lost && commands.isOpen() && (watchRequested || !hiddenByUs.isEmpty() || !hiddenApps.isEmpty());
    if (want && !listening)
        startListening();
    else if (!want && listening)
        stopListening();
}

// Subscribes to window events on a connection of their own, then reads the
// tree again: what changed while nobody listened is no launch or
// termination to report.
void SwayWorkspace::Private::startListening()
{
    if (!events.open(socketPath) ||
        !events.send(SwayIpc::subscribe, QByteArrayLiteral(R"(["window","shutdown"])")))
        return connectionLost();
    listening = true;
    notifier = std::make_unique<QSocketNotifier>(events.fd(), QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, q, [this] { readEvents(); });
    readAfresh();
}

// Closes the event connection (sway has no way to unsubscribe) and forgets
// the windows: at rest sway sends nothing, and the next call reads the tree
// afresh.
void SwayWorkspace::Private::stopListening()
{
    listening = false;
    notifier.reset();
    events.close();
    refreshTimer.stop();
    windows.clear();
    announcer.clear();
}

// The tree as it is now, announcing nothing.
void SwayWorkspace::Private::readAfresh()
{
    windows.clear();
    refresh();
    announcer.adopt(windows.applications(), [this](const QString &key) { return handleFor(key); });
}

void SwayWorkspace::Private::connectionLost()
{
    const bool wasAvailable = commands.isOpen() && !lost;
    lost = true;
    listening = false;
    notifier.reset();
    commands.close();
    events.close();
    if (wasAvailable)
        availabilityChanged = true;
}

void SwayWorkspace::Private::readEvents()
{
    if (!listening)
        return;
    if (!events.readAvailable()) {
        connectionLost();
        announce();
        return;
    }
    bool changed = false;
    while (const auto message = events.next()) {
        if (message->type == SwayIpc::shutdownEvent) {
            connectionLost();
            announce();
            return;
        }
        if (message->type != SwayIpc::windowEvent)
            continue;
        const auto change =
            QJsonDocument::fromJson(message->payload).object().value(QLatin1String("change")).toString();
        changed = changed || change == QLatin1String("new") || change == QLatin1String("close") ||
                  change == QLatin1String("move") || change == QLatin1String("floating");
    }
    if (changed && !refreshTimer.isActive())
        refreshTimer.start();
}

std::optional<QByteArray> SwayWorkspace::Private::request(quint32 type, const QByteArray &payload)
{
    if (lost || !commands.isOpen())
        return std::nullopt;
    const auto reply = commands.request(type, payload);
    if (!reply)
        connectionLost();
    return reply;
}

bool SwayWorkspace::Private::run(const QStringList &list)
{
    if (list.isEmpty())
        return true;
    const auto reply = request(SwayIpc::runCommand, list.join(QLatin1String("; ")).toUtf8());
    return reply && SwayIpc::succeeded(*reply);
}

std::optional<QJsonObject> SwayWorkspace::Private::tree()
{
    const auto reply = request(SwayIpc::getTree);
    if (!reply)
        return std::nullopt;
    return QJsonDocument::fromJson(*reply).object();
}

void SwayWorkspace::Private::refresh(const std::optional<QJsonObject> &known)
{
    const auto current = known ? known : tree();
    if (!current)
        return;
    const auto listed = SwayIpc::windows(*current);
    // A window gone, or brought back by someone else, is nothing to restore.
    if (windows.absorb(listed, hiddenByUs, isPutAway, [this](const auto &window) { adopt(window); }))
        hiddenChanged = true;
}

void SwayWorkspace::Private::adopt(const SwayIpc::Window &window)
{
    Windows::Entry info = Windows::describe(window, window.pid, QStringLiteral("con:%1").arg(window.id),
                                            window.appId, window.windowClass, window.windowInstance, ownPid);
    const QString appKey = info.appKey;
    windows.add(window.id, std::move(info));
    // A new window of an application hidden here is hidden with it.
    if (hiddenApps.contains(appKey) && !isOwn(window.id) && !window.inScratchpad() && q->mayHide())
        moveToScratchpad({window.id});
}

bool SwayWorkspace::Private::moveToScratchpad(const QList<qint64> &ids)
{
    if (ids.isEmpty())
        return true;
    const auto before = tree();
    if (!before)
        return false;
    const SwayIpc::View view = SwayIpc::view(*before);
    if (!userView && hiddenByUs.isEmpty()) {
        // The window the user worked in: this program's overlays may have
        // the focus already.
        userView = view;
        userView->focused = SwayIpc::lastFocused(*before, [this](qint64 id) { return !isOwn(id); });
    }
    QStringList list;
    QSet<qint64> away;
    for (const qint64 id : ids) {
        const auto &window = windows.find(id)->window;
        hiddenByUs.insert(id, originOf(window));
        list << QStringLiteral("[con_id=%1] move scratchpad").arg(id);
        away.insert(id);
    }
    hiddenChanged = true;
    const bool moved = runKeepingView(list, view, away);
    if (!moved) {
        // Whatever did not go is not ours to bring back; the tree says which.
        refresh();
    } else {
        for (const qint64 id : ids)
            windows.find(id)->window.workspace = QStringLiteral("__i3_scratch");
    }
    return moved;
}

bool SwayWorkspace::Private::runKeepingView(const QStringList &list, const SwayIpc::View &before,
                                            const QSet<qint64> &away)
{
    const bool ran = run(list);
    const auto after = tree();
    if (!after)
        return false;
    SwayIpc::View now = SwayIpc::view(*after);
    const bool focusMoved =
        before.focused > 0 && !away.contains(before.focused) && now.focused != before.focused;
    if (now.visible != before.visible || now.focusedOutput != before.focusedOutput || focusMoved)
        run(SwayIpc::restoreView(before, away));
    return ran;
}

bool SwayWorkspace::Private::workspaceExists(const QString &name, const SwayIpc::View &view) const
{
    if (std::any_of(view.visible.cbegin(), view.visible.cend(), [&](const QString &w) { return w == name; }))
        return true;
    for (const qint64 id : windows.order())
        if (windows.find(id)->window.workspace == name && !inScratchpad(id))
            return true;
    return false;
}

// The commands that put a window back where it came from, as it was there:
// on its workspace (made again on its output if it has gone), tiled next to
// the neighbour it had (so in the same tabbed, stacked or split container
// and in the same order) or floating with its geometry, full screen again
// if it was. Moving a window out of the scratchpad shows it floating; sway
// puts a window moved to a mark right after the marked one.
QStringList SwayWorkspace::Private::bringBack(qint64 id, const Origin &origin,
                                              const SwayIpc::View &view) const
{
    const QString con = QStringLiteral("[con_id=%1] ").arg(id);
    QStringList list;
    if (!origin.output.isEmpty() && !workspaceExists(origin.workspace, view)) {
        list
            << QStringLiteral("focus output %1").arg(SwayIpc::quoted(origin.output))
            << QStringLiteral("workspace --no-auto-back-and-forth %1").arg(SwayIpc::quoted(origin.workspace));
    }
    list << con + QStringLiteral("move container to workspace %1").arg(SwayIpc::quoted(origin.workspace));
    // A neighbour floating now (held above the overlays for the session)
    // is no place in a container.
    const auto anchored = [&](qint64 anchor) {
        const auto *entry = windows.find(anchor);
        return entry && entry->window.workspace == origin.workspace && !entry->window.floating;
    };
    if (!origin.floating) {
        list << SwayIpc::tileBack(id, origin.previous, origin.next, anchored);
    } else if (origin.rect.isValid()) {
        list << con + QStringLiteral("resize set width %1 px height %2 px")
                          .arg(origin.rect.width())
                          .arg(origin.rect.height())
             << con +
                    QStringLiteral("move absolute position %1 %2").arg(origin.rect.x()).arg(origin.rect.y());
    }
    if (origin.fullscreen)
        list << con + (origin.fullscreenGlobal ? QStringLiteral("fullscreen enable global")
                                               : QStringLiteral("fullscreen enable"));
    // The mark of a full screen the overlays took has done its work.
    if (const auto *entry = windows.find(id)) {
        bool global = false;
        if (entry->window.lostFullScreen(&global))
            list << QStringLiteral("unmark %1").arg(SwayIpc::fullScreenMark(id, global));
    }
    return list;
}

// Brings the windows back (in the order given: the tree's, so that a
// neighbour comes back before the window placed next to it), leaving the
// view as it is, and the user's view of before the hiding once nothing
// hidden here is away any more.
void SwayWorkspace::Private::backFromScratchpad(const QList<QPair<qint64, Origin>> &list)
{
    if (list.isEmpty())
        return;
    const auto before = tree();
    if (!before)
        return;
    refresh(before);
    const SwayIpc::View view = SwayIpc::view(*before);
    for (const auto &[id, origin] : list) {
        // Each window's commands on their own, the tree read again after
        // each (the next one's neighbour may be back now): one refused
        // leaves the others.
        if (!run(bringBack(id, origin, view)))
            qCWarning(lcSway, "sway did not put window %lld back exactly as it was",
                      static_cast<long long>(id));
        refresh();
    }
    if (hiddenByUs.isEmpty() && userView) {
        const SwayIpc::View wanted = *std::exchange(userView, std::nullopt);
        run(SwayIpc::restoreView(wanted));
    } else {
        runKeepingView({}, view, {});
    }
}

void SwayWorkspace::Private::announce()
{
    updateListening();
    windows.pruneApplications(hiddenApps);
    const auto handle = [this](const QString &key) { return handleFor(key); };
    announcer.announce(q, windows.applications(), handle, std::exchange(availabilityChanged, false),
                       std::exchange(hiddenChanged, false));
}

SwayWorkspace::SwayWorkspace(const QString &socketPath, QObject *parent)
    : Workspace(parent), d(std::make_unique<Private>(this))
{
    d->socketPath = socketPath.isEmpty() ? qEnvironmentVariable("SWAYSOCK") : socketPath;
    d->open();
}

SwayWorkspace::~SwayWorkspace() = default;

bool SwayWorkspace::isAvailable() const
{
    return !d->lost && d->commands.isOpen();
}

QString SwayWorkspace::unavailableReason() const
{
    if (d->socketPath.isEmpty())
        return QStringLiteral("no sway IPC socket");
    if (!isAvailable())
        return QStringLiteral("sway does not answer on its IPC socket");
    return {};
}

QList<RunningApplication> SwayWorkspace::runningApplications()
{
    if (!isAvailable())
        return {};
    if (d->listening) {
        d->readEvents();
        d->refresh();
    } else {
        d->readAfresh();
    }
    d->announce();
    return d->windows.handles();
}

void SwayWorkspace::setWatching(bool watching)
{
    Workspace::setWatching(watching);
    d->watchRequested = watching;
    d->updateListening();
}

RunningApplication SwayWorkspace::currentApplication() const
{
    return ProgramNames::thisProgram();
}

bool SwayWorkspace::isHidden(const RunningApplication &app) const
{
    return d->windows.isPutAway(app.identity(), isPutAway);
}

bool SwayWorkspace::hide(const RunningApplication &app)
{
    if (!isAvailable() || app == currentApplication())
        return false;
    if (!d->listening)
        d->readAfresh();
    const auto ids = d->windows.windowsOf(app.identity());
    if (ids.isEmpty())
        return false;
    QList<qint64> moving;
    for (const qint64 id : ids)
        if (!d->isOwn(id) && !d->inScratchpad(id))
            moving.append(id);
    d->hiddenApps.insert(app.identity());
    const bool moved = d->moveToScratchpad(moving);
    d->announce();
    return moved;
}

bool SwayWorkspace::unhide(const RunningApplication &app)
{
    if (!isAvailable())
        return false;
    d->hiddenApps.remove(app.identity());
    QList<QPair<qint64, Origin>> list;
    for (const qint64 id : d->windows.order()) {
        const auto origin = d->hiddenByUs.constFind(id);
        if (origin == d->hiddenByUs.cend() || d->isOwn(id) ||
            !d->windows.windowsOf(app.identity()).contains(id))
            continue;
        list.append({id, *origin});
        d->hiddenByUs.remove(id);
        d->hiddenChanged = true;
    }
    d->backFromScratchpad(list);
    const bool shown = std::any_of(list.cbegin(), list.cend(), [this](const auto &entry) {
        return d->windows.contains(entry.first) && !d->inScratchpad(entry.first);
    });
    d->announce();
    return shown;
}

QJsonObject SwayWorkspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    const QSet<QString> planned = keysAboutToHide(aboutToHide, currentApplication());
    QJsonArray entries;
    for (const qint64 id : d->windows.order()) {
        const auto &info = *d->windows.find(id);
        Origin origin;
        if (const auto hidden = d->hiddenByUs.constFind(id); hidden != d->hiddenByUs.cend())
            origin = *hidden;
        else if (planned.contains(info.appKey) && !d->isOwn(id) && !info.window.inScratchpad())
            origin = originOf(info.window);
        else
            continue;
        QJsonObject entry = originToJson(origin);
        entry.insert(QStringLiteral("con"), id);
        entry.insert(QStringLiteral("app"), info.name);
        if (info.window.pid)
            entry.insert(QStringLiteral("pid"), *info.window.pid);
        entries.append(entry);
    }
    if (entries.isEmpty())
        return {};
    QJsonObject record{{QStringLiteral("compositor"), QLatin1String(kRecordKind)},
                       {QStringLiteral("windows"), entries}};
    if (d->userView)
        record.insert(QStringLiteral("view"), viewToJson(*d->userView));
    return record;
}

int SwayWorkspace::restoreHiddenWindows(const QJsonObject &record)
{
    if (!isAvailable() || record.value(QStringLiteral("compositor")).toString() != QLatin1String(kRecordKind))
        return 0;
    if (d->listening)
        d->refresh();
    else
        d->readAfresh();
    int restored = 0;
    QList<QPair<qint64, Origin>> list;
    const auto entries = record.value(QStringLiteral("windows")).toArray();
    for (const auto &value : entries) {
        const QJsonObject entry = value.toObject();
        if (!HiddenWindowsRecord::namesProcessAndApplication(entry, QStringLiteral("app")))
            continue;
        const qint64 id = entry.value(QStringLiteral("con")).toInteger();
        const auto *it = d->windows.find(id);
        // Only the very window that was hidden, still in the scratchpad:
        // of the recorded process and application, and not this process.
        if (id <= 0 || !it || !it->window.inScratchpad() || d->isOwn(id))
            continue;
        if (it->window.pid != entry.value(QStringLiteral("pid")).toInt())
            continue;
        if (it->name != entry.value(QStringLiteral("app")).toString())
            continue;
        const Origin origin = originFromJson(entry);
        if (origin.workspace.isEmpty() || origin.workspace == QLatin1String("__i3_scratch"))
            continue;
        list.append({id, origin});
    }
    // What the user looked at before the killed run hid anything.
    if (!d->userView && d->hiddenByUs.isEmpty())
        d->userView = viewFromJson(record.value(QStringLiteral("view")).toObject());
    for (const auto &entry : std::as_const(list))
        d->hiddenByUs.remove(entry.first);
    d->backFromScratchpad(list);
    for (const auto &entry : std::as_const(list))
        if (d->windows.contains(entry.first) && !d->inScratchpad(entry.first))
            ++restored;
    d->refresh();
    d->announce();
    return restored;
}
