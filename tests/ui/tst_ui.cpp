// SPDX-License-Identifier: MIT
#include "Appearance.h"
#include "DynamicColor.h"
#include "Theme.h"
#include "ThemeStore.h"
#include "Themed.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QProxyStyle>
#include <QSet>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <QWidget>

#include <memory>

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(AppearanceKind)

namespace {

constexpr QRgb kRed = 0xD70015;

QRgb rgb(const QColor &color)
{
    return color.rgb() & 0xFFFFFF;
}

std::optional<QString> savedAccent()
{
    const QVariant value = UserDefaults::open()->value(QLatin1StringView(ThemeStore::kAccentKey));
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

QPalette desktopWithHighlight(QRgb highlight)
{
    return Appearance::lightPalette(QColor::fromRgb(highlight));
}

} // namespace

class TestUi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_appearance = std::make_unique<Appearance>();
        m_desktop = m_appearance->desktopPalette();
        m_appearance->install();
    }

    // Kept first: it looks at what the process has loaded so far.
    void windowAtRestLoadsNoImagePlugin()
    {
        QMainWindow window;
        auto *bar = window.addToolBar(QStringLiteral("Toolbar"));
        bar->addAction(QStringLiteral("New Focus Screen"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.grab();
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY2(!maps.readAll().contains("/imageformats/"), "an image format plugin was loaded");
    }

    void init()
    {
        QFile::remove(UserDefaults::filePath());
        qunsetenv(ThemeStore::kAccentEnvironment);
    }

    void cleanup()
    {
        qunsetenv(ThemeStore::kAccentEnvironment);
        m_appearance->setForced(std::nullopt);
        m_appearance->setDesktopPalette(m_desktop);
    }

    // Every accent is found by its own id and draws in its base shade.
    void everyThemeIsFoundByItsId()
    {
        QSet<QString> ids;
        for (const Theme &theme : Theme::all()) {
            QVERIFY2(!ids.contains(theme.id), qPrintable(theme.id));
            ids.insert(theme.id);
            QCOMPARE(Theme::forID(theme.id), theme);
            if (theme.shades)
                QCOMPARE(rgb(theme.accent(QColor::fromRgb(kRed))), theme.shades->base);
        }
        QCOMPARE(ids.size(), 11);
    }

    // The system theme has no colours of its own: it draws in the desktop's
    // accent, for text too, and follows it.
    void systemThemeFollowsTheDesktop()
    {
        const Theme &system = Theme::system();
        QCOMPARE(&system, &Theme::all().first());
        const QColor red = QColor::fromRgb(kRed);
        QCOMPARE(system.accent(red), red);
        QCOMPARE(system.accentText(AppearanceKind::dark, red), red);
        ThemeStore store(m_appearance.get());
        QCOMPARE(store.accent(), m_appearance->systemAccent());
        m_appearance->setDesktopPalette(desktopWithHighlight(kRed));
        QCOMPARE(rgb(store.accent()), kRed);
        QCOMPARE(rgb(store.accentText(Appearance::darkPalette(Qt::blue))), kRed);
    }

    // Ids are matched exactly; anything else is the system theme.
    void forID_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("known");
        QTest::newRow("exact") << "teal" << true;
        QTest::newRow("last one") << "graphite" << true;
        QTest::newRow("wrong letter case") << "Blue" << false;
        QTest::newRow("padded") << " teal" << false;
        QTest::newRow("unknown") << "purple" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("name instead of id") << "Teal" << false;
    }
    void forID()
    {
        QFETCH(QString, id);
        QFETCH(bool, known);
        QCOMPARE(Theme::forID(id).id, known ? id : QStringLiteral("system"));
    }

    void accentText_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<AppearanceKind>("kind");
        QTest::addColumn<quint32>("color");
        QTest::newRow("yellow light") << "yellow" << AppearanceKind::light << 0x946800u;
        QTest::newRow("yellow dark") << "yellow" << AppearanceKind::dark << 0xFFE17Au;
        QTest::newRow("yellow high-contrast light")
            << "yellow" << AppearanceKind::highContrastLight << 0x946800u;
        QTest::newRow("yellow high-contrast dark")
            << "yellow" << AppearanceKind::highContrastDark << 0xFFE17Au;
        QTest::newRow("graphite dark") << "graphite" << AppearanceKind::dark << 0xC7C7CCu;
    }
    void accentText()
    {
        QFETCH(QString, id);
        QFETCH(AppearanceKind, kind);
        QFETCH(quint32, color);
        const Theme &theme = Theme::forID(id);
        const QColor red = QColor::fromRgb(kRed);
        QCOMPARE(rgb(theme.accentText(kind, red)), color);

        // A view follows its own palette, and the program its appearance.
        const bool dark = kind == AppearanceKind::dark || kind == AppearanceKind::highContrastDark;
        const QPalette palette =
            dark ? Appearance::darkPalette(Qt::blue) : Appearance::lightPalette(Qt::blue);
        QCOMPARE(rgb(theme.accentText(palette, red)), color);
        ThemeStore store(m_appearance.get());
        store.setThemeID(id);
        QCOMPARE(rgb(store.accentText(palette)), color);
        m_appearance->setForced(kind);
        QCOMPARE(rgb(store.accentText()), color);
    }

    void dynamicColor_data()
    {
        QTest::addColumn<std::optional<quint32>>("highContrastLight");
        QTest::addColumn<std::optional<quint32>>("highContrastDark");
        QTest::addColumn<AppearanceKind>("kind");
        QTest::addColumn<quint32>("color");
        const std::optional<quint32> none;
        QTest::newRow("light") << none << none << AppearanceKind::light << 0x111111u;
        QTest::newRow("dark") << none << none << AppearanceKind::dark << 0xEEEEEEu;
        QTest::newRow("high-contrast light falls back")
            << none << none << AppearanceKind::highContrastLight << 0x111111u;
        QTest::newRow("high-contrast dark falls back")
            << none << none << AppearanceKind::highContrastDark << 0xEEEEEEu;
        QTest::newRow("high-contrast light given")
            << std::optional<quint32>(0x000000) << none << AppearanceKind::highContrastLight << 0x000000u;
        QTest::newRow("high-contrast dark given")
            << none << std::optional<quint32>(0xFFFFFF) << AppearanceKind::highContrastDark << 0xFFFFFFu;
        QTest::newRow("given values leave the plain ones")
            << std::optional<quint32>(0x000000) << std::optional<quint32>(0xFFFFFF) << AppearanceKind::dark
            << 0xEEEEEEu;
    }
    void dynamicColor()
    {
        QFETCH(std::optional<quint32>, highContrastLight);
        QFETCH(std::optional<quint32>, highContrastDark);
        QFETCH(AppearanceKind, kind);
        QFETCH(quint32, color);
        const DynamicColor dynamic(0x111111, 0xEEEEEE, highContrastLight, highContrastDark);
        QCOMPARE(rgb(dynamic.resolve(kind)), color);
        QCOMPARE(dynamic.resolve(kind).alpha(), 255);
    }

    // APP_ACCENT, else the saved choice, names the theme; an id no theme
    // has is kept but draws as the system theme. Reading never writes.
    void startUp_data()
    {
        QTest::addColumn<std::optional<QString>>("environment");
        QTest::addColumn<std::optional<QString>>("saved");
        QTest::addColumn<QString>("themeID");
        QTest::addColumn<bool>("known");
        const std::optional<QString> none;
        const auto some = [](const char *text) { return std::optional<QString>(QString::fromLatin1(text)); };
        QTest::newRow("first start") << none << none << "system" << true;
        QTest::newRow("saved choice") << none << some("indigo") << "indigo" << true;
        QTest::newRow("APP_ACCENT") << some("teal") << none << "teal" << true;
        QTest::newRow("APP_ACCENT wins over the saved choice")
            << some("teal") << some("red") << "teal" << true;
        QTest::newRow("APP_ACCENT in the wrong letter case") << some("Blue") << none << "Blue" << false;
        QTest::newRow("APP_ACCENT set but empty") << some("") << some("red") << "" << false;
        QTest::newRow("saved id no theme has") << none << some("purple") << "purple" << false;
    }
    void startUp()
    {
        QFETCH(std::optional<QString>, environment);
        QFETCH(std::optional<QString>, saved);
        QFETCH(QString, themeID);
        QFETCH(bool, known);
        if (saved)
            UserDefaults::open()->setValue(QLatin1StringView(ThemeStore::kAccentKey), *saved);
        if (environment)
            qputenv(ThemeStore::kAccentEnvironment, environment->toUtf8());

        ThemeStore store(m_appearance.get());
        QCOMPARE(store.themeID(), themeID);
        QCOMPARE(store.theme().id, known ? themeID : QStringLiteral("system"));
        QCOMPARE(savedAccent(), saved);
    }

    void settingTheThemeSavesEveryTime()
    {
        qputenv(ThemeStore::kAccentEnvironment, "teal");
        ThemeStore store(m_appearance.get());
        QSignalSpy idChanged(&store, &ThemeStore::themeIDChanged);
        QSignalSpy accentChanged(&store, &ThemeStore::accentChanged);

        store.setThemeID(QStringLiteral("yellow"));
        QCOMPARE(store.themeID(), QStringLiteral("yellow"));
        QCOMPARE(savedAccent(), std::optional<QString>(QStringLiteral("yellow")));
        QCOMPARE(idChanged.count(), 1);
        QCOMPARE(accentChanged.count(), 1);

        // The same id again is written again, without a change signal.
        QFile::remove(UserDefaults::filePath());
        store.setThemeID(QStringLiteral("yellow"));
        QCOMPARE(savedAccent(), std::optional<QString>(QStringLiteral("yellow")));
        QCOMPARE(idChanged.count(), 1);

        // An id from elsewhere is kept as given and saved.
        store.setThemeID(QStringLiteral("Blue"));
        QCOMPARE(store.themeID(), QStringLiteral("Blue"));
        QCOMPARE(store.theme(), Theme::system());
        QCOMPARE(savedAccent(), std::optional<QString>(QStringLiteral("Blue")));

        qunsetenv(ThemeStore::kAccentEnvironment);
        QCOMPARE(ThemeStore(m_appearance.get()).themeID(), QStringLiteral("Blue"));
    }

    void themedWindowsRetintTogether_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("tinted");
        QTest::addColumn<quint32>("highlight");
        QTest::addColumn<quint32>("highlightedText");
        QTest::addColumn<quint32>("link");
        QTest::newRow("yellow") << "yellow" << true << 0xF5B800u << 0x16161Cu << 0x946800u;
        QTest::newRow("violet") << "violet" << true << 0x7B5CFFu << 0xFFFFFFu << 0x6342E6u;
        QTest::newRow("system") << "system" << false << 0u << 0u << 0u;
        QTest::newRow("unknown id") << "Blue" << false << 0u << 0u << 0u;
    }
    void themedWindowsRetintTogether()
    {
        QFETCH(QString, id);
        QFETCH(bool, tinted);
        QFETCH(quint32, highlight);
        QFETCH(quint32, highlightedText);
        QFETCH(quint32, link);

        m_appearance->setForced(AppearanceKind::light);
        ThemeStore store(m_appearance.get());
        QWidget main;
        QWidget settings;
        QWidget *child = new QWidget(&settings);
        new Themed(&main, &store);
        new Themed(&settings, &store);
        const QPalette untinted = QApplication::palette(&main);

        // Start from another tint, so that the change must undo it.
        store.setThemeID(QStringLiteral("red"));
        QCOMPARE(rgb(main.palette().color(QPalette::Highlight)), 0xE11D48u);
        store.setThemeID(id);

        for (const QWidget *window : QList<const QWidget *>{&main, &settings, child}) {
            const QPalette palette = window->palette();
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                if (tinted) {
                    QCOMPARE(rgb(palette.color(group, QPalette::Highlight)), highlight);
                    QCOMPARE(rgb(palette.color(group, QPalette::HighlightedText)), highlightedText);
                    QCOMPARE(rgb(palette.color(group, QPalette::Link)), link);
                } else {
                    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText, QPalette::Link})
                        QCOMPARE(palette.color(group, role), untinted.color(group, role));
                }
            }
            // The rest of the palette is left alone.
            QCOMPARE(palette.color(QPalette::Window), untinted.color(QPalette::Window));
        }
    }

    void themedAttachesOnce()
    {
        ThemeStore store(m_appearance.get());
        QWidget window;
        Themed *first = themed(&window, &store);
        QVERIFY(first);
        QCOMPARE(themed(&window, &store), first);
        QCOMPARE(first->store(), &store);
        QCOMPARE(themed(nullptr, &store), nullptr);
    }

    void appearanceSwitchRetintsText_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::newRow("hidden window") << false;
        QTest::newRow("shown window") << true;
    }
    void appearanceSwitchRetintsText()
    {
        QFETCH(bool, shown);
        ThemeStore store(m_appearance.get());
        store.setThemeID(QStringLiteral("yellow"));
        QWidget window;
        new Themed(&window, &store);
        if (shown) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }

        m_appearance->setForced(AppearanceKind::dark);
        QVERIFY(m_appearance->isDark());
        QCOMPARE(Appearance::kindOf(QApplication::palette()), AppearanceKind::dark);
        QCOMPARE(Appearance::kindOf(window.palette()), AppearanceKind::dark);
        QCOMPARE(rgb(window.palette().color(QPalette::Link)), 0xFFE17Au);
        QCOMPARE(rgb(window.palette().color(QPalette::Highlight)), 0xF5B800u);

        m_appearance->setForced(AppearanceKind::light);
        QCOMPARE(Appearance::kindOf(window.palette()), AppearanceKind::light);
        QCOMPARE(rgb(window.palette().color(QPalette::Link)), 0x946800u);

        // Following the desktop again: a dark desktop gives the dark look.
        m_appearance->setForced(std::nullopt);
        m_appearance->setDesktopPalette(Appearance::darkPalette(QColor::fromRgb(kRed)));
        QVERIFY(m_appearance->isDark());
        QCOMPARE(rgb(window.palette().color(QPalette::Link)), 0xFFE17Au);
    }

    void palettesAreReadable_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void palettesAreReadable()
    {
        QFETCH(bool, dark);
        const QColor accent = QColor::fromRgb(kRed);
        const QPalette palette = dark ? Appearance::darkPalette(accent) : Appearance::lightPalette(accent);
        QCOMPARE(Appearance::kindOf(palette), dark ? AppearanceKind::dark : AppearanceKind::light);
        QCOMPARE(palette.color(QPalette::Highlight), accent);
        const auto contrast = [&palette](QPalette::ColorGroup group, QPalette::ColorRole fg,
                                         QPalette::ColorRole bg) {
            return qAbs(palette.color(group, fg).lightness() - palette.color(group, bg).lightness());
        };
        constexpr int kReadable = 150;
        constexpr int kDimmed = 40;
        QVERIFY(contrast(QPalette::Active, QPalette::WindowText, QPalette::Window) > kReadable);
        QVERIFY(contrast(QPalette::Active, QPalette::Text, QPalette::Base) > kReadable);
        QVERIFY(contrast(QPalette::Active, QPalette::ButtonText, QPalette::Button) > kReadable);
        // Disabled text is dimmer than enabled text but still visible.
        QVERIFY(contrast(QPalette::Disabled, QPalette::Text, QPalette::Base) > kDimmed);
        QVERIFY(contrast(QPalette::Disabled, QPalette::Text, QPalette::Base) <
                contrast(QPalette::Active, QPalette::Text, QPalette::Base));
    }

    void desktopAccentAndMulticolor()
    {
        ThemeStore store(m_appearance.get());
        QWidget window;
        new Themed(&window, &store);
        QSignalSpy multicolorChanged(&store, &ThemeStore::noDesktopAccentChanged);
        QVERIFY(store.noDesktopAccent()); // the test platform sets no accent

        m_appearance->setDesktopPalette(desktopWithHighlight(kRed));
        QVERIFY(!store.noDesktopAccent());
        QCOMPARE(multicolorChanged.count(), 1);
        QCOMPARE(rgb(store.accent()), kRed);
        QCOMPARE(rgb(window.palette().color(QPalette::Highlight)), kRed);

        // Another accent: still not multicolour, no signal.
        m_appearance->setDesktopPalette(desktopWithHighlight(0x00AA55));
        QCOMPARE(multicolorChanged.count(), 1);
        QCOMPARE(rgb(window.palette().color(QPalette::Highlight)), 0x00AA55u);

        // The desktop drops its accent: Qt's stock highlight again.
        m_appearance->setDesktopPalette(desktopWithHighlight(Appearance::kStockHighlight));
        QVERIFY(store.noDesktopAccent());
        QCOMPARE(multicolorChanged.count(), 2);
        QCOMPARE(rgb(window.palette().color(QPalette::Highlight)), quint32(Appearance::kStockHighlight));
    }

    void desktopThemeChangeIsReadAgain()
    {
        ThemeStore store(m_appearance.get());
        m_appearance->setDesktopPalette(desktopWithHighlight(kRed));
        QVERIFY(!store.noDesktopAccent());
        // The desktop announces a theme change; what it gives now (the test
        // platform's stock palette) is read back.
        QWidget window;
        QEvent themeChange(QEvent::ThemeChange);
        QCoreApplication::sendEvent(&window, &themeChange);
        QCoreApplication::sendEvent(&window, &themeChange);
        QTRY_VERIFY(store.noDesktopAccent());
        QCOMPARE(QApplication::palette().color(QPalette::Highlight), store.accent());
        auto *style = qobject_cast<QProxyStyle *>(QApplication::style());
        QVERIFY(style);
        QCOMPARE(style->baseStyle()->name(), QStringLiteral("fusion"));
    }

private:
    std::unique_ptr<Appearance> m_appearance;
    QPalette m_desktop;
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
