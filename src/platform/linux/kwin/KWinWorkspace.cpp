// SPDX-License-Identifier: MIT
#include "KWinWorkspace.h"

#include "ApplicationAnnouncer.h"
#include "KWinScripting.h"
#include "KWinScripts.h"
#include "ProgramNames.h"
#include "WindowGroups.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace {

constexpr auto kRecordKind = "kwin";
// The script that says when the windows change, while the workspace listens.
const QString kWatcher = QStringLiteral("watch");

using Windows = WindowGroups<QString, KWinScripts::Window>;

// A refusal is not for good: KWin is asked again when the workspace is
// next used, at most this often.
constexpr int kAskAgainAfterMs = 1000;

// What hiding does to a window here.
bool isPutAway(const KWinScripts::Window &window)
{
    return window.minimized;
}

} // namespace

struct KWinWorkspace::Private
{
    enum class State { unknown, available, refused };

    KWinWorkspace *q;
    KWinScripting scripting;
    State state = State::unknown;
    QString reason;
    QElapsedTimer refusedAt;
    // Asked to follow the desktop (setWatching), and following it: the
    // watcher script loaded in KWin.
    bool watchRequested = false;
    bool listening = false;
    qint32 ownPid = static_cast<qint32>(QCoreApplication::applicationPid());

    Windows windows;
    ApplicationAnnouncer announcer; // the applications last reported
    QSet<QString> hiddenByUs;       // windows minimised here and not shown again
    QSet<QString> hiddenApps;
    QStringList toFollow; // new windows of hidden applications, to minimise
    bool hiddenChanged = false;
    bool availabilityChanged = false;
    QTimer refreshTimer;

    explicit Private(KWinWorkspace *owner) : q(owner) {}

    bool ensureProbed();
    void refuse(const QString &why);
    void kwinChanged();
    void updateListening();
    void startListening();
    void stopListening();

    // Runs the listing script (with the changes) and takes in its answer.
    bool apply(const QStringList &minimize = {}, const QStringList &unminimize = {});
    bool refresh() { return apply(); }
    void readAfresh();
    void adopt(const KWinScripts::Window &window);
    void announce();
    RunningApplication handleFor(const QString &appKey) const { return windows.handleFor(appKey); }
    bool isOwn(const QString &id) const { return windows.isOfProcess(id, ownPid); }
    bool isMinimized(const QString &id) const
    {
        const auto *entry = windows.find(id);
        return entry && entry->window.minimized;
    }
};

// The first look tells whether KWin runs this program's scripts at all. A
// refusal (KWin busy, a script of a killed run still in its way) is asked
// about again once in a while when the workspace is used.
bool KWinWorkspace::Private::ensureProbed()
{
    if (state == State::refused && refusedAt.isValid() && refusedAt.hasExpired(kAskAgainAfterMs)) {
        state = State::unknown;
        readAfresh();
        if (state == State::available) {
            availabilityChanged = true;
            reason.clear();
        } else {
            refusedAt.start();
        }
    }
    if (state == State::unknown)
        readAfresh();
    return state == State::available;
}

void KWinWorkspace::Private::refuse(const QString &why)
{
    if (state == State::available)
        availabilityChanged = true;
    state = State::refused;
    reason = why;
    refusedAt.start();
    scripting.stop(kWatcher);
    listening = false;
    refreshTimer.stop();
    // The windows stay known: what was minimised here stays in the record.
}

// KWin came, went or was replaced: the scripts are gone, and the new one is
// asked afresh.
void KWinWorkspace::Private::kwinChanged()
{
    const bool was = state == State::available;
    listening = false;
    refreshTimer.stop();
    state = State::unknown;
    ensureProbed();
    if (was != (state == State::available))
        availabilityChanged = true;
    announce();
}

void KWinWorkspace::Private::updateListening()
{
    const bool want =
        state == State::available && (watchRequested || !hiddenByUs.isEmpty() || !hiddenApps.isEmpty());
    if (want && !listening)
        startListening();
    else if (!want && listening)
        stopListening();
}

// Loads the watcher, then reads the windows again: what changed while
// nobody listened is no launch or termination to report.
void KWinWorkspace::Private::startListening()
{
    QString error;
    if (!scripting.start(kWatcher, KWinScripts::watcher(), &error))
        return refuse(error);
    listening = true;
    readAfresh();
}

// Unloads the watcher and forgets the windows: at rest KWin runs nothing
// for this program, and the next call reads the windows afresh.
void KWinWorkspace::Private::stopListening()
{
    listening = false;
    scripting.stop(kWatcher);
    refreshTimer.stop();
    windows.clear();
    announcer.clear();
}

bool KWinWorkspace::Private::apply(const QStringList &minimize, const QStringList &unminimize)
{
    if (state == State::refused)
        return false;
    QString error;
    const auto answer = scripting.run(KWinScripts::listing(minimize, unminimize), &error);
    const auto listed = answer ? KWinScripts::parseWindows(*answer) : std::nullopt;
    if (!listed) {
        refuse(answer ? KWinWorkspace::tr("KWin's script gave an answer that cannot be read") : error);
        return false;
    }
    state = State::available;
    // A window gone, or shown by someone else, is nothing to show again.
    if (windows.absorb(*listed, hiddenByUs, isPutAway, [this](const auto &window) { adopt(window); }))
        hiddenChanged = true;
    if (!toFollow.isEmpty())
        return apply(std::exchange(toFollow, {}));
    return true;
}

