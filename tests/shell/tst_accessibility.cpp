// SPDX-License-Identifier: MIT
// What a screen reader and a keyboard user meet on every page: each control
// and each painted item names itself, values are spoken and follow changes,
// and Tab walks the main window with a visible focus.
#include "Accessible.h"
#include "AppChooser.h"
#include "AppLockProfile.h"
#include "AppModel.h"
#include "Appearance.h"
#include "ContentView.h"
#include "DurationPicker.h"
#include "ExitChallenge.h"
#include "FakeAppCatalogue.h"
#include "FocusChart.h"
#include "FocusOverlayView.h"
#include "FocusScreen.h"
#include "FocusScreenDetail.h"
#include "FocusScreenList.h"
#include "FocusSession.h"
#include "GridProbes.h"
#include "MainWindow.h"
#include "MenuBarPopover.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "SettingsView.h"
#include "Sidebar.h"
#include "Store.h"
#include "ThemeStore.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QLabel>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The roles a user acts on or reads as a control; each needs a name.
bool needsName(QAccessibleInterface *iface)
{
    static const QSet<QAccessible::Role> controls{
        QAccessible::Button,        QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText,  QAccessible::Slider,   QAccessible::SpinBox,     QAccessible::Dial,
        QAccessible::List,          QAccessible::ListItem, QAccessible::Table,       QAccessible::Tree,
        QAccessible::TreeItem,      QAccessible::Row,      QAccessible::Cell,        QAccessible::PageTab,
        QAccessible::Chart,         QAccessible::Clock,    QAccessible::ProgressBar, QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown};
    auto *widget = qobject_cast<QWidget *>(iface->object());
    if (iface->role() == QAccessible::Graphic)
        return !(widget && Accessible::isDecorative(widget));
    // A label speaks its text; a painted text must be named.
    if (iface->role() == QAccessible::StaticText)
        return widget && !qobject_cast<QLabel *>(widget);
    return controls.contains(iface->role());
}

QString describe(QAccessibleInterface *iface)
{
    const char *role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(iface->role());
    QString out = QString::fromLatin1(role ? role : "?");
    if (QObject *object = iface->object()) {
        out += QLatin1Char(' ') + QString::fromLatin1(object->metaObject()->className());
        if (!object->objectName().isEmpty())
            out += QLatin1Char('#') + object->objectName();
    }
    return out;
}

void walk(QAccessibleInterface *iface, const QString &path, QStringList &unnamed, QSet<int> &roles, int depth)
{
    if (!iface || !iface->isValid() || depth > 64 || iface->state().invisible)
        return;
    roles.insert(iface->role());
    const QString here = path + QStringLiteral(" / ") + describe(iface);
    if (needsName(iface) && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed.append(here);
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), here, unnamed, roles, depth + 1);
}

// Every control of the window without a name, each as its path in the tree;
// `roles` collects the roles met on the way.
QStringList unnamedControls(QWidget *window, QSet<int> *roles = nullptr)
{
    QStringList unnamed;
    QSet<int> met;
    walk(QAccessible::queryAccessibleInterface(window), QString(), unnamed, met, 0);
    if (roles)
        *roles = met;
    return unnamed;
}

struct Scratch
{
    QTemporaryDir dir;
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<AppModel> model;
    Appearance appearance;
    ThemeStore themes{&appearance};
    GridProbes probes;
    FocusScreen *screen = nullptr;
    AppLockProfile *profile = nullptr;

    Scratch()
    {
        QString error;
        container =
            ModelContainer::open(dir.filePath(QStringLiteral("Lumora.store")), Store::schema(), &error);
        if (!container)
            qFatal("cannot open scratch store: %s", qPrintable(error));
        model = std::make_unique<AppModel>(container.get());
        ModelContext *context = model->context();
        screen = context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Deep Work"), 1500.0, QStringList{QStringLiteral("firefox-esr")}, QStringList{},
            LockMode::hideApps, true, 0, true, StrictModeType::sentence, QStringLiteral("I will focus")));
        context->insert(std::make_unique<FocusScreen>(QStringLiteral("Reading"), 600.0));
        profile = context->insert(std::make_unique<AppLockProfile>(QStringLiteral("Social"),
                                                                   QStringList{QStringLiteral("discord")},
                                                                   QStringList{}, LockMode::overlay));
        auto *session = context->insert(
            std::make_unique<FocusSession>(screen->uuid(), QDateTime::currentDateTime().addSecs(-3600)));
        session->setActualDuration(1500.0);
        session->setCompleted(true);
        context->save();
    }
};

QString failures(const QStringList &unnamed)
{
    return QStringLiteral("controls without a name:\n  ") + unnamed.join(QStringLiteral("\n  "));
}

