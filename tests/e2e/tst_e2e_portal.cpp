// The desktop portal's settings, stood in for on the private session bus:
// the program's windows follow the colour-scheme preference the portal
// publishes, at start and while running.
#include "Appearance.h"
#include "DesktopColorScheme.h"
#include "PlatformServices.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QLabel>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr auto kService = "org.freedesktop.portal.Desktop";
constexpr auto kPath = "/org/freedesktop/portal/desktop";
constexpr auto kInterface = "org.freedesktop.portal.Settings";

// org.freedesktop.portal.Settings with the one setting that matters here,
// on a bus connection of its own (as a portal process would be).
class StandInPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit StandInPortal(QVariant colorScheme)
        : m_bus(
              QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in portal"))),
          m_colorScheme(std::move(colorScheme))
    {}
    ~StandInPortal() override
    {
        m_bus.unregisterObject(QLatin1String(kPath));
        m_bus.unregisterService(QLatin1String(kService));
        QDBusConnection::disconnectFromBus(QStringLiteral("stand-in portal"));
    }

    bool start()
    {
        return m_bus.isConnected() &&
               m_bus.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAllSlots) &&
               m_bus.registerService(QLatin1String(kService));
    }

    // Changes the setting and says so, as the portal does.
    void setColorScheme(const QVariant &value)
    {
        m_colorScheme = value;
        QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kPath), QLatin1String(kInterface),
                                                         QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(value));
        QVERIFY(m_bus.send(signal));
    }

public Q_SLOTS:
    // Read answers a variant holding the value's variant.
    QDBusVariant Read(const QString &group, const QString &key)
    {
        if (group == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme"))
            return QDBusVariant(QVariant::fromValue(QDBusVariant(m_colorScheme)));
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant(0u))));
    }

private:
    QDBusConnection m_bus;
    QVariant m_colorScheme;
};

bool looksDark(QWidget *window)
{
    const QImage image = window->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2).lightness() < 128;
}

} // namespace

class TestPortal : public QObject
{
    Q_OBJECT

    std::unique_ptr<Appearance> m_appearance;
    std::unique_ptr<DesktopColorScheme> m_scheme;
    std::unique_ptr<QMainWindow> m_window;

    // What the shell does at start: the appearance follows the desktop's
    // preference; then a window opens.
    void startProgram()
    {
        m_scheme = PlatformServices::forThisDesktop()->makeDesktopColorScheme();
        m_appearance = std::make_unique<Appearance>();
        m_appearance->followColorScheme(m_scheme.get());
        m_appearance->install();
        m_window = std::make_unique<QMainWindow>();
        m_window->setCentralWidget(new QLabel(QStringLiteral("Deep Work")));
        m_window->resize(400, 300);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus");
        // The desktop's own palette here is light: a dark window can only
        // come from the portal.
        QVERIFY(Appearance::kindOf(QGuiApplication::palette()) == AppearanceKind::light);
    }
    void cleanup()
    {
        m_window.reset();
        m_appearance.reset();
        m_scheme.reset();
        // The next case starts from the desktop's own palette again.
        QApplication::setPalette(QPalette());
    }

    void windowsFollowThePortal()
    {
        StandInPortal portal(1u);
        QVERIFY(portal.start());
        startProgram();
        // The first answer comes without blocking the start.
        QTRY_VERIFY(m_appearance->isDark());
        QTRY_VERIFY(looksDark(m_window.get()));

        portal.setColorScheme(2u);
        QTRY_VERIFY(!m_appearance->isDark());
        QTRY_VERIFY(!looksDark(m_window.get()));

        portal.setColorScheme(1u);
        QTRY_VERIFY(looksDark(m_window.get()));

        // "No preference" hands the choice back to the desktop's palette.
        portal.setColorScheme(0u);
        QTRY_VERIFY(!looksDark(m_window.get()));
    }

    // An unexpected value, or no portal at all, keeps the palette's choice.
    void unexpectedValuesChangeNothing()
    {
        StandInPortal portal(QStringLiteral("dark"));
        QVERIFY(portal.start());
        startProgram();
        QSignalSpy changes(m_scheme.get(), &DesktopColorScheme::preferenceChanged);
        portal.setColorScheme(7u);
        portal.setColorScheme(1u); // arrives after the two before it
        QTRY_VERIFY(m_appearance->isDark());
        QCOMPARE(changes.size(), 1);
    }

    void noPortal()
    {
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(QLatin1String(kService)));
        startProgram();
        QCOMPARE(m_scheme->preference(), DesktopColorScheme::Preference::none);
        QVERIFY(!m_appearance->isDark());
        QVERIFY(!looksDark(m_window.get()));
    }
};

QTEST_MAIN(TestPortal)
#include "tst_e2e_portal.moc"
