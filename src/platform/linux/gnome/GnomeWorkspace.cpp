// SPDX-License-Identifier: MIT
#include "GnomeWorkspace.h"

#include "ApplicationAnnouncer.h"
#include "GnomeShellExtension.h"
#include "ProgramNames.h"
#include "WindowGroups.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace {

constexpr auto kRecordKind = "gnome";

using Window = GnomeShellExtension::Window;
using Windows = WindowGroups<quint64, Window>;

bool isPutAway(const Window &window)
{
    return window.minimized;
}

QString withoutDesktopSuffix(QString id)
{
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}

QString idText(quint64 id)
{
    return QString::number(id);
}

} // namespace

struct GnomeWorkspace::Private
{
    GnomeWorkspace *q;
    GnomeShellExtension extension;
    bool available = false;
    bool watchRequested = false;
    bool listening = false;
    bool watchSent = false; // what the extension was last told to do
    qint32 ownPid = static_cast<qint32>(QCoreApplication::applicationPid());

    Windows windows;
    ApplicationAnnouncer announcer;
    QSet<quint64> hiddenByUs;
    QSet<QString> hiddenApps;
    QList<quint64> toFollow;
    bool hiddenChanged = false;
    bool availabilityChanged = false;
    QTimer refreshTimer;

    explicit Private(GnomeWorkspace *owner) : q(owner) {}

    bool ensureAvailable()
    {
        const bool now = extension.ensureConnected() == GnomeShellExtension::State::connected;
        if (now != available)
            availabilityChanged = true;
        available = now;
        return available;
    }

    bool apply(const QList<quint64> &minimize = {}, const QList<quint64> &unminimize = {})
    {
        if (!minimize.isEmpty() && !extension.setMinimized(minimize, true))
            return lost();
        if (!unminimize.isEmpty() && !extension.setMinimized(unminimize, false))
            return lost();
        const auto listed = extension.listWindows();
        if (!listed)
            return lost();
        if (windows.absorb(*listed, hiddenByUs, isPutAway, [this](const Window &w) { adopt(w); }))
            hiddenChanged = true;
        if (!toFollow.isEmpty())
            return apply(std::exchange(toFollow, {}));
        return true;
    }

    bool lost()
    {
        if (available)
            availabilityChanged = true;
        available = false;
        listening = false;
        watchSent = false;
        refreshTimer.stop();
        return false;
    }

    void readAfresh()
    {
        windows.clear();
        if (apply())
            announcer.adopt(windows.applications(),
                            [this](const QString &key) { return windows.handleFor(key); });
    }

    void adopt(const Window &window)
    {
        const QString desktopId = withoutDesktopSuffix(window.desktopId);
        const QString stated = !desktopId.isEmpty()                 ? desktopId
                               : !window.gtkApplicationId.isEmpty() ? window.gtkApplicationId
                                                                    : window.sandboxedAppId;
        const std::optional<qint32> pid = window.pid > 0 ? std::optional<qint32>(window.pid) : std::nullopt;
        Windows::Entry info = Windows::describe(window, pid, QStringLiteral("window:%1").arg(window.id),
                                                stated, window.wmClass, window.wmInstance, ownPid);
        for (const QString &name : {window.gtkApplicationId, window.sandboxedAppId, desktopId})
            if (!name.isEmpty() && !info.names.contains(name))
                info.names.append(name);
        const QString appKey = info.appKey;
        windows.add(window.id, std::move(info));
        if (hiddenApps.contains(appKey) && window.pid != ownPid && !window.minimized && q->mayHide()) {
            hiddenByUs.insert(window.id);
            hiddenChanged = true;
            toFollow.append(window.id);
        }
    }

    void updateListening()
    {
        listening = available && (watchRequested || !hiddenByUs.isEmpty() || !hiddenApps.isEmpty());
        // The extension follows windows only while this workspace listens.
        if (available && listening != watchSent && extension.watch(listening))
            watchSent = listening;
        if (!listening) {
            refreshTimer.stop();
            // At rest nothing is followed; the next call reads afresh.
            if (hiddenByUs.isEmpty() && hiddenApps.isEmpty()) {
                windows.clear();
                announcer.clear();
            }
        }
    }

    void announce()
    {
        updateListening();
        windows.pruneApplications(hiddenApps);
        announcer.announce(
            q, windows.applications(), [this](const QString &key) { return windows.handleFor(key); },
            std::exchange(availabilityChanged, false), std::exchange(hiddenChanged, false));
    }