void KWinWorkspace::Private::readAfresh()
{
    windows.clear();
    if (refresh())
        announcer.adopt(windows.applications(), [this](const QString &key) { return handleFor(key); });
}

void KWinWorkspace::Private::adopt(const KWinScripts::Window &window)
{
    Windows::Entry info =
        Windows::describe(window, window.pid, QStringLiteral("window:%1").arg(window.id),
                          window.desktopFileName, window.resourceClass, window.resourceName, ownPid);
    const QString appKey = info.appKey;
    windows.add(window.id, std::move(info));
    // A new window of an application hidden here is hidden with it.
    if (hiddenApps.contains(appKey) && window.pid != ownPid && !window.minimized && q->mayHide()) {
        hiddenByUs.insert(window.id);
        hiddenChanged = true;
        toFollow.append(window.id);
    }
}

void KWinWorkspace::Private::announce()
{
    updateListening();
    windows.pruneApplications(hiddenApps);
    const auto handle = [this](const QString &key) { return handleFor(key); };
    announcer.announce(q, windows.applications(), handle, std::exchange(availabilityChanged, false),
                       std::exchange(hiddenChanged, false));
}

KWinWorkspace::KWinWorkspace(QObject *parent) : Workspace(parent), d(std::make_unique<Private>(this))
{
    d->refreshTimer.setSingleShot(true);
    d->refreshTimer.setInterval(0);
    connect(&d->refreshTimer, &QTimer::timeout, this, [this] {
        if (!d->listening)
            return;
        d->refresh();
        d->announce();
    });
    connect(&d->scripting, &KWinScripting::answered, this, [this](const QString &name) {
        if (name == kWatcher && d->listening && !d->refreshTimer.isActive())
            d->refreshTimer.start();
    });
    connect(&d->scripting, &KWinScripting::kwinChanged, this, [this] { d->kwinChanged(); });
}

KWinWorkspace::~KWinWorkspace() = default;

bool KWinWorkspace::isAvailable() const
{
    return d->ensureProbed();
}

QString KWinWorkspace::unavailableReason() const
{
    return isAvailable() ? QString() : d->reason;
}

QList<RunningApplication> KWinWorkspace::runningApplications()
{
    if (!isAvailable())
        return {};
    if (d->listening)
        d->refresh();
    else
        d->readAfresh();
    d->announce();
    return d->windows.handles();
}

void KWinWorkspace::setWatching(bool watching)
{
    Workspace::setWatching(watching);
    d->watchRequested = watching;
    if (!watching || d->ensureProbed())
        d->updateListening();
}

RunningApplication KWinWorkspace::currentApplication() const
{
    return ProgramNames::thisProgram();
}

bool KWinWorkspace::isHidden(const RunningApplication &app) const
{
    return d->windows.isPutAway(app.identity(), isPutAway);
}

bool KWinWorkspace::hide(const RunningApplication &app)
{
    if (!isAvailable() || app == currentApplication())
        return false;
    if (!d->listening)
        d->readAfresh();
    const auto ids = d->windows.windowsOf(app.identity());
    if (ids.isEmpty())
        return false;
    const QStringList moving = d->windows.toPutAway(app.identity(), d->ownPid, isPutAway);
    for (const auto &id : moving)
        d->hiddenByUs.insert(id);
    d->hiddenApps.insert(app.identity());
    d->hiddenChanged = d->hiddenChanged || !moving.isEmpty();
    const bool applied = d->apply(moving);
    d->announce();
    return applied && std::all_of(moving.cbegin(), moving.cend(), [this](const QString &id) {
               return !d->windows.contains(id) || d->isMinimized(id);
           });
}

bool KWinWorkspace::unhide(const RunningApplication &app)
{
    if (!isAvailable())
        return false;
    d->hiddenApps.remove(app.identity());
    QStringList showing;
    for (const auto &id : d->windows.windowsOf(app.identity())) {
        if (d->isOwn(id) || !d->hiddenByUs.remove(id))
            continue;
        showing.append(id);
        d->hiddenChanged = true;
    }
    const bool shown = !showing.isEmpty() && d->apply({}, showing);
    d->announce();
    return shown;
}

QJsonObject KWinWorkspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    return d->windows.record(kRecordKind, d->hiddenByUs, keysAboutToHide(aboutToHide, currentApplication()),
                             d->ownPid, isPutAway, [](const QString &id) { return id; });
}

int KWinWorkspace::restoreHiddenWindows(const QJsonObject &record)
{
    if (record.value(QStringLiteral("compositor")).toString() != QLatin1String(kRecordKind) || !isAvailable())
        return 0;
    if (d->listening)
        d->refresh();
    else
        d->readAfresh();
    const QStringList showing =
        d->windows.restorable(record, d->ownPid, isPutAway, [](const QString &id) -> std::optional<QString> {
            if (!KWinScripts::isWindowId(id))
                return std::nullopt;
            return id;
        });
    int restored = 0;
    if (!showing.isEmpty() && d->apply({}, showing)) {
        for (const auto &id : std::as_const(showing)) {
            if (d->windows.contains(id) && !d->isMinimized(id)) {
                d->hiddenByUs.remove(id);
                ++restored;
            }
        }
    }
    d->announce();
    return restored;
}
