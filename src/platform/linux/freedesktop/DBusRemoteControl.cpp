// SPDX-License-Identifier: MIT
#include "DBusRemoteControl.h"

#include "Logging.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {

// A start request is answered once the session runs; that takes the lock
// sweep and the overlay, well under this on any machine.
constexpr int kSendTimeoutMs = 30000;
constexpr auto kErrorFailed = "io.github.lumora.Lumora.Error.Failed";
// A browser's name as its host gives it is shown in the settings; longer
// names are cut.
constexpr qsizetype kMaxBrowserName = 64;
// Strings longer than these are refused unread: a browser's host sends a
// short name, and no focus screen is named with a page of text. Anything on
// the bus may call; nothing it sends is kept beyond the call.
constexpr qsizetype kMaxBrowserArgument = 256;
constexpr qsizetype kMaxScreenArgument = 4096;
// Hosts followed at once: one per running browser profile, far below this.
constexpr qsizetype kMaxBrowsers = 64;
constexpr auto kErrorInvalidArgs = "org.freedesktop.DBus.Error.InvalidArgs";
constexpr auto kErrorLimitsExceeded = "org.freedesktop.DBus.Error.LimitsExceeded";

QString methodFor(RemoteControl::Request request)
{
    switch (request) {
    case RemoteControl::Request::showPopover:
        return QStringLiteral("ShowPopover");
    case RemoteControl::Request::startFocusScreen:
        return QStringLiteral("StartFocusScreen");
    case RemoteControl::Request::status:
        return QStringLiteral("Status");
    case RemoteControl::Request::stopSession:
        return QStringLiteral("StopSession");
    case RemoteControl::Request::extendSession:
        return QStringLiteral("ExtendSession");
    case RemoteControl::Request::openMainWindow:
        break;
    }
    return QStringLiteral("OpenMainWindow");
}

// Receives the serving instance's WebsiteSessionChanged signal for a host.
class WebsiteSessionFollower : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    std::function<void(const QVariantMap &)> changed;

public Q_SLOTS:
    void onChanged(const QVariantMap &session)
    {
        if (changed)
            changed(session);
    }
};

QString printableName(QString name)
{
    name.removeIf([](QChar c) { return !c.isPrint(); });
    return name.trimmed().left(kMaxBrowserName);
}

} // namespace

DBusRemoteControl::DBusRemoteControl(QString serviceName, QObject *parent)
    : RemoteControl(parent), m_serviceName(std::move(serviceName))
{}

bool DBusRemoteControl::serve()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // Queued: the name of a run that just died passes to this one as soon as
    // the bus has noticed.
    const auto reply = bus.interface()->registerService(m_serviceName, QDBusConnectionInterface::QueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return false;
    bus.registerObject(QLatin1String(kPath), this,
                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportScriptableSignals);
    m_serving = true;
    return true;
}

RemoteControl::Reply DBusRemoteControl::send(Request request, const QString &argument)
{
    Reply result;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        result.error = QStringLiteral("no session bus");
        return result;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(m_serviceName, QLatin1String(kPath),
                                                          QLatin1String(kInterface), methodFor(request));
    if (request == Request::startFocusScreen || request == Request::stopSession)
        message << argument;
    if (request == Request::extendSession) {
        bool ok = false;
        const int minutes = argument.toInt(&ok);
        message << (ok ? minutes : 0);
    }
    const QDBusMessage reply = bus.call(message, QDBus::Block, kSendTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // An error of this interface is the running instance's answer;
        // anything else means it was never reached.
        result.outcome = reply.errorName().startsWith(QLatin1String(kInterface))
                             ? Reply::Outcome::refused
                             : Reply::Outcome::unreachable;
        result.error = reply.errorMessage();
        return result;
    }
    result.outcome = Reply::Outcome::done;
    if (request == Request::status)
        result.status = reply.arguments().value(0).toStringList();
    return result;
}

