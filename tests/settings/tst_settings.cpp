// SPDX-License-Identifier: MIT
// The settings window on offscreen widgets: the window hook and content
// fitting, the remembered tab, the general page against a real store file
// and the real autostart entry, the profiles page and its sheet, the
// appearance page with its swatches, and the statistics page.
#include "AccentPreview.h"
#include "AccentSwatch.h"
#include "AppLockProfile.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "Appearance.h"
#include "AppearanceSettings.h"
#include "BrowserSection.h"
#include "FitsContent.h"
#include "FocusChart.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "GeneralSettings.h"
#include "GlobalShortcut.h"
#include "GnomeShellSection.h"
#include "LoginItem.h"
#include "ModelContext.h"
#include "NewProfileSheet.h"
#include "ProfilesSettings.h"
#include "RemoteControl.h"
#include "SessionPreferences.h"
#include "SettingsStyle.h"
#include "SettingsView.h"
#include "ShellExtension.h"
#include "ShortcutField.h"
#include "StatsSettings.h"
#include "StdoutCapture.h"
#include "Store.h"
#include "TextStyles.h"
#include "Theme.h"
#include "ThemeStore.h"
#include "Themed.h"
#include "Translations.h"
#include "UserDefaults.h"
#include "WindowHook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

Q_DECLARE_METATYPE(HotKeyBackend::Keeper)

namespace {

QRgb rgb(const QColor &color)
{
    return color.rgb() & 0xFFFFFF;
}

bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    QCoreApplication::processEvents();
    return true;
}

