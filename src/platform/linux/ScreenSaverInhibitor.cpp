// The display-sleep inhibitor over org.freedesktop.ScreenSaver on the
// session bus.
#include "DisplaySleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

#include <optional>

namespace {

constexpr int kCallTimeoutMs = 2000;

QDBusMessage screenSaverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

class ScreenSaverInhibitor : public DisplaySleepInhibitor
{
public:
    explicit ScreenSaverInhibitor(const QString &reason)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit"));
        call << QStringLiteral("Lumora") << reason;
        const QDBusReply<uint> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.isValid())
            m_cookie = reply.value();
    }
    ~ScreenSaverInhibitor() override
    {
        if (!m_cookie)
            return;
        QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
        call << *m_cookie;
        QDBusConnection::sessionBus().send(call);
    }

private:
    std::optional<uint> m_cookie;
};

} // namespace

std::unique_ptr<DisplaySleepInhibitor> DisplaySleepInhibitor::inhibit(const QString &reason)
{
    return std::make_unique<ScreenSaverInhibitor>(reason);
}
