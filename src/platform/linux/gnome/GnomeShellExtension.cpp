// SPDX-License-Identifier: MIT
#include "GnomeShellExtension.h"

#include "Version.h"

#include <limits>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr int kAskAgainAfterMs = 1000;

QString errorName(const QString &suffix)
{
    return QLatin1String(GnomeShellExtension::kInterface) + QStringLiteral(".Error.") + suffix;
}

} // namespace

struct GnomeShellExtension::Private
{
    GnomeShellExtension *q;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusServiceWatcher watcher;
    State state = State::noShell;
    bool asked = false;
    QElapsedTimer askedAt;
    QString version;
    bool subscribed = false;

    explicit Private(GnomeShellExtension *owner) : q(owner) {}

    QDBusMessage call(const QString &method, const QVariantList &args = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                              QLatin1String(kInterface), method);
        message.setArguments(args);
        return bus.call(message, QDBus::Block, kAnswerTimeoutMs);
    }

    // A call on a connected extension; a failure that says the extension or
    // the connection is gone makes the next call connect afresh.
    std::optional<QDBusMessage> callConnected(const QString &method, const QVariantList &args = {})
    {
        if (q->ensureConnected() != State::connected)
            return std::nullopt;
        const QDBusMessage reply = call(method, args);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return reply;
        if (reply.errorName() != errorName(QStringLiteral("InvalidArgs")))
            forget();
        return std::nullopt;
    }

    void forget()
    {
        state = State::noShell;
        asked = false;
    }

    void subscribe()
    {
        if (subscribed)
            return;
        subscribed = true;
        const QString service = QLatin1String(kService);
        const QString path = QLatin1String(kPath);
        const QString iface = QLatin1String(kInterface);
        bus.connect(service, path, iface, QStringLiteral("WindowsChanged"), q, SIGNAL(windowsChanged()));
        bus.connect(service, path, iface, QStringLiteral("IndicatorActivated"), q,
                    SIGNAL(indicatorActivated()));
        bus.connect(service, path, iface, QStringLiteral("ShortcutActivated"), q,
                    SIGNAL(shortcutActivated()));
    }
};

GnomeShellExtension::GnomeShellExtension(QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(this))
{
    d->watcher.setConnection(d->bus);
    d->watcher.addWatchedService(QLatin1String(kService));
    d->watcher.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    connect(&d->watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        d->forget();
        Q_EMIT shellChanged();
    });
}

GnomeShellExtension::~GnomeShellExtension() = default;

bool GnomeShellExtension::isGnomeShellRunning()
{
    const auto *iface = QDBusConnection::sessionBus().interface();
    return iface && iface->isServiceRegistered(QLatin1String(kService));
}

bool GnomeShellExtension::isInstalled()
{
    QStringList roots{QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)};
    roots << QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &root : std::as_const(roots)) {
        const QString metadata = root + QStringLiteral("/gnome-shell/extensions/") + QLatin1String(kUuid) +
                                 QStringLiteral("/metadata.json");
        if (QFileInfo(metadata).isFile())
            return true;
    }
    return false;
}

GnomeShellExtension::State GnomeShellExtension::ensureConnected()
{
    if (d->state == State::connected)
        return d->state;
    if (d->asked && d->askedAt.isValid() && !d->askedAt.hasExpired(kAskAgainAfterMs))
        return d->state;
    d->asked = true;
    d->askedAt.start();
    if (!isGnomeShellRunning()) {
        d->state = State::noShell;
        return d->state;
    }
    // Subscribed before Connect, so that nothing said after it is missed.
    d->subscribe();
    const QDBusMessage reply = d->call(QStringLiteral("Connect"), {QString::fromLatin1(Version::kText)});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        d->state =
            reply.errorName() == errorName(QStringLiteral("AccessDenied")) ? State::refused : State::absent;
        return d->state;
    }
    d->version = reply.arguments().value(0).toString();
    d->state = d->version == QLatin1String(Version::kText) ? State::connected : State::mismatched;
    return d->state;
}

GnomeShellExtension::State GnomeShellExtension::state() const
{
    return d->state;
}

QString GnomeShellExtension::extensionVersion() const
{
    return d->version;
}

QString GnomeShellExtension::problem() const
{
    switch (d->state) {
    case State::connected:
        return {};
    case State::noShell:
        return tr("GNOME Shell is not running");
    case State::absent:
        return tr("GNOME Shell needs Lumora's extension for this; with it a session also keeps the overlay "
                  "above every window, shows the countdown in the top bar and takes the shortcut. "
                  "Settings, General, GNOME Shell installs it");
    case State::refused:
        return tr("Lumora's GNOME Shell extension does not answer this process");
    case State::mismatched:
        return tr("Lumora's GNOME Shell extension is version %1, Lumora %2; install the extension that "
                  "came with Lumora and log in again")
            .arg(d->version, QString::fromLatin1(Version::kText));
    }
    return {};
}

std::optional<QList<GnomeShellExtension::Window>> GnomeShellExtension::listWindows()
{
    const auto reply = d->callConnected(QStringLiteral("ListWindows"));
    if (!reply || reply->arguments().isEmpty())
        return std::nullopt;
    const QVariant value = reply->arguments().constFirst();
    if (!value.canConvert<QDBusArgument>())
        return std::nullopt;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(tssssssub)"))
        return std::nullopt;
    QList<Window> windows;
    argument.beginArray();
    while (!argument.atEnd()) {
        Window w;
        quint32 pid = 0;
        argument.beginStructure();
        argument >> w.id >> w.wmClass >> w.wmInstance >> w.gtkApplicationId >> w.sandboxedAppId >>
            w.desktopId >> w.title >> pid >> w.minimized;
        argument.endStructure();
        w.pid = pid > 0 && pid <= quint32(std::numeric_limits<qint32>::max()) ? qint32(pid) : 0;
        if (w.id != 0)
            windows.append(w);
    }
    argument.endArray();
    return windows;
}

std::optional<QList<quint64>> GnomeShellExtension::setMinimized(const QList<quint64> &ids, bool minimized)
{
    if (ids.isEmpty())
        return QList<quint64>{};
    const auto reply =
        d->callConnected(QStringLiteral("SetMinimized"), {QVariant::fromValue(ids), QVariant(minimized)});
    if (!reply || reply->arguments().isEmpty())
        return std::nullopt;
    return qdbus_cast<QList<quint64>>(reply->arguments().constFirst());
}

bool GnomeShellExtension::holdOverlays(const QStringList &titles, const QStringList &aboveTitles,
                                       bool othersAbove)
{
    return d->callConnected(QStringLiteral("HoldOverlays"), {titles, aboveTitles, othersAbove}).has_value();
}

bool GnomeShellExtension::releaseOverlays()
{
    return d->callConnected(QStringLiteral("ReleaseOverlays")).has_value();
}

bool GnomeShellExtension::watch(bool watching)
{
    return d->callConnected(QStringLiteral("Watch"), {watching}).has_value();
}

bool GnomeShellExtension::setIndicator(bool visible, const QString &countdown, const QString &tooltip)
{
    return d->callConnected(QStringLiteral("SetIndicator"), {visible, countdown, tooltip}).has_value();
}

bool GnomeShellExtension::setShortcut(const QString &accelerator)
{
    return d->callConnected(QStringLiteral("SetShortcut"), {accelerator}).has_value();
}
