// SPDX-License-Identifier: MIT
#include "GnomeWorkspace.h"

#include "ApplicationAnnouncer.h"
#include "GnomeShellExtension.h"
#include "MinimisingWindows.h"
#include "ProgramNames.h"

#include <QTimer>

namespace {

constexpr auto kRecordKind = "gnome";

using Window = GnomeShellExtension::Window;

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

struct GnomeWorkspace::Private : MinimisingWindows<quint64, Window>
{
    GnomeWorkspace *q;
    GnomeShellExtension extension;
    bool available = false;
    bool watchRequested = false;
    bool listening = false;
    bool watchSent = false; // what the extension was last told to do

    ApplicationAnnouncer announcer;
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
        takeIn(
            *listed, [this](const Window &w) { return describe(w); }, [this] { return q->mayHide(); });
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

    auto minimiser()
    {
        return [this](const QList<quint64> &minimize, const QList<quint64> &unminimize) {
            return apply(minimize, unminimize);
        };
    }

    Windows::Entry describe(const Window &window) const
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
        return info;
    }

    void updateListening()
    {
        listening = available && (watchRequested || holdsAny());
        // The extension follows windows only while this workspace listens.
        if (available && listening != watchSent && extension.watch(listening))
            watchSent = listening;
        if (!listening) {
            refreshTimer.stop();
            // At rest nothing is followed; the next call reads afresh.
            if (!holdsAny()) {
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
    return d->isHidden(app.identity());
}

bool GnomeWorkspace::hide(const RunningApplication &app)
{
    if (!isAvailable() || app == currentApplication())
        return false;
    if (!d->listening)
        d->readAfresh();
    const bool hidden = d->hide(app.identity(), d->minimiser());
    d->announce();
    return hidden;
}

bool GnomeWorkspace::unhide(const RunningApplication &app)
{
    if (!isAvailable())
        return false;
    const bool shown = d->unhide(app.identity(), d->minimiser());
    d->announce();
    return shown;
}

QJsonObject GnomeWorkspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    return d->record(kRecordKind, aboutToHide, currentApplication(), idText);
}

int GnomeWorkspace::restoreHiddenWindows(const QJsonObject &record)
{
    if (record.value(QStringLiteral("compositor")).toString() != QLatin1String(kRecordKind) || !isAvailable())
        return 0;
    if (d->listening)
        d->apply();
    else
        d->readAfresh();
    const int restored = d->restore(
        record,
        [](const QString &text) -> std::optional<quint64> {
            bool ok = false;
            const quint64 id = text.toULongLong(&ok);
            if (!ok || id == 0)
                return std::nullopt;
            return id;
        },
        d->minimiser());
    d->announce();
    return restored;
}