void DBusRemoteControl::ShowPopover()
{
    // A reason why nothing opened goes back to the caller.
    if (popoverHandler) {
        if (const QString error = popoverHandler(); !error.isEmpty()) {
            if (calledFromDBus())
                sendErrorReply(QLatin1String(kErrorFailed), error);
            return;
        }
    }
    Q_EMIT popoverRequested();
}

void DBusRemoteControl::StopSession(const QString &screen)
{
    const QString error = stopHandler ? stopHandler(screen) : QStringLiteral("Lumora is not ready yet");
    if (!error.isEmpty() && calledFromDBus())
        sendErrorReply(QLatin1String(kErrorFailed), error);
}

void DBusRemoteControl::ExtendSession(int minutes)
{
    const QString error = extendHandler ? extendHandler(minutes) : QStringLiteral("Lumora is not ready yet");
    if (!error.isEmpty() && calledFromDBus())
        sendErrorReply(QLatin1String(kErrorFailed), error);
}

void DBusRemoteControl::OpenMainWindow()
{
    Q_EMIT mainWindowRequested();
}

void DBusRemoteControl::StartFocusScreen(const QString &name)
{
    if (!calledFromDBus())
        return;
    if (name.size() > kMaxScreenArgument) {
        sendErrorReply(
            QLatin1String(kErrorInvalidArgs),
            QStringLiteral("a focus screen's name has at most %1 characters").arg(kMaxScreenArgument));
        return;
    }
    if (!startHandler) {
        sendErrorReply(QLatin1String(kErrorFailed), QStringLiteral("Lumora is not ready yet"));
        return;
    }
    // Answered once the session has started (or was refused).
    setDelayedReply(true);
    QDBusMessage request = message();
    QDBusConnection bus = connection();
    startHandler(name, [request, bus](const QString &error) mutable {
        bus.send(error.isEmpty() ? request.createReply()
                                 : request.createErrorReply(QLatin1String(kErrorFailed), error));
    });
}

QStringList DBusRemoteControl::Status()
{
    return statusHandler ? statusHandler() : QStringList{QString(), QString()};
}

QVariantMap DBusRemoteControl::GetWebsiteSession()
{
    return toMap(websiteSession());
}

void DBusRemoteControl::BrowserConnected(const QString &browser)
{
    if (!calledFromDBus())
        return;
    if (browser.size() > kMaxBrowserArgument) {
        sendErrorReply(QLatin1String(kErrorInvalidArgs),
                       QStringLiteral("a browser's name has at most %1 characters").arg(kMaxBrowserArgument));
        return;
    }
    const QString follower = message().service();
    if (!isFollower(follower) && followerCount() >= kMaxBrowsers) {
        if (!m_toldFull)
            qCWarning(lcFreedesktop).noquote()
                << QStringLiteral(
                       "lumora: %1 browsers are connected already; more are refused until one leaves")
                       .arg(kMaxBrowsers);
        m_toldFull = true;
        sendErrorReply(QLatin1String(kErrorLimitsExceeded),
                       QStringLiteral("%1 browsers are connected already").arg(kMaxBrowsers));
        return;
    }
    if (!m_browserWatcher) {
        // Made without a service: one given (even an empty one) is watched.
        m_browserWatcher = new QDBusServiceWatcher(this);
        m_browserWatcher->setConnection(connection());
        m_browserWatcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
        connect(m_browserWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
                &DBusRemoteControl::browserLeft);
    }
    m_browserWatcher->addWatchedService(follower);
    const QString name = printableName(browser);
    setBrowserConnected(follower, name.isEmpty() ? QStringLiteral("Browser") : name);
    // A host that left before the watch was set up is never reported by
    // it: asked after the watch, the bus tells either way.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << follower;
    auto *pending = new QDBusPendingCallWatcher(connection().asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, follower](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<bool> reply = *call;
                if (reply.isError() || !reply.value())
                    browserLeft(follower);
            });
}

