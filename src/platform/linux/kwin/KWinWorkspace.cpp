// SPDX-License-Identifier: MIT
#include "KWinWorkspace.h"

#include "ApplicationAnnouncer.h"
#include "KWinScripting.h"
#include "KWinScripts.h"
#include "MinimisingWindows.h"
#include "ProgramNames.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

constexpr auto kRecordKind = "kwin";
// The script that says when the windows change, while the workspace listens.
const QString kWatcher = QStringLiteral("watch");

// A refusal is not for good: KWin is asked again when the workspace is
// next used, at most this often.
constexpr int kAskAgainAfterMs = 1000;

} // namespace

struct KWinWorkspace::Private : MinimisingWindows<QString, KWinScripts::Window>
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

    ApplicationAnnouncer announcer; // the applications last reported
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
    auto minimiser()
    {
        return [this](const QStringList &minimize, const QStringList &unminimize) {
            return apply(minimize, unminimize);
        };
    }
    void readAfresh();
    void announce();
    RunningApplication handleFor(const QString &appKey) const { return windows.handleFor(appKey); }
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
    const bool want = state == State::available && (watchRequested || holdsAny());
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
    const auto describe = [this](const KWinScripts::Window &window) {
        return Windows::describe(window, window.pid, QStringLiteral("window:%1").arg(window.id),
                                 window.desktopFileName, window.resourceClass, window.resourceName, ownPid);
    };
    takeIn(*listed, describe, [this] { return q->mayHide(); });
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
    return d->isHidden(app.identity());
}

bool KWinWorkspace::hide(const RunningApplication &app)
{
    if (!isAvailable() || app == currentApplication())
        return false;
    if (!d->listening)
        d->readAfresh();
    const bool hidden = d->hide(app.identity(), d->minimiser());
    d->announce();
    return hidden;
}

bool KWinWorkspace::unhide(const RunningApplication &app)
{
    if (!isAvailable())
        return false;
    const bool shown = d->unhide(app.identity(), d->minimiser());
    d->announce();
    return shown;
}

QJsonObject KWinWorkspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    return d->record(kRecordKind, aboutToHide, currentApplication(), [](const QString &id) { return id; });
}

int KWinWorkspace::restoreHiddenWindows(const QJsonObject &record)
{
    if (record.value(QStringLiteral("compositor")).toString() != QLatin1String(kRecordKind) || !isAvailable())
        return 0;
    if (d->listening)
        d->refresh();
    else
        d->readAfresh();
    const int restored = d->restore(
        record,
        [](const QString &id) -> std::optional<QString> {
            if (!KWinScripts::isWindowId(id))
                return std::nullopt;
            return id;
        },
        d->minimiser());
    d->announce();
    return restored;
}
