// SPDX-License-Identifier: MIT
// The desktop portal, stood in for on the private session bus: the
// program's windows follow the colour-scheme preference the portal
// publishes, at start and while running; the global shortcut is bound
// through its GlobalShortcuts interface and fires on its Activated signal,
// in the session bound last only.
#include "Appearance.h"
#include "DesktopColorScheme.h"
#include "DesktopStandIns.h"
#include "GlobalShortcut.h"
#include "HotKey.h"
#include "HotKeysController.h"
#include "PlatformServices.h"
#include "PortalHotKeyBackend.h"

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

Q_DECLARE_METATYPE(PortalHotKeyBackend::State)
Q_DECLARE_METATYPE(HotKeyBackend::Keeper)

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

    // The backend's answer to each outcome of the binding: bound (the
    // desktop holds the shortcut) or refused and unavailable from then on.
    void shortcutBinding_data()
    {
        using State = PortalHotKeyBackend::State;
        QTest::addColumn<int>("response"); // -1: no portal
        QTest::addColumn<State>("state");
        QTest::addColumn<HotKeyBackend::Keeper>("keeper");
        QTest::newRow("bound") << 0 << State::bound << HotKeyBackend::Keeper::desktop;
        QTest::newRow("declined") << 1 << State::failed << HotKeyBackend::Keeper::none;
        QTest::newRow("failed") << 2 << State::failed << HotKeyBackend::Keeper::none;
        QTest::newRow("no portal") << -1 << State::failed << HotKeyBackend::Keeper::none;
    }
    void shortcutBinding()
    {
        QFETCH(int, response);
        QFETCH(PortalHotKeyBackend::State, state);
        QFETCH(HotKeyBackend::Keeper, keeper);
        std::unique_ptr<StandInShortcutsPortal> portal;
        if (response >= 0) {
            portal = std::make_unique<StandInShortcutsPortal>();
            portal->bindResponse = uint(response);
            QVERIFY(portal->start());
        }
        PortalHotKeyBackend backend;
        HotKeysController controller(&backend);
        std::unique_ptr<HotKey> hotKey;
        int presses = 0;
        registerGlobalHotKey(controller, QStringLiteral("\u2303\u2325\u2318F"), hotKey, this,
                             [&] { ++presses; });
        QVERIFY(hotKey);
        QTRY_COMPARE(backend.state(), state);
        QCOMPARE(backend.keeper(), keeper);
        QCOMPARE(backend.isAvailable(), response == 0);
        if (response == 0) {
            QCOMPARE(portal->preferredTrigger(), QStringLiteral("CTRL+ALT+LOGO+f"));
            QCOMPARE(backend.boundTriggers().value(QStringLiteral("shortcut-1")).toString(),
                     QStringLiteral("CTRL+ALT+LOGO+f"));
        }
        // A refused backend takes no more registrations.
        if (response != 0)
            QVERIFY(
                !backend.registerHotKey(Key::f, ModifierFlag::command, {HotKeysController::kSignature, 99}));
    }

    // Activated presses the hot key of the session bound last; a change of
    // the shortcut binds it anew in a new session, and the old one's
    // activations are ignored, as are another program's.
    void activationPressesTheBoundShortcut()
    {
        StandInShortcutsPortal portal;
        QVERIFY(portal.start());
        PortalHotKeyBackend backend;
        HotKeysController controller(&backend);
        std::unique_ptr<HotKey> hotKey;
        int presses = 0;
        registerGlobalHotKey(controller, QStringLiteral("\u21E7\u2318F"), hotKey, this, [&] { ++presses; });
        QTRY_COMPARE(backend.state(), PortalHotKeyBackend::State::bound);
        const QString first = portal.sessions().last();

        QVERIFY(portal.activate(QStringLiteral("shortcut-1"),
                                QStringLiteral("/org/freedesktop/portal/desktop/session/1_999/other")));
        QVERIFY(portal.activate(QStringLiteral("shortcut-2")));
        QVERIFY(portal.activate());
        QTRY_COMPARE(presses, 1);

        registerGlobalHotKey(controller, QStringLiteral("Ctrl+Alt+Space"), hotKey, this,
                             [&] { presses += 10; });
        QTRY_COMPARE(portal.bindings().size(), 2);
        QTRY_COMPARE(backend.state(), PortalHotKeyBackend::State::bound);
        QCOMPARE(portal.preferredTrigger(), QStringLiteral("CTRL+ALT+space"));
        QVERIFY(portal.sessions().last() != first);
        QCOMPARE(portal.bindings().last().shortcuts.size(), 1);

        QVERIFY(portal.activate(QStringLiteral("shortcut-1"), first));
        QVERIFY(portal.activate());
        QTRY_COMPARE(presses, 11);
        QTest::qWait(100);
        QCOMPARE(presses, 11);
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