void DBusRemoteControl::browserLeft(const QString &follower)
{
    if (m_browserWatcher)
        m_browserWatcher->removeWatchedService(follower);
    setBrowserGone(follower);
    if (followerCount() < kMaxBrowsers)
        m_toldFull = false;
}

qsizetype DBusRemoteControl::watchedFollowers() const
{
    return m_browserWatcher ? m_browserWatcher->watchedServices().size() : 0;
}

void DBusRemoteControl::setWebsiteSession(const std::optional<::WebsiteSession> &session)
{
    const bool changed = session != websiteSession();
    RemoteControl::setWebsiteSession(session);
    if (changed && m_serving)
        Q_EMIT WebsiteSessionChanged(toMap(session));
}

QVariantMap DBusRemoteControl::toMap(const std::optional<::WebsiteSession> &session)
{
    if (!session)
        return {};
    return {{QStringLiteral("screen"), session->screenName},
            {QStringLiteral("end"), session->end.toMSecsSinceEpoch()},
            {QStringLiteral("domains"), session->domains},
            {QStringLiteral("blocked"), session->blocked}};
}

std::optional<::WebsiteSession> DBusRemoteControl::fromMap(const QVariantMap &map)
{
    const QStringList domains = map.value(QStringLiteral("domains")).toStringList();
    if (domains.isEmpty())
        return std::nullopt;
    ::WebsiteSession session;
    session.screenName = map.value(QStringLiteral("screen")).toString();
    session.end = QDateTime::fromMSecsSinceEpoch(map.value(QStringLiteral("end")).toLongLong(), Qt::UTC);
    session.domains = domains;
    session.blocked = map.value(QStringLiteral("blocked")).toBool();
    return session;
}

bool DBusRemoteControl::followWebsiteSession(const QString &browser)
{
    m_browser = browser;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!m_follower) {
        auto *follower = new WebsiteSessionFollower(this);
        follower->changed = [this](const QVariantMap &map) {
            RemoteControl::setWebsiteSession(fromMap(map));
        };
        m_follower = follower;
        // Signals of whichever process owns the name: Qt follows its owner.
        bus.connect(m_serviceName, QLatin1String(kPath), QLatin1String(kInterface),
                    QStringLiteral("WebsiteSessionChanged"), follower, SLOT(onChanged(QVariantMap)));
        auto *watcher =
            new QDBusServiceWatcher(m_serviceName, bus, QDBusServiceWatcher::WatchForOwnerChange, follower);
        connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, follower,
                [this](const QString &, const QString &, const QString &owner) {
                    // The instance is gone (quit, killed): nothing restricts
                    // the browser any more. A new one is asked at once.
                    if (owner.isEmpty())
                        RemoteControl::setWebsiteSession(std::nullopt);
                    else
                        askForWebsiteSession();
                });
    }
    askForWebsiteSession();
    return true;
}

// Asks the instance for its website session and tells it this browser is
// connected; an instance that does not answer counts as no session.
void DBusRemoteControl::askForWebsiteSession()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage ask = QDBusMessage::createMethodCall(
        m_serviceName, QLatin1String(kPath), QLatin1String(kInterface), QStringLiteral("GetWebsiteSession"));
    ask.setAutoStartService(false);
    auto *pending = new QDBusPendingCallWatcher(bus.asyncCall(ask), m_follower.data());
    connect(pending, &QDBusPendingCallWatcher::finished, pending, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QVariantMap> reply = *call;
        RemoteControl::setWebsiteSession(reply.isError() ? std::nullopt : fromMap(reply.value()));
    });
    QDBusMessage hello = QDBusMessage::createMethodCall(
        m_serviceName, QLatin1String(kPath), QLatin1String(kInterface), QStringLiteral("BrowserConnected"));
    hello << m_browser;
    hello.setAutoStartService(false);
    bus.asyncCall(hello);
}

#include "DBusRemoteControl.moc"
