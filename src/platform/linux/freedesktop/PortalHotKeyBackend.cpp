// SPDX-License-Identifier: MIT
#include "PortalHotKeyBackend.h"

#include "GlobalShortcut.h"
#include "Key.h"
#include "Logging.h"
#include "ModifierFlags.h"
#include "XdgPortal.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <algorithm>

namespace {

constexpr auto kSessionInterface = "org.freedesktop.portal.Session";
constexpr const char *kDescription = QT_TRANSLATE_NOOP("PortalHotKeyBackend", "Show Lumora's focus screens");

// One entry of the a(sa{sv}) lists of the interface: a shortcut's id and
// its properties (description, preferred_trigger; trigger_description in
// answers).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

// The shortcuts of an answer, or none when it holds something else.
QList<PortalShortcut> shortcutsOf(const QVariant &value)
{
    QList<PortalShortcut> out;
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return out;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sa{sv})"))
        return out;
    argument >> out;
    return out;
}

// Ends a portal session (its shortcuts go with it); nothing waits for the
// answer.
void closePortalSession(QDBusConnection &bus, const QString &session)
{
    if (!session.isEmpty())
        bus.asyncCall(QDBusMessage::createMethodCall(QLatin1String(XdgPortal::kService), session,
                                                     QLatin1String(kSessionInterface),
                                                     QStringLiteral("Close")));
}

// A session handle is an object path; older portals sent it as a string.
QString objectPath(const QVariant &value)
{
    const QVariant plain = XdgPortal::unwrapped(value);
    if (plain.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return plain.value<QDBusObjectPath>().path();
    if (plain.metaType() == QMetaType::fromType<QString>())
        return plain.toString();
    return {};
}

} // namespace

PortalHotKeyBackend::PortalHotKeyBackend(QObject *parent)
    : QObject(parent), m_bus(QDBusConnection::sessionBus())
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    if (!m_bus.isConnected()) {
        m_state = State::failed;
        return;
    }
    m_bus.connect(QLatin1String(XdgPortal::kService), QLatin1String(XdgPortal::kPath),
                  QLatin1String(kInterface), QStringLiteral("Activated"), this,
                  SLOT(activated(QDBusMessage)));
    m_bus.connect(QLatin1String(XdgPortal::kService), QLatin1String(XdgPortal::kPath),
                  QLatin1String(kInterface), QStringLiteral("Deactivated"), this,
                  SLOT(deactivated(QDBusMessage)));
    // The interface is there when its version can be read.
    QDBusMessage probe = QDBusMessage::createMethodCall(
        QLatin1String(XdgPortal::kService), QLatin1String(XdgPortal::kPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    probe << QLatin1String(kInterface) << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(probe), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalHotKeyBackend::probeFinished);
}

PortalHotKeyBackend::~PortalHotKeyBackend()
{
    detachFromController();
    closeSession();
}

bool PortalHotKeyBackend::isAvailable() const
{
    return m_state != State::failed;
}

HotKeyBackend::Keeper PortalHotKeyBackend::keeper() const
{
    return m_state == State::failed ? Keeper::none : Keeper::desktop;
}

QString PortalHotKeyBackend::preferredTrigger(Key key, ModifierFlags modifiers)
{
    const std::optional<XkbKeysym> keysym = xkbKeysym(key);
    if (!keysym)
        return {};
    QStringList parts;
    if (modifiers & ModifierFlag::control)
        parts << QStringLiteral("CTRL");
    if (modifiers & ModifierFlag::option)
        parts << QStringLiteral("ALT");
    if (modifiers & ModifierFlag::shift)
        parts << QStringLiteral("SHIFT");
    if (modifiers & ModifierFlag::command)
        parts << QStringLiteral("LOGO");
    parts << QString::fromLatin1(keysym->name);
    return parts.join(QLatin1Char('+'));
}

std::optional<HotKeyBackend::Reference> PortalHotKeyBackend::registerHotKey(Key key, ModifierFlags modifiers,
                                                                            EventHotKeyID id)
{
    if (m_state == State::failed || preferredTrigger(key, modifiers).isEmpty())
        return std::nullopt;
    // The desktop remembers what the user chose per shortcut id: the first
    // registration is always "shortcut-1", whatever its number here.
    QString shortcutId;
    for (int slot = 1; shortcutId.isEmpty(); ++slot) {
        const QString candidate = QStringLiteral("shortcut-%1").arg(slot);
        if (std::none_of(m_registrations.cbegin(), m_registrations.cend(),
                         [&candidate](const auto &entry) { return entry.second.shortcutId == candidate; }))
            shortcutId = candidate;
    }
    const Reference reference = m_nextReference++;
    m_registrations[reference] = Registration{shortcutId, key, modifiers, id};
    scheduleBind();
    return reference;
}

void PortalHotKeyBackend::unregisterHotKey(Reference reference)
{
    if (m_registrations.erase(reference))
        scheduleBind();
}

void PortalHotKeyBackend::installEventHandler(EventHandler handler)
{
    m_handler = std::move(handler);
}

void PortalHotKeyBackend::probeFinished(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (reply.isError()) {
        fail(QCoreApplication::translate(
            "PortalHotKeyBackend",
            "Lumora: This desktop offers programs no global shortcuts (no GlobalShortcuts portal); "
            "bind a shortcut to \"lumora --popover\" in the desktop's keyboard settings"));
        return;
    }
    setState(State::idle);
    if (!m_registrations.empty())
        scheduleBind();
}