// The main window, active, showing the first focus screen's editor.
std::unique_ptr<MainWindow> focusScreenPage(Scratch &s)
{
    auto window = std::make_unique<MainWindow>(s.model.get(), &s.themes, &s.probes, nullptr);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main window did not become active");
    s.model->setSidebar(SidebarItem::focusScreens);
    s.model->setSelection(s.screen->id());
    QCoreApplication::processEvents();
    return window;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QAccessible::setActive(true); }

    void mainWindowPages_data()
    {
        QTest::addColumn<SidebarItem>("page");
        for (SidebarItem page : allCases<SidebarItem>())
            QTest::newRow(qPrintable(rawValue(page))) << page;
    }
    void mainWindowPages()
    {
        QFETCH(SidebarItem, page);
        Scratch s;
        MainWindow window(s.model.get(), &s.themes, &s.probes, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        s.model->setSidebar(page);
        if (page == SidebarItem::focusScreens)
            s.model->setSelection(s.screen->id());
        else if (page == SidebarItem::profiles)
            s.model->setSelection(s.profile->id());
        QCoreApplication::processEvents();
        QSet<int> roles;
        const QStringList unnamed = unnamedControls(&window, &roles);
        QVERIFY2(unnamed.isEmpty(), qPrintable(failures(unnamed)));
        // The walk reaches the rows the pages paint.
        QVERIFY(roles.contains(QAccessible::ListItem));
        if (page == SidebarItem::focusScreens) {
            QVERIFY(roles.contains(QAccessible::SpinBox));
            QVERIFY(roles.contains(QAccessible::EditableText));
        }
    }

    void settingsPages_data()
    {
        QTest::addColumn<SettingsTab>("tab");
        for (SettingsTab tab : allCases<SettingsTab>())
            QTest::newRow(qPrintable(rawValue(tab))) << tab;
    }
    void settingsPages()
    {
        QFETCH(SettingsTab, tab);
        Scratch s;
        SettingsView view(s.model.get(), &s.themes);
        s.model->setSettingsTab(tab);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCoreApplication::processEvents();
        const QStringList unnamed = unnamedControls(&view);
        QVERIFY2(unnamed.isEmpty(), qPrintable(failures(unnamed)));
    }

    // The rows say what each screen is: its name, length and lock mode.
    void popover()
    {
        Scratch s;
        MenuBarPopover popover(s.model.get(), &s.themes, {});
        popover.showAt(QRect(100, 0, 20, 20));
        QVERIFY(QTest::qWaitForWindowExposed(&popover));
        QCOMPARE(popover.rows().size(), 2);
        const QStringList unnamed = unnamedControls(&popover);
        QVERIFY2(unnamed.isEmpty(), qPrintable(failures(unnamed)));
        QAccessibleInterface *row = QAccessible::queryAccessibleInterface(popover.rows().first());
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("Deep Work, 25 minutes, Hide Apps"));
        popover.close();
    }

    void overlay_data()
    {
        QTest::addColumn<bool>("strict");
        QTest::addColumn<StrictModeType>("type");
        QTest::newRow("emergency exit") << false << StrictModeType::none;
        QTest::newRow("sentence challenge") << true << StrictModeType::sentence;
        QTest::newRow("math challenge") << true << StrictModeType::math;
        QTest::newRow("password challenge") << true << StrictModeType::password;
    }
    void overlay()
    {
        QFETCH(bool, strict);
        QFETCH(StrictModeType, type);
        FocusOverlayContent content;
        content.screenName = QStringLiteral("Deep Work");
        content.duration = 1500;
        content.remainingTime = 300;
        content.allowedApps = {QStringLiteral("org.gnome.Nautilus")};
        content.strictModeEnabled = strict;
        content.strictModeType = type;
        content.strictModeSentence = QStringLiteral("I will focus");
        content.strictModeAnswer = QStringLiteral("secret");
        FocusOverlayView view(content);
        view.resize(1024, 768);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QStringList unnamed = unnamedControls(&view);
        QVERIFY2(unnamed.isEmpty(), qPrintable(failures(unnamed)));
        if (strict) {
            view.challenge()->openChallenge();
            QCoreApplication::processEvents();
            unnamed = unnamedControls(&view);
            QVERIFY2(unnamed.isEmpty(), qPrintable(failures(unnamed)));
        }
    }

    // The countdown is read as "Time remaining" with the time as its value,
    // in words and in seconds, following every new second.
    void countdownValueFollowsTheTime()
    {
        FocusOverlayContent content;
        content.screenName = QStringLiteral("Deep Work");
        content.duration = 1500;
        content.remainingTime = 300;
        FocusOverlayView view(content);
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *label = view.findChild<QWidget *>(QStringLiteral("countdown"));
        QVERIFY(label);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Time remaining"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("05:00"));

        QAccessibleValueInterface *value = iface->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toDouble(), 300.0);
        view.setRemainingTime(299.4);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("04:59"));
        QCOMPARE(value->currentValue().toDouble(), 299.0);
        QCOMPARE(value->maximumValue().toDouble(), 1500.0);
    }

    // The duration picker is a spin box over minutes whose value is spoken
    // as a length; a tool may set it, within the range.
    void durationPickerIsASpinBox()
    {
        DurationPicker picker;
        picker.setDuration(1500);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&picker);
        QCOMPARE(iface->role(), QAccessible::SpinBox);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Duration"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("25 minutes"));
        QAccessibleValueInterface *value = iface->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toDouble(), 25.0);
        QCOMPARE(value->minimumValue().toDouble(), double(DurationPicker::kMinimumMinutes));
        QCOMPARE(value->maximumValue().toDouble(), double(DurationPicker::kMaximumMinutes));
        QSignalSpy edited(&picker, &DurationPicker::durationEdited);
        value->setCurrentValue(500);
        QCOMPARE(picker.duration(), DurationPicker::kMaximumMinutes * 60.0);
        QCOMPARE(edited.size(), 1);
        picker.stepDown();
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("1 hour 59 minutes"));
    }

    // The chart names itself and lists every day's time in its description.
    void chartDescribesItsDays()
    {
        FocusChart chart;
        chart.setLocale(QLocale::c());
        const QDate today(2025, 3, 10);
        chart.setDays({{today.addDays(-1), 30}, {today, 90}});
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&chart);
        QCOMPARE(iface->role(), QAccessible::Chart);
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
        const QString description = iface->text(QAccessible::Description);
        QVERIFY2(description.contains(QStringLiteral("30m")) &&
                     description.contains(QStringLiteral("1h 30m")),
                 qPrintable(description));
    }

    void appChooser()
    {
        DesktopEntry files{QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Files"), {}, {}, {}, {}};
        DesktopEntry browser{QStringLiteral("firefox-esr"), QStringLiteral("Firefox ESR"), {}, {}, {}, {}};
        FakeAppCatalogue catalogue({files, browser});
        AppChooser chooser(catalogue, {files, browser}, {QStringLiteral("firefox-esr")});
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        const QStringList unnamed = unnamedControls(&chooser);
        QVERIFY2(unnamed.isEmpty(), qPrintable(failures(unnamed)));
    }

    // From the sidebar, Tab goes to the list, then through the editor's
    // fields (the duration picker among them) and back round.
    void tabWalksTheFocusScreenPage()
    {
        Scratch s;
        const auto window = focusScreenPage(s);
        QVERIFY(window->isActiveWindow());
        ContentView *content = window->content();
        content->sidebar()->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(content->sidebar()->hasFocus());

        QList<QWidget *> order;
        for (int i = 0; i < 60; ++i) {
            QWidget *focused = QApplication::focusWidget();
            QVERIFY(focused);
            if (order.contains(focused))
                break;
            order.append(focused);
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QStringList names;
        for (QWidget *w : order)
            names << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                : w->objectName());
        const qsizetype list = order.indexOf(content->focusScreenList()->findChild<QAbstractItemView *>());
        auto *picker = content->focusScreenDetail()->findChild<DurationPicker *>();
        const qsizetype duration = order.indexOf(picker);
        QVERIFY2(order.first() == content->sidebar(), qPrintable(names.join(u' ')));
        QVERIFY2(list == 1, qPrintable(names.join(u' ')));
        QVERIFY2(duration > list, qPrintable(names.join(u' ')));
        // Every widget reached is one the user can see and act on.
        for (QWidget *w : std::as_const(order))
            QVERIFY2(w->isVisible() && w->isEnabled(), qPrintable(names.join(u' ')));
    }

    // A focused custom control looks different from an unfocused one.
    void focusIsVisible_data()
    {
        QTest::addColumn<QString>("which");
        QTest::newRow("sidebar") << QStringLiteral("sidebar");
        QTest::newRow("focus screen list") << QStringLiteral("list");
        QTest::newRow("duration picker") << QStringLiteral("duration");
    }
    void focusIsVisible()
    {
        QFETCH(QString, which);
        Scratch s;
        const auto window = focusScreenPage(s);
        QVERIFY(window->isActiveWindow());
        ContentView *content = window->content();
        QWidget *target = nullptr;
        if (which == QLatin1String("sidebar"))
            target = content->sidebar();
        else if (which == QLatin1String("list"))
            target = content->focusScreenList()->findChild<QAbstractItemView *>();
        else
            target = content->focusScreenDetail()->findChild<DurationPicker *>();
        QVERIFY(target);
        window->setFocus();
        QTRY_VERIFY(!target->hasFocus());
        const QImage plain = target->grab().toImage();
        target->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(target->hasFocus());
        const QImage focused = target->grab().toImage();
        QVERIFY(plain != focused);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