    bool isOwn(quint64 id) const { return windows.isOfProcess(id, ownPid); }
    bool isMinimized(quint64 id) const
    {
        const auto *entry = windows.find(id);
        return entry && entry->window.minimized;
    }
};

GnomeWorkspace::GnomeWorkspace(QObject *parent) : Workspace(parent), d(std::make_unique<Private>(this))
{
    d->refreshTimer.setSingleShot(true);
    d->refreshTimer.setInterval(0);
    connect(&d->refreshTimer, &QTimer::timeout, this, [this] {
        if (!d->listening)
            return;
        d->apply();
        d->announce();
    });
    connect(&d->extension, &GnomeShellExtension::windowsChanged, this, [this] {
        if (d->listening && !d->refreshTimer.isActive())
            d->refreshTimer.start();
    });
    connect(&d->extension, &GnomeShellExtension::shellChanged, this, [this] {
        d->lost();
        d->announce();
    });
}

GnomeWorkspace::~GnomeWorkspace() = default;

bool GnomeWorkspace::isAvailable() const
{
    return d->ensureAvailable();
}

QString GnomeWorkspace::unavailableReason() const
{
    return isAvailable() ? QString() : d->extension.problem();
}

QList<RunningApplication> GnomeWorkspace::runningApplications()
{
    if (!isAvailable())
        return {};
    if (d->listening)
        d->apply();
    else
        d->readAfresh();
    d->announce();
    return d->windows.handles();
}

void GnomeWorkspace::setWatching(bool watching)
{
    Workspace::setWatching(watching);
    d->watchRequested = watching;
    if (!watching || d->ensureAvailable()) {
        const bool was = d->listening;
        d->updateListening();
        if (d->listening && !was)
            d->readAfresh();
    }
}

RunningApplication GnomeWorkspace::currentApplication() const
{
    return ProgramNames::thisProgram();
}

bool GnomeWorkspace::isHidden(const RunningApplication &app) const
{
    return d->windows.isPutAway(app.identity(), isPutAway);
}

bool GnomeWorkspace::hide(const RunningApplication &app)
{
    if (!isAvailable() || app == currentApplication())
        return false;
    if (!d->listening)
        d->readAfresh();
    const auto ids = d->windows.windowsOf(app.identity());
    if (ids.isEmpty())
        return false;
    const QList<quint64> moving = d->windows.toPutAway(app.identity(), d->ownPid, isPutAway);
    for (const auto id : moving)
        d->hiddenByUs.insert(id);
    d->hiddenApps.insert(app.identity());
    d->hiddenChanged = d->hiddenChanged || !moving.isEmpty();
    const bool applied = d->apply(moving);
    d->announce();
    return applied && std::all_of(moving.cbegin(), moving.cend(), [this](quint64 id) {
               return !d->windows.contains(id) || d->isMinimized(id);
           });
}

bool GnomeWorkspace::unhide(const RunningApplication &app)
{
    if (!isAvailable())
        return false;
    d->hiddenApps.remove(app.identity());
    QList<quint64> showing;
    for (const auto id : d->windows.windowsOf(app.identity())) {
        if (d->isOwn(id) || !d->hiddenByUs.remove(id))
            continue;
        showing.append(id);
        d->hiddenChanged = true;
    }
    const bool shown = !showing.isEmpty() && d->apply({}, showing);
    d->announce();
    return shown;
}

QJsonObject GnomeWorkspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    return d->windows.record(kRecordKind, d->hiddenByUs, keysAboutToHide(aboutToHide, currentApplication()),
                             d->ownPid, isPutAway, idText);
}

int GnomeWorkspace::restoreHiddenWindows(const QJsonObject &record)
{
    if (record.value(QStringLiteral("compositor")).toString() != QLatin1String(kRecordKind) || !isAvailable())
        return 0;
    if (d->listening)
        d->apply();
    else
        d->readAfresh();
    const QList<quint64> showing = d->windows.restorable(record, d->ownPid, isPutAway,
                                                         [](const QString &text) -> std::optional<quint64> {
                                                             bool ok = false;
                                                             const quint64 id = text.toULongLong(&ok);
                                                             if (!ok || id == 0)
                                                                 return std::nullopt;
                                                             return id;
                                                         });
    int restored = 0;
    if (!showing.isEmpty() && d->apply({}, showing)) {
        for (const auto id : std::as_const(showing)) {
            if (d->windows.contains(id) && !d->isMinimized(id)) {
                d->hiddenByUs.remove(id);
                ++restored;
            }
        }
    }
    d->announce();
    return restored;
}