// Types one character as a key press carrying it as text (also symbols
// such as ⌘ that have no key of their own).
void typeCharacter(QWidget *widget, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// Offscreen windows cannot pass size hints to a window manager; Qt says so
// for every fixed-size window. Everything else goes through.
QtMessageHandler g_previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

QDateTime hoursAgo(int hours)
{
    return QDateTime::currentDateTime().addSecs(-3600LL * hours);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_run = 0;
    std::unique_ptr<ModelContainer> m_container;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<Appearance> m_appearance;
    std::unique_ptr<ThemeStore> m_themes;

    ModelContext *ctx() const { return m_model->context(); }

    void openStore()
    {
        m_model.reset();
        m_container = Store::makeContainer();
        m_model = std::make_unique<AppModel>(m_container.get());
    }

    FocusSession *addSession(const QUuid &screen, const QDateTime &start, std::optional<double> duration,
                             bool completed)
    {
        auto *session = ctx()->insert(std::make_unique<FocusSession>(screen, start));
        session->setActualDuration(duration);
        session->setCompleted(completed);
        if (duration)
            session->setEndTime(start.addSecs(qint64(*duration)));
        return session;
    }

    AppLockProfile *addProfile(const QString &name, int minutesAgo)
    {
        auto *profile = ctx()->insert(
            std::make_unique<AppLockProfile>(name, QStringList(), QStringList(), LockMode::hideApps));
        profile->setCreatedAt(QDateTime::currentDateTimeUtc().addSecs(-60LL * minutesAgo));
        return profile;
    }

private Q_SLOTS:
    void initTestCase()
    {
        g_previousHandler = qInstallMessageHandler(quietHandler);
        m_appearance = std::make_unique<Appearance>();
        m_appearance->install();
        m_appearance->setForced(AppearanceKind::light);
        // As the program does: English, with its plural forms ("1 day").
        QVERIFY(!Translations::install(QLocale(QLocale::English, QLocale::UnitedStates)));
    }

    // Every test gets its own user folders and a store at the default
    // location in them (so the settings tab is remembered).
    void init()
    {
        ++m_run;
        const QString config = m_dir.filePath(QStringLiteral("config%1").arg(m_run));
        const QString data = m_dir.filePath(QStringLiteral("data%1").arg(m_run));
        QDir().mkpath(config);
        QDir().mkpath(data);
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qunsetenv("APP_STORE");
        qunsetenv(ThemeStore::kAccentEnvironment);
        m_themes = std::make_unique<ThemeStore>(m_appearance.get());
        openStore();
    }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::processEvents();
        m_model.reset();
        m_container.reset();
        m_themes.reset();
        qunsetenv("APP_STORE");
    }

    void cleanupTestCase()
    {
        m_appearance->setForced(std::nullopt);
        m_appearance.reset();
    }

    // --- Window hook ---------------------------------------------------

    // The hook keeps the focus off the fields when a window first shows
    // (without it Qt focuses the first field, so the test can tell), and
    // leaves the user's field alone when coming back from another window.
    // Opening again after a close is the settings window's test below.
    void windowHook_data()
    {
        QTest::addColumn<bool>("hook");
        QTest::addColumn<bool>("switchBack");
        QTest::addColumn<bool>("fieldFocused");
        QTest::newRow("first show, no hook") << false << false << true;
        QTest::newRow("first show") << true << false << false;
        QTest::newRow("back from another window keeps the field") << true << true << true;
    }
    void windowHook()
    {
        QFETCH(bool, hook);
        QFETCH(bool, switchBack);
        QFETCH(bool, fieldFocused);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLineEdit(&window));
        auto *second = new QLineEdit(&window);
        layout->addWidget(second);
        if (hook)
            WindowHook::install(&window);
        QVERIFY(showActive(&window));
        if (switchBack) {
            second->setFocus(Qt::MouseFocusReason);
            QWidget other;
            QVERIFY(showActive(&other));
            QVERIFY(showActive(&window));
            QVERIFY(second->hasFocus());
        }
        QCOMPARE(qobject_cast<QLineEdit *>(QApplication::focusWidget()) != nullptr, fieldFocused);
    }

    // The settings window opens with no field focused (the shortcut field
    // would otherwise take it), closes with Esc and Ctrl+W even from the
    // shortcut field, and opens again with no field focused.
    void settingsWindowClosesFromTheKeyboard_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("inField");
        QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape) << false;
        QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W) << false;
        QTest::newRow("Esc in the shortcut field") << QKeySequence(Qt::Key_Escape) << true;
        QTest::newRow("Ctrl+W in the shortcut field") << QKeySequence(Qt::CTRL | Qt::Key_W) << true;
    }
    void settingsWindowClosesFromTheKeyboard()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(bool, inField);
        ctx()->insert(std::make_unique<AppSettings>());
        SettingsView view(m_model.get(), m_themes.get());
        ShortcutField *field = view.general()->shortcutField();
        for (int opened = 0; opened < 2; ++opened) {
            QVERIFY(showActive(&view));
            QVERIFY(!field->hasFocus());
            QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));
            if (inField) {
                field->setFocus(Qt::MouseFocusReason);
                QVERIFY(field->hasFocus());
            }
            QTest::keySequence(inField ? static_cast<QWidget *>(field) : &view, keys);
            QTRY_VERIFY(!view.isVisible());
        }
    }

    // --- Content fitting -----------------------------------------------

    void fitsContentRule_data()
    {
        QTest::addColumn<QList<double>>("measured");
        QTest::addColumn<std::optional<double>>("height");
        QTest::addColumn<std::optional<int>>("frame");
        using H = std::optional<double>;
        using F = std::optional<int>;
        QTest::newRow("nothing measured yet") << QList<double>{} << H() << F();
        QTest::newRow("300.2 rounds up to 301") << QList<double>{300.2} << H(301) << F(301);
        QTest::newRow("900 is held at 640") << QList<double>{900} << H(900) << F(640);
        QTest::newRow("301 to 301.6 (302) updates") << QList<double>{301, 301.6} << H(302) << F(302);
        QTest::newRow("301 to 300.4 (301) does not") << QList<double>{301, 300.4} << H(301) << F(301);
        QTest::newRow("shrinking counts as well") << QList<double>{500, 120} << H(120) << F(120);
        QTest::newRow("zero keeps it absent") << QList<double>{0} << H() << F();
        QTest::newRow("garbage is ignored") << QList<double>{200, qQNaN(), -5} << H(200) << F(200);
    }
    void fitsContentRule()
    {
        QFETCH(QList<double>, measured);
        QFETCH(std::optional<double>, height);
        QFETCH(std::optional<int>, frame);
        QScrollArea area;
        auto *fits = FitsContent::apply(&area, 640);
        for (double m : measured)
            fits->observe(m);
        QCOMPARE(fits->height(), height);
        QCOMPARE(fits->frameHeight(), frame);
    }

    void fitsContentFollowsTheContent_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("two rows") << 2 << 100 << false;
        QTest::newRow("twelve rows") << 12 << 600 << false;
        QTest::newRow("twenty rows") << 20 << 640 << true;
    }
    void fitsContentFollowsTheContent()
    {
        QFETCH(int, rows);
        QFETCH(int, expected);
        QFETCH(bool, scrolls);
        constexpr int rowHeight = 50;
        QWidget window;
        auto *outer = new QVBoxLayout(&window);
        outer->setSizeConstraint(QLayout::SetFixedSize);
        outer->setContentsMargins(0, 0, 0, 0);
        auto *area = new QScrollArea(&window);
        auto *content = new QWidget;
        auto *column = new QVBoxLayout(content);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        auto addRow = [&] {
            auto *row = new QWidget(content);
            row->setFixedHeight(rowHeight);
            column->addWidget(row);
        };
        for (int i = 0; i < rows; ++i)
            addRow();
        area->setWidget(content);
        area->setFixedWidth(300);
        FitsContent::apply(area, 640);
        outer->addWidget(area);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(area->height(), expected);
        QCOMPARE(window.height(), expected); // the window follows
        QCOMPARE(area->verticalScrollBar()->maximum() > 0, scrolls);

        // One more row: the form and its window grow (or stay at the limit).
        addRow();
        QTRY_COMPARE(area->height(), std::min(640, expected + (scrolls ? 0 : rowHeight)));
        QTRY_COMPARE(window.height(), area->height());
    }

    void settingsWindowFollowsThePage()
    {
        ctx()->insert(std::make_unique<AppSettings>());
        SettingsView view(m_model.get(), m_themes.get());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QHash<SettingsTab, int> heights;
        for (const SettingsTab tab : allCases<SettingsTab>()) {
            QTest::mouseClick(view.tabButton(tab), Qt::LeftButton);
            QCoreApplication::processEvents();
            QScrollArea *form = view.form(tab);
            QVERIFY(form->isVisible());
            QCOMPARE(form->width(), SettingsStyle::kFormWidth);
            QVERIFY(form->height() <= SettingsStyle::kFormMaxHeight);
            // All of the page shows, and the form has no room to spare.
            QCOMPARE(form->verticalScrollBar()->maximum(), 0);
            QWidget *page = view.page(tab);
            const int natural =
                page->hasHeightForWidth() ? page->heightForWidth(page->width()) : page->sizeHint().height();
            QCOMPARE(form->height(), natural);
            QTRY_COMPARE(view.size(), view.sizeHint());
            heights.insert(tab, view.height());
        }
        QVERIFY(heights.value(SettingsTab::general) != heights.value(SettingsTab::appearance));
    }

    // --- Tabs ----------------------------------------------------------

    // The tab follows the model both ways, so a window opened again shows
    // the tab last chosen (the model keeps it in the user defaults).
    void tabFollowsTheModel()
    {
        {
            SettingsView view(m_model.get(), m_themes.get());
            view.show();
            QCOMPARE(view.currentTab(), SettingsTab::general);
            QTest::mouseClick(view.tabButton(SettingsTab::stats), Qt::LeftButton);
            QCOMPARE(m_model->settingsTab(), SettingsTab::stats);
            QVERIFY(!view.form(SettingsTab::general)->isVisible());
        }
        SettingsView again(m_model.get(), m_themes.get());
        again.show();
        QVERIFY(again.tabButton(SettingsTab::stats)->isChecked());
        QVERIFY(again.form(SettingsTab::stats)->isVisible());
        m_model->setSettingsTab(SettingsTab::appearance);
        QVERIFY(again.tabButton(SettingsTab::appearance)->isChecked());
        QVERIFY(again.form(SettingsTab::appearance)->isVisible());
        QVERIFY(!again.form(SettingsTab::stats)->isVisible());
    }

    // --- General -------------------------------------------------------

    // Without a settings row the page makes one: two pages asking at once
    // make one row, saved at once, with the program's default shortcut;
    // opening the window again makes no more.
    void emptyStoreGetsOneSettingsRow()
    {
        QCOMPARE(ctx()->fetchCount<AppSettings>(), 0);
        auto view = std::make_unique<SettingsView>(m_model.get(), m_themes.get());
        view->show();
        QVERIFY(view->general()->isUnavailable());
        GeneralSettings second(m_model.get());
        QTRY_VERIFY(!view->general()->isUnavailable());
        QCoreApplication::processEvents();
        QVERIFY(!second.isUnavailable());
        QCOMPARE(ctx()->fetchCount<AppSettings>(), 1);
        QVERIFY(!ctx()->hasChanges());
        QCOMPARE(view->general()->settings()->globalShortcut(),
                 QString::fromUtf8(AppSettings::kDefaultGlobalShortcut));
        QCOMPARE(view->general()->shortcutField()->text(), QStringLiteral("Ctrl+Alt+Super+F"));

        view.reset();
        SettingsView reopened(m_model.get(), m_themes.get());
        reopened.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(!reopened.general()->isUnavailable());
        QCOMPARE(ctx()->fetchCount<AppSettings>(), 1);
        openStore();
        QCOMPARE(ctx()->fetchCount<AppSettings>(), 1);
    }

    // The note under the field says who holds the shortcut: the program
    // (its default), the desktop (which may ask to confirm or change it), or
    // nobody (bind lumora --popover in the desktop's settings); the field
    // stays editable in every case (its text is the preferred combination).
    void shortcutNoteSaysWhoHoldsIt_data()
    {
        QTest::addColumn<HotKeyBackend::Keeper>("keeper");
        QTest::addColumn<QStringList>("says");
        QTest::addColumn<QStringList>("doesNotSay");
        const QString byDefault = QStringLiteral("Default: Ctrl+Alt+Super+F");
        const QString desktop = QStringLiteral("desktop manages this shortcut");
        const QString command = QStringLiteral("lumora --popover");
        QTest::newRow("program") << HotKeyBackend::Keeper::program << QStringList{byDefault}
                                 << QStringList{desktop, command};
        QTest::newRow("desktop") << HotKeyBackend::Keeper::desktop
                                 << QStringList{byDefault, desktop, QStringLiteral("confirm or change")}
                                 << QStringList{command};
        QTest::newRow("GNOME Shell") << HotKeyBackend::Keeper::gnomeShell
                                     << QStringList{byDefault,
                                                    QStringLiteral("GNOME Shell keeps this shortcut")}
                                     << QStringList{desktop, command};
        QTest::newRow("nobody") << HotKeyBackend::Keeper::none
                                << QStringList{command, QStringLiteral("desktop's keyboard settings")}
                                << QStringList{byDefault, desktop};
    }
    void shortcutNoteSaysWhoHoldsIt()
    {
        QFETCH(HotKeyBackend::Keeper, keeper);
        QFETCH(QStringList, says);
        QFETCH(QStringList, doesNotSay);
        ctx()->insert(std::make_unique<AppSettings>());
        ctx()->save();
        GeneralSettings page(m_model.get());
        page.setShortcutKeeper(keeper);
        page.show();
        const QString note = page.shortcutNote()->text();
        for (const QString &text : says)
            QVERIFY2(note.contains(text), qPrintable(note));
        for (const QString &text : doesNotSay)
            QVERIFY2(!note.contains(text), qPrintable(note));
        QVERIFY(page.shortcutNote()->isVisible());
        QVERIFY(page.shortcutField()->isEnabled());
    }

    // The longest text the field shows is not clipped.
    void shortcutFieldFitsTheLongestShortcut()
    {
        ctx()->insert(std::make_unique<AppSettings>());
        GeneralSettings page(m_model.get());
        page.show();
        QLineEdit *field = page.shortcutField();
        QStyleOptionFrame option;
        option.initFrom(field);
        const QRect textArea = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
        QVERIFY2(field->fontMetrics().horizontalAdvance(QStringLiteral("Ctrl+Alt+Super+Shift+Space")) <=
                     textArea.width() - 4,
                 qPrintable(QString::number(textArea.width())));
    }

    // The field records a combination pressed after a click (or Return);
    // Escape cancels, Backspace clears, typed text is kept as typed and
    // saved at every keystroke; what the user did not change is kept byte
    // for byte. (How stored texts are shown and read back is the shortcut
    // parser's test.)
    void shortcutFieldRecords_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<QKeyCombination>>("keys"); // pressed after a click, or from Return on
        QTest::addColumn<QString>("typed");               // then typed as text
        QTest::addColumn<QString>("storedAfter");
        QTest::addColumn<QString>("shownAfter");
        using Keys = QList<QKeyCombination>;
        const QString stored = QStringLiteral("⌘⇧F");
        const QKeyCombination escape(Qt::Key_Escape);
        QTest::newRow("Ctrl+Alt+F") << stored << Keys{Qt::CTRL | Qt::ALT | Qt::Key_F} << QString()
                                    << QStringLiteral("⌃⌥F") << QStringLiteral("Ctrl+Alt+F");
        QTest::newRow("Super+Shift+Space")
            << QString() << Keys{Qt::META | Qt::SHIFT | Qt::Key_Space} << QString()
            << QStringLiteral("⇧⌘Space") << QStringLiteral("Super+Shift+Space");
        QTest::newRow("F5 alone") << stored << Keys{QKeyCombination(Qt::Key_F5)} << QString()
                                  << QStringLiteral("F5") << QStringLiteral("F5");
        QTest::newRow("Ctrl+W is recorded, not a window shortcut")
            << stored << Keys{Qt::CTRL | Qt::Key_W} << QString() << QStringLiteral("⌃W")
            << QStringLiteral("Ctrl+W");
        QTest::newRow("Escape cancels")
            << stored << Keys{escape} << QString() << stored << QStringLiteral("Super+Shift+F");
        QTest::newRow("a key without a name keeps recording, Escape cancels")
            << stored << Keys{Qt::CTRL | Qt::Key_Print, escape} << QString() << stored
            << QStringLiteral("Super+Shift+F");
        QTest::newRow("Return records from the keyboard, Escape keeps words")
            << QStringLiteral("Control-Option-Space") << Keys{QKeyCombination(Qt::Key_Return), escape}
            << QString() << QStringLiteral("Control-Option-Space") << QStringLiteral("Ctrl+Alt+Space");
        QTest::newRow("Escape keeps a text naming no key")
            << QStringLiteral("⌃⌥") << Keys{escape} << QString() << QStringLiteral("⌃⌥")
            << QStringLiteral("⌃⌥");
        QTest::newRow("Backspace clears")
            << stored << Keys{QKeyCombination(Qt::Key_Backspace)} << QString() << QString() << QString();
        QTest::newRow("typed text is kept as typed")
            << stored << Keys{} << QStringLiteral("cmd+shift+k") << QStringLiteral("cmd+shift+k")
            << QStringLiteral("Super+Shift+K");
        QTest::newRow("typed glyphs") << stored << Keys{} << QStringLiteral("⌃⌥K") << QStringLiteral("⌃⌥K")
                                      << QStringLiteral("Ctrl+Alt+K");
    }
    void shortcutFieldRecords()
    {
        QFETCH(QString, stored);
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(QString, typed);
        QFETCH(QString, storedAfter);
        QFETCH(QString, shownAfter);
        auto *row = ctx()->insert(std::make_unique<AppSettings>());
        row->setGlobalShortcut(stored);
        ctx()->save();
        SettingsView view(m_model.get(), m_themes.get());
        QVERIFY(showActive(&view));
        ShortcutField *field = view.general()->shortcutField();
        QCOMPARE(field->text(), shortcutDisplayText(stored));

        if (keys.value(0) == QKeyCombination(Qt::Key_Return)) {
            field->setFocus(Qt::TabFocusReason);
            QVERIFY(!field->isRecording());
        } else {
            QTest::mouseClick(field, Qt::LeftButton);
            QVERIFY(field->isRecording());
            QCOMPARE(field->text(), QString());
        }
        for (const QKeyCombination key : keys) {
            // The modifiers go down first, as on a keyboard.
            if (key.keyboardModifiers() & Qt::ControlModifier)
                QTest::keyPress(field, Qt::Key_Control, Qt::ControlModifier);
            QTest::keyClick(field, key.key(), key.keyboardModifiers());
            QCOMPARE(field->isRecording(), key != keys.last());
        }
        QString typedSoFar;
        for (const QChar c : typed) {
            typeCharacter(field, c);
            typedSoFar += c;
            QCOMPARE(row->globalShortcut(), typedSoFar);
            QVERIFY2(!ctx()->hasChanges(), "every keystroke is saved at once");
        }
        QVERIFY(!field->isRecording());
        QCOMPARE(row->globalShortcut(), storedAfter);
        QVERIFY(!ctx()->hasChanges());
        QVERIFY2(view.isVisible(), "no key closed the window while recording");

        field->clearFocus();
        QCOMPARE(field->text(), shownAfter);
        QCOMPARE(field->placeholderText(), QStringLiteral("Global Shortcut"));

        openStore();
        QCOMPARE(ctx()->fetch<AppSettings>().first()->globalShortcut(), storedAfter);
    }

    // The GNOME Shell section: hidden without a shell that takes the
    // extension; says whether it is installed, enabled and connected; the
    // button installs and enables it and says honestly when GNOME loads it.
    void gnomeShellSectionSaysWhereTheExtensionStands_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QString>("installError");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("buttonEnabled");
        QTest::newRow("absent, Wayland")
            << false << false << false << true << QString() << QStringLiteral("is not installed")
            << QStringLiteral("only after you log out and log in again") << true;
        QTest::newRow("absent, X11") << false << false << false << false << QString()
                                     << QStringLiteral("is not installed") << QStringLiteral("Alt+F2")
                                     << true;
        QTest::newRow("installed, disabled")
            << true << false << false << true << QString() << QStringLiteral("installed but not enabled")
            << QStringLiteral("log in again") << true;
        QTest::newRow("enabled, not loaded")
            << true << true << false << true << QString()
            << QStringLiteral("installed and enabled, but not connected (not loaded)") << QString() << false;
        QTest::newRow("connected") << true << true << true << true << QString()
                                   << QStringLiteral("installed, enabled and connected") << QString()
                                   << false;
        QTest::newRow("install fails")
            << false << false << false << true
            << QStringLiteral("the extension was not installed with Lumora")
            << QStringLiteral("is not installed")
            << QStringLiteral("Not installed: the extension was not installed with Lumora") << true;
    }
    void gnomeShellSectionSaysWhereTheExtensionStands()
    {
        QFETCH(bool, installed);
        QFETCH(bool, enabled);
        QFETCH(bool, connected);
        QFETCH(bool, wayland);
        QFETCH(QString, installError);
        QFETCH(QString, status);
        QFETCH(QString, result);
        QFETCH(bool, buttonEnabled);
        class Extension : public ShellExtension
        {
        public:
            Status state;
            bool wayland = true;
            QString error;
            int installs = 0;
            Status status() override { return state; }
            bool installForUser(QString *message) override
            {
                ++installs;
                if (!error.isEmpty()) {
                    *message = error;
                    return false;
                }
                state.installed = state.enabled = true;
                return true;
            }
            bool loadsAfterNewLogin() const override { return wayland; }
        } extension;
        extension.state = {installed, enabled, connected,
                           connected ? QString() : QStringLiteral("not loaded")};
        extension.wayland = wayland;
        extension.error = installError;

        GeneralSettings page(m_model.get());
        GnomeShellSection *section = page.gnomeShellSection();
        QVERIFY(section && section->isHidden());
        section->setExtension(&extension);
        QVERIFY(!section->isHidden());
        QVERIFY2(section->statusLabel()->text().contains(status), qPrintable(section->statusLabel()->text()));
        QCOMPARE(section->installButton()->isEnabled(), buttonEnabled);
        if (!buttonEnabled)
            return;
        section->installButton()->click();
        QCOMPARE(extension.installs, 1);
        QVERIFY2(section->resultLabel()->text().contains(result), qPrintable(section->resultLabel()->text()));
        // Once installed and enabled there is nothing more to press.
        QCOMPARE(section->installButton()->isEnabled(), !installError.isEmpty());
        section->setExtension(nullptr);
        QVERIFY(section->isHidden());
    }

    // The general page says which browsers follow the running instance,
    // each name once, as they come and go.
    void browserStatusFollowsTheConnections()
    {
        class Remote : public RemoteControl
        {
        public:
            bool serve() override { return true; }
            Reply send(Request, const QString &) override { return {}; }
            void connectBrowser(const QString &follower, const QString &browser)
            {
                setBrowserConnected(follower, browser);
            }
            void leave(const QString &follower) { setBrowserGone(follower); }
        } remote;
        GeneralSettings page(m_model.get());
        BrowserSection *section = page.browserSection();
        QVERIFY(section);
        QCOMPARE(section->statusLabel()->text(), QStringLiteral("No browser connected"));
        section->setRemoteControl(&remote);
        remote.connectBrowser(QStringLiteral(":1.7"), QStringLiteral("Firefox 128.0"));
        remote.connectBrowser(QStringLiteral(":1.9"), QStringLiteral("Chromium 120"));
        remote.connectBrowser(QStringLiteral(":1.12"), QStringLiteral("Chromium 120"));
        QCOMPARE(section->statusLabel()->text(), QStringLiteral("Connected: Chromium 120, Firefox 128.0"));
        remote.leave(QStringLiteral(":1.9"));
        QCOMPARE(section->statusLabel()->text(), QStringLiteral("Connected: Chromium 120, Firefox 128.0"));
        remote.leave(QStringLiteral(":1.7"));
        remote.leave(QStringLiteral(":1.12"));
        QCOMPARE(section->statusLabel()->text(), QStringLiteral("No browser connected"));
    }

    // "Set Up for This User" writes the host manifests where Chromium and
    // Firefox look in the home folder, naming the program and the extension;
    // a folder that cannot be made is told, the others still written.
    void browserSetUpWritesTheUserManifests()
    {
        const QByteArray home = qgetenv("HOME");
        const QString scratchHome = m_dir.filePath(QStringLiteral("home%1").arg(m_run));
        QDir().mkpath(scratchHome);
        qputenv("HOME", scratchHome.toUtf8());
        const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        // Chromium's folder is a file: it cannot hold the manifest.
        QFile blocker(config + QStringLiteral("/chromium"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        GeneralSettings page(m_model.get());
        BrowserSection *section = page.browserSection();
        section->setHostProgram(QStringLiteral("/opt/lumora/bin/lumora"));
        section->setUpButton()->click();
        const QString firefoxPath =
            scratchHome + QStringLiteral("/.mozilla/native-messaging-hosts/io.github.lumora.lumora.json");
        QFile firefox(firefoxPath);
        QVERIFY(firefox.open(QIODevice::ReadOnly));
        const QJsonObject manifest = QJsonDocument::fromJson(firefox.readAll()).object();
        QCOMPARE(manifest.value(QStringLiteral("name")).toString(),
                 QStringLiteral("io.github.lumora.lumora"));
        QCOMPARE(manifest.value(QStringLiteral("path")).toString(), QStringLiteral("/opt/lumora/bin/lumora"));
        QCOMPARE(manifest.value(QStringLiteral("type")).toString(), QStringLiteral("stdio"));
        QCOMPARE(manifest.value(QStringLiteral("allowed_extensions")).toArray().toVariantList(),
                 QVariantList{QStringLiteral("focus@lumora.github.io")});
        const QString result = section->resultLabel()->text();
        QVERIFY2(result.contains(QStringLiteral(
                     "Written: ~/.mozilla/native-messaging-hosts/io.github.lumora.lumora.json")),
                 qPrintable(result));
        QVERIFY2(result.contains(QStringLiteral("Not written: ") + config +
                                 QStringLiteral("/chromium/NativeMessagingHosts")),
                 qPrintable(result));

        // With the folder free, Chromium's manifest names the extension by its id.
        QVERIFY(blocker.remove());
        section->setUpButton()->click();
        QFile chromium(config +
                       QStringLiteral("/chromium/NativeMessagingHosts/io.github.lumora.lumora.json"));
        QVERIFY(chromium.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(chromium.readAll())
                     .object()
                     .value(QStringLiteral("allowed_origins"))
                     .toArray()
                     .toVariantList(),
                 QVariantList{QStringLiteral("chrome-extension://cmepddnafagflcolaoelcigfpgmdkipk/")});
        QVERIFY(!section->resultLabel()->text().contains(QStringLiteral("Not written")));
    }

    // The general page and the settings row follow each other: a default
    // chosen on the page is saved at once (that it reaches the next focus
    // screen is the model's test); a change to the row shows on the page and writes nothing
    // back (no autostart entry). The focus-session choices are on until
    // turned off, go to the user defaults and are read back by a later page.
    void generalPageFollowsTheRecord()
    {
        auto *row = ctx()->insert(std::make_unique<AppSettings>());
        {
            GeneralSettings page(m_model.get());
            QComboBox *picker = page.strictModePicker();
            picker->setCurrentIndex(picker->findText(QStringLiteral("Math Problem")));
            QComboBox *lockMode = page.lockModePicker();
            lockMode->setCurrentIndex(lockMode->findText(QStringLiteral("Overlay")));
            QCOMPARE(row->defaultStrictModeType(), StrictModeType::math);
            QCOMPARE(row->defaultLockMode(), LockMode::overlay);
            QVERIFY(!ctx()->hasChanges());

            row->setDefaultStrictModeType(StrictModeType::password);
            row->setGlobalShortcut(QStringLiteral("⌘⇧P"));
            row->setLaunchAtLogin(true);
            QTRY_COMPARE(picker->currentText(), QStringLiteral("Password"));
            QCOMPARE(page.shortcutField()->text(), QStringLiteral("Super+Shift+P"));
            QVERIFY(page.launchAtLoginToggle()->isChecked());
            QVERIFY(row->launchAtLogin());
            QVERIFY(!QFileInfo::exists(XdgAutostartLoginItem::autostartFilePath()));

            QVERIFY(page.doNotDisturbToggle()->isChecked());
            QVERIFY(page.endSoundToggle()->isChecked());
            page.doNotDisturbToggle()->setChecked(false);
            QVERIFY(!SessionPreferences::doNotDisturb());
            QVERIFY(SessionPreferences::endSound());
            page.endSoundToggle()->setChecked(false);
            QVERIFY(!SessionPreferences::endSound());
        }
        GeneralSettings later(m_model.get());
        QVERIFY(!later.doNotDisturbToggle()->isChecked());
        QVERIFY(!later.endSoundToggle()->isChecked());
    }

    void launchAtLogin_data()
    {
        QTest::addColumn<bool>("blockConfigFolder");
        QTest::addColumn<bool>("startOn");
        QTest::addColumn<bool>("turnOn");
        QTest::addColumn<bool>("entryAfter");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("scratchStore");
        QTest::newRow("on") << false << false << true << true << QString() << false;
        QTest::newRow("off") << false << true << false << false << QString() << false;
        QTest::newRow("on, refused") << true << false << true << false
                                     << "Failed to update launch at login: cannot create the folder "
                                     << false;
        // A development run keeps the flag in its scratch store only.
        QTest::newRow("on, scratch store writes no entry")
            << false << false << true << false << QString() << true;
        QTest::newRow("off, scratch store keeps the entry")
            << false << true << false << true << QString() << true;
    }
    void launchAtLogin()
    {
        QFETCH(bool, blockConfigFolder);
        QFETCH(bool, startOn);
        QFETCH(bool, turnOn);
        QFETCH(bool, entryAfter);
        QFETCH(QString, output);
        QFETCH(bool, scratchStore);
        if (scratchStore)
            qputenv("APP_STORE", m_dir.filePath(QStringLiteral("scratch%1.store").arg(m_run)).toUtf8());
        auto *row = ctx()->insert(std::make_unique<AppSettings>());
        row->setLaunchAtLogin(startOn);
        ctx()->save();
        XdgAutostartLoginItem item(QCoreApplication::applicationFilePath());
        if (startOn)
            QVERIFY(item.registerItem(nullptr));
        if (blockConfigFolder) {
            // A file where the configuration folder should be: even root
            // cannot create the autostart folder under it.
            const QString file = m_dir.filePath(QStringLiteral("blocker%1").arg(m_run));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            qputenv("XDG_CONFIG_HOME", (file + QStringLiteral("/config")).toUtf8());
        }
        GeneralSettings page(m_model.get());
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCheckBox *toggle = page.launchAtLoginToggle();
        QCOMPARE(toggle->isChecked(), startOn);

        StdoutCapture capture;
        QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(toggle->height() / 2, toggle->height() / 2));
        const QString printed = capture.text();

        QCOMPARE(toggle->isChecked(), turnOn); // where the user put it
        QCOMPARE(row->launchAtLogin(), turnOn);
        QVERIFY(!ctx()->hasChanges());
        // (What the entry holds is the login item's test.)
        QCOMPARE(QFileInfo::exists(XdgAutostartLoginItem::autostartFilePath()), entryAfter);
        if (output.isEmpty()) {
            QCOMPARE(printed, QString());
        } else {
            QCOMPARE(printed.count(QLatin1Char('\n')), 1);
            QVERIFY2(printed.startsWith(output), qPrintable(printed));
        }
    }

    // --- Profiles ------------------------------------------------------

    // The new-profile sheet adds what was typed (Return or Enter in any
    // field), or nothing (Escape, or the window closing under it).
    void newProfileSheet_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("apps");
        QTest::addColumn<QString>("sites");
        QTest::addColumn<QString>("pressIn");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("storedName"); // empty: nothing added
        QTest::addColumn<QStringList>("storedApps");
        QTest::addColumn<QStringList>("storedSites");
        const QString none;
        const QString name = QStringLiteral("name");
        QTest::newRow("Return with every field empty")
            << none << 0 << none << none << name << int(Qt::Key_Return) << QStringLiteral("New Profile")
            << QStringList() << QStringList();
        QTest::newRow("Return in a list field adds")
            << QStringLiteral("Work") << 2 << QStringLiteral("a.b")
            << QStringLiteral("news.example, social.example") << QStringLiteral("sites")
            << int(Qt::Key_Return) << QStringLiteral("Work") << QStringList{"a.b"}
            << QStringList{"news.example", "social.example"};
        QTest::newRow("spaces stay a name")
            << QStringLiteral("   ") << 1 << none << none << name << int(Qt::Key_Enter)
            << QStringLiteral("   ") << QStringList() << QStringList();
        QTest::newRow("Escape adds nothing")
            << QStringLiteral("Gone") << 0 << QStringLiteral("x.y") << none << name << int(Qt::Key_Escape)
            << none << QStringList() << QStringList();
        QTest::newRow("Escape from a list field")
            << QStringLiteral("Gone") << 0 << QStringLiteral("x.y") << none << QStringLiteral("apps")
            << int(Qt::Key_Escape) << none << QStringList() << QStringList();
    }
    void newProfileSheet()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, apps);
        QFETCH(QString, sites);
        QFETCH(QString, pressIn);
        QFETCH(int, key);
        QFETCH(QString, storedName);
        QFETCH(QStringList, storedApps);
        QFETCH(QStringList, storedSites);
        const bool added = !storedName.isEmpty();

        ProfilesSettings page(m_model.get());
        QVERIFY(showActive(&page));
        QVERIFY(page.isEmptyStateShown());
        QTest::mouseClick(page.newProfileButton(), Qt::LeftButton);
        NewProfileSheet *sheet = page.sheet();
        QVERIFY(page.isSheetShowing() && sheet);
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        QTest::keyClicks(sheet->nameField(), name);
        sheet->modePicker()->setCurrentIndex(mode);
        QTest::keyClicks(sheet->blockedAppsField(), apps);
        QTest::keyClicks(sheet->blockedWebsitesField(), sites);
        QWidget *target = pressIn == QLatin1String("name")   ? static_cast<QWidget *>(sheet->nameField())
                          : pressIn == QLatin1String("apps") ? sheet->blockedAppsField()
                                                             : sheet->blockedWebsitesField();
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));

        QVERIFY(!page.isSheetShowing());
        QTRY_VERIFY(!page.sheet());
        QCoreApplication::processEvents();
        const QList<AppLockProfile *> profiles = m_model->lockProfiles();
        QCOMPARE(profiles.size(), added ? 1 : 0);
        QCOMPARE(page.isEmptyStateShown(), !added);
        if (!added)
            return;
        const AppLockProfile *profile = profiles.first();
        QCOMPARE(profile->name(), storedName);
        QCOMPARE(profile->blockedApps(), storedApps);
        QCOMPARE(profile->blockedWebsites(), storedSites);
        QCOMPARE(profile->mode(), allCases<LockMode>().at(mode));
        QCOMPARE(m_model->selection(), std::optional(profile->id()));
        QVERIFY(!ctx()->hasChanges());
        QTRY_COMPARE(page.list()->count(), 1);

        // The next sheet starts empty.
        page.setSheetShowing(true);
        QVERIFY(page.sheet()->nameField()->text().isEmpty());
        QVERIFY(page.sheet()->blockedAppsField()->toPlainText().isEmpty());
        page.sheet()->cancel();
        QVERIFY(!page.isSheetShowing());

        // Closing the window takes an open sheet with it, adding nothing.
        page.setSheetShowing(true);
        QTest::keyClicks(page.sheet()->nameField(), QStringLiteral("Half done"));
        page.close();
        QVERIFY(!page.isSheetShowing());
        QTRY_VERIFY(!page.sheet());
        QCOMPARE(m_model->lockProfiles().size(), 1);
    }

    void deletingProfiles_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("selectRows");
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("the last one") << 1 << QList<int>{0} << QStringList();
        QTest::newRow("first and last of three") << 3 << QList<int>{0, 2} << QStringList{"P1"};
        QTest::newRow("the middle one") << 3 << QList<int>{1} << QStringList{"P2", "P0"};
    }
    void deletingProfiles()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, selectRows);
        QFETCH(QStringList, remaining);
        for (int i = 0; i < count; ++i)
            addProfile(QStringLiteral("P%1").arg(i), 100 - i); // P0 oldest
        ctx()->save();
        ProfilesSettings page(m_model.get());
        QVERIFY(showActive(&page));
        QCOMPARE(page.profiles(), m_model->lockProfiles()); // as the main window lists them
        QCOMPARE(page.list()->item(0)->text(), QStringLiteral("P%1").arg(count - 1));

        page.list()->clearSelection();
        for (int row : selectRows)
            page.list()->item(row)->setSelected(true);
        page.list()->setFocus();
        QTest::keyClick(page.list(), Qt::Key_Delete);
        QVERIFY(!ctx()->hasChanges());
        QCoreApplication::processEvents();
        QStringList names;
        for (const AppLockProfile *p : page.profiles())
            names.append(p->name());
        QCOMPARE(names, remaining);
        QCOMPARE(page.list()->count(), remaining.size());
        QCOMPARE(page.isEmptyStateShown(), remaining.isEmpty());
        QCOMPARE(page.list()->isHidden(), remaining.isEmpty());
        openStore();
        QCOMPARE(ctx()->fetchCount<AppLockProfile>(), remaining.size());
    }

    // --- Appearance ----------------------------------------------------

    // One swatch per theme, the stored one dotted; an id that names no
    // theme reads as the system accent (and is kept until the user picks).
    void swatches_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("dotted");
        QTest::addColumn<QString>("caption");
        QTest::newRow("system") << QStringLiteral("system") << QStringLiteral("system")
                                << QStringLiteral("System");
        QTest::newRow("an id from elsewhere")
            << QStringLiteral("sepia") << QString() << QStringLiteral("System");
        QTest::newRow("wrong letter case") << QStringLiteral("Blue") << QString() << QStringLiteral("System");
        QTest::newRow("teal") << QStringLiteral("teal") << QStringLiteral("teal") << QStringLiteral("Teal");
    }
    void swatches()
    {
        QFETCH(QString, stored);
        QFETCH(QString, dotted);
        QFETCH(QString, caption);
        UserDefaults::open()->setValue(QLatin1StringView(ThemeStore::kAccentKey), stored);
        ThemeStore store(m_appearance.get());
        AppearanceSettings page(&store);
        page.show();
        QCOMPARE(page.swatches().size(), Theme::all().size());
        for (AccentSwatch *swatch : page.swatches()) {
            QCOMPARE(swatch->selected(), swatch->theme().id == dotted);
            QCOMPARE(swatch->isChecked(), swatch->selected()); // the "selected" trait
            // The dot is drawn on the chosen swatch only.
            const QRgb centre = rgb(swatch->grab().toImage().pixelColor(8, 8));
            if (swatch->selected())
                QCOMPARE(centre, rgb(AccentSwatch::dotColor(swatch->theme())));
            else if (!swatch->theme().isSystem())
                QCOMPARE(centre, swatch->theme().shades->base);
        }
        QCOMPARE(page.themeNameLabel()->text(), caption);
        QCOMPARE(store.themeID(), stored);
    }

    // A click on a swatch chooses its theme (retinting the windows and
    // saving the choice is the theme store's, tested with it); on yellow,
    // the dot and the preview's text on the accent are dark. A click
    // outside the circle is not a click.
    void choosingASwatch()
    {
        ThemeStore store(m_appearance.get());
        QWidget settingsWindow;
        new Themed(&settingsWindow, &store);
        auto *layout = new QVBoxLayout(&settingsWindow);
        auto *page = new AppearanceSettings(&store, &settingsWindow);
        layout->addWidget(page);
        settingsWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow));

        AccentSwatch *yellow = page->findChild<AccentSwatch *>(QStringLiteral("swatch-yellow"));
        QVERIFY(yellow && !yellow->selected());
        QTest::mouseClick(yellow, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(store.themeID(), QStringLiteral("yellow"));
        QVERIFY(yellow->selected());
        QCOMPARE(rgb(yellow->grab().toImage().pixelColor(8, 8)), AccentSwatch::kDarkDot);

        // The preview's selected row: accent fill with dark text on it.
        QCOMPARE(rgb(AccentPreview::onAccentColor(Theme::forID(u"yellow"))), AccentSwatch::kDarkDot);
        const QImage preview = page->preview()->grab().toImage();
        bool darkOnAccent = false;
        for (int x = 8; x < AccentPreview::kSidebarWidth - 8 && !darkOnAccent; ++x)
            for (int y = 8; y < 8 + AccentPreview::kSidebarRowHeight && !darkOnAccent; ++y)
                darkOnAccent = rgb(preview.pixelColor(x, y)) == AccentSwatch::kDarkDot;
        QVERIFY(darkOnAccent);
        QCOMPARE(rgb(preview.pixelColor(AccentPreview::kSidebarWidth - 12, 12)), 0xF5B800u);

        AccentSwatch *blue = page->findChild<AccentSwatch *>(QStringLiteral("swatch-blue"));
        QTest::mouseClick(blue, Qt::LeftButton, {}, QPoint(1, 1)); // (0, 0) would mean the centre
        QCOMPARE(store.themeID(), QStringLiteral("yellow"));
    }

    // --- Statistics ----------------------------------------------------

    // The overview's figures: completed sessions only (not those ended
    // early, nor one still running), the streak in orange while it runs.
    void statsOverview_data()
    {
        QTest::addColumn<QString>("sessions");
        // Total sessions, focus time, current and longest streak, ended early, all focus time.
        QTest::addColumn<QStringList>("figures");
        QTest::addColumn<bool>("orange");
        QTest::addColumn<bool>("empty");
        QTest::newRow("none") << QString() << QStringList{"0", "0m", "0 days", "0 days", "0", "0m"} << false
                              << true;
        QTest::newRow("only ended early")
            << QStringLiteral("early") << QStringList{"0", "0m", "0 days", "0 days", "1", "5m"} << false
            << true;
        QTest::newRow("one today, one ended early, one running")
            << QStringLiteral("today") << QStringList{"1", "25m", "1 day", "1 day", "1", "30m"} << true
            << false;
        QTest::newRow("three on one day long ago")
            << QStringLiteral("threeOld") << QStringList{"3", "1h 15m", "0 days", "1 day", "0", "1h 15m"}
            << false << false;
    }
    void statsOverview()
    {
        QFETCH(QString, sessions);
        QFETCH(QStringList, figures);
        QFETCH(bool, orange);
        QFETCH(bool, empty);
        auto *screen = ctx()->insert(std::make_unique<FocusScreen>(QStringLiteral("Deep Work"), 1500.0));
        const QDateTime now = QDateTime::currentDateTime();
        if (sessions == QLatin1String("early")) {
            addSession(screen->uuid(), now.addSecs(-600), 300, false);
        } else if (sessions == QLatin1String("today")) {
            addSession(screen->uuid(), now.addSecs(-1600), 1500, true);
            addSession(screen->uuid(), now.addSecs(-600), 300, false);
            addSession(screen->uuid(), now.addSecs(-60), std::nullopt, false); // still running
        } else if (sessions == QLatin1String("threeOld")) {
            const QDateTime old = now.addDays(-30);
            for (int i = 0; i < 3; ++i)
                addSession(screen->uuid(), QDateTime(old.date(), QTime(9 + i, 0)), 1500, true);
        }
        StatsSettings page(m_model.get());
        page.show();
        const QStringList shown{page.totalSessionsValue()->text(), page.totalFocusTimeValue()->text(),
                                page.currentStreakValue()->text(), page.longestStreakValue()->text(),
                                page.endedEarlyValue()->text(),    page.allFocusTimeValue()->text()};
        QCOMPARE(shown, figures);
        QLabel *streak = page.currentStreakValue();
        if (orange)
            QCOMPARE(streak->palette().color(streak->foregroundRole()), TextStyles::orange(page.palette()));
        else
            QCOMPARE(streak->foregroundRole(), QPalette::PlaceholderText);
        QCOMPARE(page.isEmptyStateShown(), empty);
    }

    void recentSessions()
    {
        // Thirteen completed sessions on different days, stored out of time
        // order, and some that ended early more recently: the ten most recent
        // completed are listed, newest first.
        QList<QUuid> screens;
        for (int i = 0; i < 12; ++i) {
            auto *screen = ctx()->insert(std::make_unique<FocusScreen>(QStringLiteral("S%1").arg(i), 600.0));
            screens.append(screen->uuid());
        }
        const auto daysAgo = [](int i) { return (i * 7) % 12 + 1; }; // 1 to 12, shuffled
        for (int i = 0; i < 12; ++i) {
            if (i % 4 == 1)
                addSession(screens[i], hoursAgo(1 + i), 60, false);
            addSession(screens[i], hoursAgo(24 * daysAgo(i)), 60.0 * (i + 1), true);
        }
        // The oldest, without a duration, whose screen is gone.
        auto *ghost = ctx()->insert(std::make_unique<FocusScreen>(QStringLiteral("Ghost"), 600.0));
        auto *orphan = addSession(ghost->uuid(), hoursAgo(24 * 13), std::nullopt, true);
        ctx()->remove(ghost);
        ctx()->save();

        StatsSettings page(m_model.get());
        QList<StatsSettings::RecentRow> rows = page.recentRows();
        QCOMPARE(rows.size(), StatsSettings::kRecentCount);
        for (int day = 1; day <= rows.size(); ++day) {
            int i = 0;
            while (daysAgo(i) != day)
                ++i;
            const auto &row = rows[day - 1];
            QCOMPARE(row.name, QStringLiteral("S%1").arg(i));
            QCOMPARE(row.duration, StatsSettings::formatDuration(60.0 * (i + 1)));
            QCOMPARE(row.day, StatsSettings::dayText(hoursAgo(24 * day)));
        }
        QCOMPARE(page.totalSessionsValue()->text(), QStringLiteral("13"));

        // Without the ten before it, the orphan shows as "Unknown" and
        // without a duration; the page follows the store live.
        const QList<FocusSession *> all = ctx()->fetch<FocusSession>();
        for (FocusSession *s : all)
            if (s != orphan)
                ctx()->remove(s);
        QTRY_COMPARE(page.totalSessionsValue()->text(), QStringLiteral("1"));
        rows = page.recentRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].name, QStringLiteral("Unknown"));
        QCOMPARE(rows[0].duration, QString());
    }

    // Days in the user's locale, on the list and under the chart (narrower
    // when space is short).
    void dayText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("English (US)") << QStringLiteral("en_US") << QStringLiteral("June 10, 2026");
        QTest::newRow("German") << QStringLiteral("de_DE") << QStringLiteral("10. Juni 2026");
    }
    void dayText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(StatsSettings::dayText(QDateTime(QDate(2026, 6, 10), QTime(12, 0)), QLocale(locale)), text);
        FocusChart chart;
        chart.setLocale(QLocale(locale));
        const QDate wednesday(2026, 6, 10);
        QCOMPARE(chart.dayLabel(wednesday, 200), QLocale(locale).standaloneDayName(3, QLocale::ShortFormat));
        QCOMPARE(chart.dayLabel(wednesday, 1), QLocale(locale).standaloneDayName(3, QLocale::NarrowFormat));
    }

    // The chart shows the last fourteen days of completed sessions from the
    // store, today last (which days count is the statistics' test).
    void chartShowsTheLastFourteenDays()
    {
        const QDateTime now = QDateTime::currentDateTime();
        addSession({}, QDateTime(now.date(), QTime(0, 30)), 1800, true);
        addSession({}, QDateTime(now.date().addDays(-13), QTime(12, 0)), 3600, true);
        StatsSettings page(m_model.get());
        const auto &days = page.chart()->days();
        QCOMPARE(days.size(), StatsSettings::kChartDays);
        QCOMPARE(days.last().day, now.date());
        QCOMPARE(days.last().minutes, 30.0);
        QCOMPARE(days.first().minutes, 60.0);
    }

    void chartBarsUseTheAccent()
    {
        QWidget window;
        ThemeStore store(m_appearance.get());
        store.setThemeID(QStringLiteral("red"));
        new Themed(&window, &store);
        auto *layout = new QVBoxLayout(&window);
        auto *chart = new FocusChart(&window);
        layout->addWidget(chart);
        chart->setDays({{QDate(2026, 6, 9), 0}, {QDate(2026, 6, 10), 45}});
        window.resize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = chart->grab().toImage();
        const QRectF tall = chart->barSlot(1);
        QCOMPARE(rgb(image.pixelColor(tall.center().toPoint())), 0xE11D48u);
        QVERIFY(rgb(image.pixelColor(chart->barSlot(0).center().toPoint())) != 0xE11D48u);
        QCOMPARE(chart->barAt(tall.center().toPoint()), 1);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
