#include "SwayWorkspace.h"

#include "ApplicationAnnouncer.h"
#include "HiddenWindowsRecord.h"
#include "ProgramNames.h"
#include "SwayIpc.h"
#include "WindowGroups.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// sway answers at once; this is the limit for a busy machine.
constexpr int kReplyTimeoutMs = 3000;
constexpr auto kRecordKind = "sway";

// One connection to the IPC socket.
class IpcConnection
{
public:
    IpcConnection() = default;
    IpcConnection(const IpcConnection &) = delete;
    IpcConnection &operator=(const IpcConnection &) = delete;
    ~IpcConnection() { close(); }

    bool open(const QString &path)
    {
        close();
        const QByteArray encoded = QFile::encodeName(path);
        sockaddr_un address{};
        if (encoded.isEmpty() || encoded.size() >= qsizetype(sizeof address.sun_path))
            return false;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return false;
        if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 &&
            errno != EINPROGRESS) {
            close();
            return false;
        }
        m_decoder = {};
        return waitFor(POLLOUT, QDeadlineTimer(kReplyTimeoutMs));
    }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    bool send(quint32 type, const QByteArray &payload)
    {
        const QByteArray bytes = SwayIpc::encode(type, payload);
        const QDeadlineTimer deadline(kReplyTimeoutMs);
        qsizetype written = 0;
        while (isOpen() && written < bytes.size()) {
            const auto n =
                ::send(m_fd, bytes.constData() + written, size_t(bytes.size() - written), MSG_NOSIGNAL);
            if (n > 0) {
                written += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                if (!waitFor(POLLOUT, deadline))
                    close();
            } else {
                close();
            }
        }
        return isOpen();
    }

    // Reads what is there without waiting; false when the peer has gone.
    bool readAvailable()
    {
        char buffer[65536];
        while (isOpen()) {
            const auto n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                m_decoder.feed(QByteArray(buffer, n));
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                break;
            } else {
                close();
            }
        }
        if (m_decoder.failed())
            close();
        return isOpen();
    }

    std::optional<SwayIpc::Message> next() { return m_decoder.next(); }

    // One request and its reply; nothing when sway does not answer in time.
    std::optional<QByteArray> request(quint32 type, const QByteArray &payload)
    {
        if (!send(type, payload))
            return std::nullopt;
        const QDeadlineTimer deadline(kReplyTimeoutMs);
        while (isOpen()) {
            while (const auto message = next()) {
                if (message->type == type)
                    return message->payload;
            }
            if (!waitFor(POLLIN, deadline) || !readAvailable())
                break;
        }
        close();
        return std::nullopt;
    }

private:
    bool waitFor(short events, const QDeadlineTimer &deadline)
    {
        while (isOpen()) {
            pollfd entry{m_fd, events, 0};
            const int n = ::poll(&entry, 1, int(std::max<qint64>(deadline.remainingTime(), 0)));
            if (n < 0 && errno == EINTR)
                continue;
            return n > 0 && (entry.revents & events) != 0;
        }
        return false;
    }

    int m_fd = -1;
    SwayIpc::Decoder m_decoder;
};

using Windows = WindowGroups<qint64, SwayIpc::Window>;

// Where a window hidden here came from.
struct Origin
{
    QString workspace;
    bool floating = false;
};

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
    IpcConnection commands;
    IpcConnection events;
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

    void refresh();
    void readAfresh();
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
    QStringList bringBack(qint64 id, const Origin &origin) const;
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

void SwayWorkspace::Private::refresh()
{
    const auto reply = request(SwayIpc::getTree);
    if (!reply)
        return;
    const auto listed = SwayIpc::windows(QJsonDocument::fromJson(*reply).object());
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
    QStringList list;
    for (const qint64 id : ids) {
        const auto &window = windows.find(id)->window;
        hiddenByUs.insert(id, {window.workspace, window.floating});
        list << QStringLiteral("[con_id=%1] move scratchpad").arg(id);
    }
    hiddenChanged = hiddenChanged || !ids.isEmpty();
    const bool moved = run(list);
    if (!moved) {
        // Whatever did not go is not ours to bring back; the tree says which.
        refresh();
    } else {
        for (const qint64 id : ids)
            windows.find(id)->window.workspace = QStringLiteral("__i3_scratch");
    }
    return moved;
}

// The commands that put a window back where it came from (moving it out of
// the scratchpad shows it floating; a tiled one is tiled again).
QStringList SwayWorkspace::Private::bringBack(qint64 id, const Origin &origin) const
{
    QStringList list{QStringLiteral("[con_id=%1] move container to workspace %2")
                         .arg(id)
                         .arg(SwayIpc::quoted(origin.workspace))};
    if (!origin.floating)
        list << QStringLiteral("[con_id=%1] floating disable").arg(id);
    return list;
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
    QStringList list;
    for (const qint64 id : d->windows.windowsOf(app.identity())) {
        const auto origin = d->hiddenByUs.constFind(id);
        if (origin == d->hiddenByUs.cend() || d->isOwn(id))
            continue;
        list << d->bringBack(id, *origin);
        d->hiddenByUs.remove(id);
        d->hiddenChanged = true;
    }
    const bool shown = !list.isEmpty() && d->run(list);
    d->refresh();
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
            origin = {info.window.workspace, info.window.floating};
        else
            continue;
        QJsonObject entry{{QStringLiteral("con"), id},
                          {QStringLiteral("app"), info.name},
                          {QStringLiteral("workspace"), origin.workspace},
                          {QStringLiteral("floating"), origin.floating}};
        if (info.window.pid)
            entry.insert(QStringLiteral("pid"), *info.window.pid);
        entries.append(entry);
    }
    if (entries.isEmpty())
        return {};
    return {{QStringLiteral("compositor"), QLatin1String(kRecordKind)}, {QStringLiteral("windows"), entries}};
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
        QString workspace = entry.value(QStringLiteral("workspace")).toString();
        if (workspace.isEmpty() || workspace == QLatin1String("__i3_scratch"))
            continue;
        const Origin origin{workspace, entry.value(QStringLiteral("floating")).toBool()};
        if (d->run(d->bringBack(id, origin))) {
            d->hiddenByUs.remove(id);
            ++restored;
        }
    }
    d->refresh();
    d->announce();
    return restored;
}
