// SPDX-License-Identifier: MIT
#include "StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

QDBusArgument &operator<<(QDBusArgument &argument, const StatusNotifierPixmap &pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, StatusNotifierPixmap &pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const StatusNotifierToolTip &toolTip)
{
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, StatusNotifierToolTip &toolTip)
{
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return argument;
}

namespace {

// Items of one process are numbered from 1, as hosts expect in the name.
int g_itemCount = 0;

} // namespace

StatusNotifierItem::StatusNotifierItem(QObject *parent)
    : TrayIcon(parent), m_bus(QDBusConnection::sessionBus()),
      m_serviceName(QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(++g_itemCount))
{
    qDBusRegisterMetaType<StatusNotifierPixmap>();
    qDBusRegisterMetaType<QList<StatusNotifierPixmap>>();
    qDBusRegisterMetaType<StatusNotifierToolTip>();
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_exported)
        return;
    m_bus.unregisterObject(QLatin1String(kPath));
    m_bus.unregisterService(m_serviceName);
}

bool StatusNotifierItem::isWatcherRegistered()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(QLatin1String(kWatcherService)).value();
}

QString StatusNotifierItem::id() const
{
    // Stable across runs, as hosts that remember items want it.
    const QString name = QGuiApplication::desktopFileName();
    return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

QString StatusNotifierItem::title() const
{
    if (!m_title.isEmpty())
        return m_title;
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

StatusNotifierToolTip StatusNotifierItem::toolTip() const
{
    return StatusNotifierToolTip{{}, {}, m_toolTip, {}};
}

QDBusObjectPath StatusNotifierItem::menu() const
{
    // No menu: a click goes to Activate or ContextMenu.
    return QDBusObjectPath(QStringLiteral("/NO_DBUSMENU"));
}

QList<StatusNotifierPixmap> StatusNotifierItem::pixmapsOf(const QIcon &icon)
{
    QList<StatusNotifierPixmap> out;
    for (const QSize &size : icon.availableSizes()) {
        const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            continue;
        StatusNotifierPixmap pixmap{image.width(), image.height(), {}};
        pixmap.bytes.resize(qsizetype(image.width()) * image.height() * 4);
        auto *to = reinterpret_cast<quint32 *>(pixmap.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto *from = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                *to++ = qToBigEndian(from[x]);
        }
        out.append(pixmap);
    }
    return out;
}

void StatusNotifierItem::setIcon(const QIcon &icon)
{
    m_pixmaps = pixmapsOf(icon);
    if (m_exported)
        Q_EMIT NewIcon();
}

void StatusNotifierItem::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    if (m_exported)
        Q_EMIT NewTitle();
}

void StatusNotifierItem::setToolTip(const QString &toolTip)
{
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    if (m_exported)
        Q_EMIT NewToolTip();
}

void StatusNotifierItem::show()
{
    if (m_shown || !m_bus.isConnected())
        return;
    m_shown = true;
    m_exported = m_bus.registerObject(QLatin1String(kPath), this,
                                      QDBusConnection::ExportScriptableSlots |
                                          QDBusConnection::ExportScriptableSignals |
                                          QDBusConnection::ExportAllProperties) &&
                 m_bus.registerService(m_serviceName);
    if (!m_exported)
        return;
    // A watcher that starts (or starts again) later hears of the item then.
    m_watcher = new QDBusServiceWatcher(
        QLatin1String(kWatcherService), m_bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::registerWithWatcher);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { m_registered = false; });
    registerWithWatcher();
}

bool StatusNotifierItem::isVisible() const
{
    return m_registered;
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kWatcherService), QLatin1String(kWatcherPath), QLatin1String(kWatcherService),
        QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *answer) {
        answer->deleteLater();
        m_registered = !answer->isError();
    });
}

void StatusNotifierItem::Activate(int, int)
{
    Q_EMIT activated();
}

void StatusNotifierItem::ContextMenu(int, int)
{
    Q_EMIT activated();
}

void StatusNotifierItem::SecondaryActivate(int, int)
{
    Q_EMIT activated();
}

void StatusNotifierItem::Scroll(int, const QString &) {}
