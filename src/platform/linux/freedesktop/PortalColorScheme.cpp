// SPDX-License-Identifier: MIT
#include "PortalColorScheme.h"

#include "XdgPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

using XdgPortal::kPath;
using XdgPortal::kService;
using XdgPortal::unwrapped;

constexpr auto kInterface = "org.freedesktop.portal.Settings";
constexpr auto kGroup = "org.freedesktop.appearance";
constexpr auto kKey = "color-scheme";

} // namespace

PortalColorScheme::PortalColorScheme(QObject *parent) : DesktopColorScheme(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                QStringLiteral("SettingChanged"), this, SLOT(settingChanged(QDBusMessage)));
    QDBusMessage read = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("Read"));
    read << QLatin1String(kGroup) << QLatin1String(kKey);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalColorScheme::readFinished);
}

DesktopColorScheme::Preference PortalColorScheme::fromValue(const QVariant &value)
{
    const QVariant plain = unwrapped(value);
    bool ok = false;
    const uint number = plain.toUInt(&ok);
    if (!ok ||
        (plain.metaType() != QMetaType::fromType<uint>() && plain.metaType() != QMetaType::fromType<int>()))
        return Preference::none;
    switch (number) {
    case 1:
        return Preference::dark;
    case 2:
        return Preference::light;
    default:
        return Preference::none;
    }
}

void PortalColorScheme::readFinished(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (reply.isError() || m_changed)
        return;
    setPreference(fromValue(QVariant::fromValue(reply.value())));
}

void PortalColorScheme::settingChanged(const QDBusMessage &signal)
{
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 3 || arguments[0].toString() != QLatin1String(kGroup) ||
        arguments[1].toString() != QLatin1String(kKey))
        return;
    m_changed = true;
    setPreference(fromValue(arguments[2]));
}

void PortalColorScheme::setPreference(Preference preference)
{
    if (preference == m_preference)
        return;
    m_preference = preference;
    Q_EMIT preferenceChanged();
}