void PortalHotKeyBackend::scheduleBind()
{
    if (m_bindQueued || m_state == State::failed)
        return;
    m_bindQueued = true;
    // Registrations made in one go are bound in one session.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bindQueued = false;
            bind();
        },
        Qt::QueuedConnection);
}

void PortalHotKeyBackend::bind()
{
    if (m_state == State::probing || m_state == State::failed)
        return;
    // A session's shortcuts are bound once: a change takes a new session.
    closeSession();
    const uint generation = ++m_generation;
    if (m_registrations.empty()) {
        setState(State::idle);
        return;
    }
    setState(State::binding);
    XdgPortal::Request::send(m_bus, QLatin1String(kInterface), QStringLiteral("CreateSession"), {},
                             {{QStringLiteral("session_handle_token"), XdgPortal::Request::newToken()}}, this,
                             [this, generation](uint code, const QVariantMap &results) {
                                 sessionCreated(generation, code, results);
                             });
}

void PortalHotKeyBackend::sessionCreated(uint generation, uint code, const QVariantMap &results)
{
    const QString session = objectPath(results.value(QStringLiteral("session_handle")));
    if (generation != m_generation) {
        // The registrations changed meanwhile: this session is not wanted.
        if (code == XdgPortal::success)
            closePortalSession(m_bus, session);
        return;
    }
    if (code != XdgPortal::success || session.isEmpty()) {
        fail(QCoreApplication::translate(
                 "PortalHotKeyBackend",
                 "Lumora: The desktop did not open a global-shortcut session (%1); bind a shortcut to "
                 "\"lumora --popover\" in the desktop's keyboard settings")
                 .arg(results.value(QStringLiteral("error"), QStringLiteral("response %1").arg(code))
                          .toString()));
        return;
    }
    m_session = session;
    QList<PortalShortcut> shortcuts;
    for (const auto &[reference, registration] : m_registrations) {
        shortcuts.append(PortalShortcut{registration.shortcutId,
                                        {{QStringLiteral("description"),
                                          QCoreApplication::translate("PortalHotKeyBackend", kDescription)},
                                         {QStringLiteral("preferred_trigger"),
                                          preferredTrigger(registration.key, registration.modifiers)}}});
    }
    XdgPortal::Request::send(
        m_bus, QLatin1String(kInterface), QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString()}, {},
        this, [this, generation](uint answer, const QVariantMap &bound) {
            shortcutsBound(generation, answer, bound);
        });
}

void PortalHotKeyBackend::shortcutsBound(uint generation, uint code, const QVariantMap &results)
{
    if (generation != m_generation)
        return;
    if (code == XdgPortal::cancelled) {
        fail(QCoreApplication::translate(
                 "PortalHotKeyBackend",
                 "Lumora: The global shortcut %1 was declined; bind a shortcut to \"lumora --popover\" in "
                 "the desktop's keyboard settings")
                 .arg(combinations()));
        return;
    }
    if (code != XdgPortal::success) {
        fail(QCoreApplication::translate(
                 "PortalHotKeyBackend",
                 "Lumora: The desktop could not bind the global shortcut %1 (%2); bind a shortcut to "
                 "\"lumora --popover\" in the desktop's keyboard settings")
                 .arg(combinations(),
                      results.value(QStringLiteral("error"), QStringLiteral("response %1").arg(code))
                          .toString()));
        return;
    }
    m_boundTriggers.clear();
    for (const PortalShortcut &shortcut : shortcutsOf(results.value(QStringLiteral("shortcuts"))))
        m_boundTriggers.insert(shortcut.id, shortcut.properties.value(QStringLiteral("trigger_description")));
    setState(State::bound);
}

void PortalHotKeyBackend::closeSession()
{
    closePortalSession(m_bus, std::exchange(m_session, QString()));
}

void PortalHotKeyBackend::fail(const QString &reason)
{
    if (m_state == State::failed)
        return;
    closeSession();
    ++m_generation;
    qCWarning(lcFreedesktop).noquote() << reason;
    setState(State::failed);
}

void PortalHotKeyBackend::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

QString PortalHotKeyBackend::combinations() const
{
    QStringList out;
    for (const auto &[reference, registration] : m_registrations) {
        out << shortcutDisplayText(ParsedShortcut{registration.key, registration.modifiers});
    }
    return out.join(QStringLiteral(", "));
}

void PortalHotKeyBackend::activated(const QDBusMessage &signal)
{
    deliver(signal, HotKeyEvent::kPressed);
}

void PortalHotKeyBackend::deactivated(const QDBusMessage &signal)
{
    deliver(signal, HotKeyEvent::kReleased);
}

void PortalHotKeyBackend::deliver(const QDBusMessage &signal, quint32 kind)
{
    // (session_handle, shortcut_id, timestamp, options)
    const QVariantList arguments = signal.arguments();
    if (arguments.size() < 2 || m_session.isEmpty() || objectPath(arguments.at(0)) != m_session || !m_handler)
        return;
    const QString shortcutId = arguments.at(1).toString();
    for (const auto &[reference, registration] : m_registrations) {
        if (registration.shortcutId != shortcutId)
            continue;
        HotKeyEvent event;
        event.kind = kind;
        event.hotKeyID = registration.id;
        // A copy: the handler may unregister this very shortcut.
        const EventHandler handler = m_handler;
        handler(&event);
        return;
    }
}
