// SPDX-License-Identifier: MIT
// Widget tests of the main window's content, driven the way a user drives
// it: clicks, context menus, typing, steppers. Each test works on a real
// SQLite store in a scratch folder.
#include "Accessible.h"
#include "AppChips.h"
#include "AppChooser.h"
#include "AppLockProfile.h"
#include "AppLockProfileDetail.h"
#include "AppLockProfileList.h"
#include "AppLockProfileListModel.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "Appearance.h"
#include "CommaListEdit.h"
#include "ContentView.h"
#include "DurationPicker.h"
#include "EmptyStatePanel.h"
#include "EnumComboBox.h"
#include "FocusScreen.h"
#include "FocusScreenDetail.h"
#include "FocusScreenList.h"
#include "FocusScreenListModel.h"
#include "FocusSession.h"
#include "FocusSessionDetail.h"
#include "FocusSessionList.h"
#include "FocusSessionListModel.h"
#include "GridProbes.h"
#include "GrowingTextEdit.h"
#include "LockModeBadge.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "OptionalText.h"
#include "PlatformServices.h"
#include "RoundLimits.h"
#include "ScheduleEditor.h"
#include "SettingsPlaceholder.h"
#include "Sidebar.h"
#include "Store.h"
#include "Theme.h"
#include "ThemeStore.h"
#include "Themed.h"
#include "Translations.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <memory>

namespace {

// The applications of the XDG folders the test points at, read as the
// program reads them.
const AppCatalogue &installedApplications()
{
    static const std::unique_ptr<AppCatalogue> catalogue =
        PlatformServices::forThisDesktop()->makeAppCatalogue();
    return *catalogue;
}

// A scratch store, its model and a 1100 x 720 main window showing the content,
// with an appearance, theme store and layout probes of its own.
struct Fixture
{
    Appearance appearance;
    ThemeStore themes{&appearance};
    GridProbes probes;
    QTemporaryDir dir;
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<QMainWindow> window;
    ContentView *content = nullptr;

    explicit Fixture(bool show = true)
    {
        QString error;
        container = ModelContainer::open(path(), Store::schema(), &error);
        if (!container)
            qFatal("cannot open scratch store: %s", qPrintable(error));
        model = std::make_unique<AppModel>(container.get());
        window = std::make_unique<QMainWindow>();
        content = new ContentView(model.get(), &themes, &probes, &installedApplications());
        window->setCentralWidget(content);
        content->populateToolBar(window->addToolBar(QStringLiteral("Main")));
        window->resize(1100, 720);
        if (show) {
            window->show();
            QApplication::setActiveWindow(window.get());
            if (!QTest::qWaitForWindowExposed(window.get()))
                qWarning("the window was not exposed");
        }
    }

    QString path() const { return dir.filePath(QStringLiteral("Lumora.store")); }
    ModelContext *context() const { return model->context(); }

    // Lets the coalesced change notices (queued to the event loop) and the
    // live queries they update run, and the widgets they retired go.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    FocusScreen *addScreen(const QString &name, double duration = 600)
    {
        auto *s = context()->insert(std::make_unique<FocusScreen>(name, duration));
        settle();
        return s;
    }

    FocusScreenList *screenList()
    {
        model->setSidebar(SidebarItem::focusScreens);
        return content->focusScreenList();
    }
    FocusScreenDetail *screenDetail()
    {
        model->setSidebar(SidebarItem::focusScreens);
        return content->focusScreenDetail();
    }

    // Selects the screen and returns its editor.
    FocusScreenDetail *edit(const FocusScreen *screen)
    {
        model->setSelection(screen->id());
        return screenDetail();
    }

    template<typename W> W *field(QWidget *root, const char *name)
    {
        return root->findChild<W *>(QLatin1String(name));
    }

    // Opens the row's context menu and chooses the item with that text.
    static bool chooseFromMenu(RecordList *list, int row, const QString &text)
    {
        std::unique_ptr<QMenu> menu(list->contextMenu(list->listModel()->index(row), list));
        if (!menu)
            return false;
        for (QAction *action : menu->actions()) {
            if (action->text() == text) {
                action->trigger();
                settle();
                return true;
            }
        }
        return false;
    }

    // A second, independent container on the same file: what is on disk.
    std::unique_ptr<ModelContainer> reopen() const
    {
        QString error;
        return ModelContainer::open(path(), Store::schema(), &error);
    }
};

void typeInto(QWidget *field, const QString &text)
{
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, text);
    Fixture::settle();
}

void clearField(QWidget *field)
{
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    Fixture::settle();
}

// Ends editing the way a user does: the focus moves on.
void leaveField(QWidget *field)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
    Fixture::settle();
}

void clickRow(QAbstractItemView *view, int row)
{
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

// Chooses a picker entry with the keyboard (Home, then Down; entries that
// cannot be chosen are passed over).
void choose(QComboBox *combo, int index)
{
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < combo->count() && combo->currentIndex() < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    Fixture::settle();
}

// Sets an environment variable until the returned guard goes.
auto setEnv(const char *name, const QByteArray &value)
{
    std::optional<QByteArray> old;
    if (qEnvironmentVariableIsSet(name))
        old = qgetenv(name);
    qputenv(name, value);
    return qScopeGuard([name, old] {
        if (old)
            qputenv(name, *old);
        else
            qunsetenv(name);
    });
}

bool shown(const QWidget *widget, const QWidget *root)
{
    return widget && widget->isVisibleTo(root);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // As the program does: English, with its plural forms ("1 blocked app").
    void initTestCase() { QVERIFY(!Translations::install(QLocale(QLocale::English, QLocale::UnitedStates))); }
    void init() { GridProbes::setEnabledOverride(false); }
    void cleanup()
    {
        GridProbes::setEnabledOverride(std::nullopt);
        AppChooser::setResponder({});
    }

    // ---- Layout probes and grid ---------------------------------------------

    void gridEnabledFromEnvironment_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("nothing set") << QStringList() << false;
        QTest::newRow("APP_GRID=1") << QStringList{"APP_GRID=1"} << true;
        QTest::newRow("APP_GRID=true") << QStringList{"APP_GRID=true"} << false;
        QTest::newRow("APP_GRID=0") << QStringList{"APP_GRID=0"} << false;
        QTest::newRow("APP_GRID= 1") << QStringList{"APP_GRID= 1"} << false;
        QTest::newRow("APP_SNAPSHOT set") << QStringList{"APP_SNAPSHOT=/tmp/shots"} << true;
        QTest::newRow("APP_SNAPSHOT overrides APP_GRID=0")
            << QStringList{"APP_SNAPSHOT=/tmp/s", "APP_GRID=0"} << true;
    }
    void gridEnabledFromEnvironment()
    {
        QFETCH(QStringList, variables);
        QFETCH(bool, enabled);
        QProcessEnvironment env;
        for (const QString &v : variables)
            env.insert(v.section(u'=', 0, 0), v.section(u'=', 1));
        QCOMPARE(GridProbes::enabledIn(env), enabled);
    }

    void staleOwnerLeavesNewerProbe()
    {
        GridProbes probes;
        GridProbes::Probe p;
        p.name = p.area = QStringLiteral("focusScreenRow");
        const QUuid first = QUuid::createUuid();
        const QUuid second = QUuid::createUuid();
        probes.update(first, p);
        p.y = 40;
        probes.update(second, p);
        probes.remove(GridProbes::Kind::area, p.name, first);
        QCOMPARE(probes.probes().value(QStringLiteral("area:focusScreenRow")).y, 40.0);
        QCOMPARE(probes.owners().value(QStringLiteral("area:focusScreenRow")), second);
        probes.remove(GridProbes::Kind::area, p.name, second);
        QVERIFY(probes.probes().isEmpty());
        QVERIFY(probes.owners().isEmpty());
    }

    // The layout file lists the probes by area, then top to bottom and left
    // to right, so that two runs compare line by line; a file that cannot be
    // written is reported.
    void layoutFileIsSorted()
    {
        GridProbes probes;
        const auto add = [&](const char *area, double x, double y, std::optional<QString> edge) {
            GridProbes::Probe p;
            p.kind = edge ? GridProbes::Kind::probe : GridProbes::Kind::area;
            p.area = QString::fromLatin1(area);
            p.name = p.area + QString::number(x) + QString::number(y);
            p.edge = std::move(edge);
            p.x = x;
            p.y = y;
            probes.update(QUuid::createUuid(), p);
        };
        add("zeta", 0, 0, std::nullopt);
        add("alpha", 50, 10, QStringLiteral("leading"));
        add("alpha", 10, 10, std::nullopt);
        add("alpha", 0, 30, std::nullopt);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page-layout.json"));
        QVERIFY(probes.write(path, QSizeF(1100, 720)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(root.value("window").toObject().value("width").toDouble(), 1100.0);
        QStringList order;
        for (const QJsonValue &value : root.value("probes").toArray()) {
            const QJsonObject probe = value.toObject();
            order << QStringLiteral("%1 %2,%3 %4 %5")
                         .arg(probe.value("area").toString())
                         .arg(probe.value("x").toDouble())
                         .arg(probe.value("y").toDouble())
                         .arg(probe.value("kind").toString(),
                              probe.value("edge").toString(QStringLiteral("-")));
        }
        QCOMPARE(order, (QStringList{"alpha 10,10 area -", "alpha 50,10 probe leading", "alpha 0,30 area -",
                                     "zeta 0,0 area -"}));
        QVERIFY(!probes.write(dir.filePath(QStringLiteral("missing/dir/x.json")), QSizeF(1, 1)));
    }

    // With probes on, the focus screen row and editor report where they are
    // (window coordinates) and withdraw when their page goes; with them off
    // nothing is stored and no grid is drawn.
    void probesFollowTheFocusScreenPage_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }
    void probesFollowTheFocusScreenPage()
    {
        QFETCH(bool, enabled);
        GridProbes::setEnabledOverride(enabled);
        Fixture f;
        f.edit(f.addScreen(QStringLiteral("Work")));
        Fixture::settle();
        const auto &probes = f.probes.probes();
        const auto grid = [&f] { return f.content->findChild<QWidget *>(QStringLiteral("gridOverlay")); };
        if (!enabled) {
            QVERIFY(probes.isEmpty());
            QVERIFY(!grid());
            return;
        }
        QTRY_VERIFY(grid());
        QTRY_VERIFY(probes.contains(QStringLiteral("area:focusScreenRow")));
        QTRY_VERIFY(probes.contains(QStringLiteral("area:focusScreenDetail")));
        const GridProbes::Probe row = probes.value(QStringLiteral("area:focusScreenRow"));
        const GridProbes::Probe form = probes.value(QStringLiteral("area:focusScreenDetail"));
        QCOMPARE(row.inset, 20.0);
        QVERIFY(!row.edge);
        // The editor sits right of the sidebar and the list.
        const QRect listRect(f.content->focusScreenList()->mapTo(f.window.get(), QPoint()),
                             f.content->focusScreenList()->size());
        QVERIFY(listRect.contains(QPoint(int(row.x + 1), int(row.y + 1))));
        QVERIFY(form.x >= ContentView::kSidebarMinimumWidth + ContentView::kListMinimumWidth);
        QVERIFY(row.width > 0 && row.height > 0 && form.width > 0 && form.height > 0);

        f.model->setSidebar(SidebarItem::sessions);
        QTRY_VERIFY(!probes.contains(QStringLiteral("area:focusScreenRow")));
        QTRY_VERIFY(!probes.contains(QStringLiteral("area:focusScreenDetail")));
    }

    // ---- Window, sidebar, pages ---------------------------------------------

    // A click on a page's sidebar row shows that page: its own list (empty,
    // so with its empty state) and editor, and only its toolbar action. The
    // sidebar follows the model too; with no page it selects nothing.
    void pages_data()
    {
        QTest::addColumn<int>("page"); // -1: none
        QTest::addColumn<QString>("visibleAction");
        QTest::newRow("focusScreens") << int(SidebarItem::focusScreens) << "New Focus Screen";
        QTest::newRow("sessions") << int(SidebarItem::sessions) << QStringLiteral("Export\u2026");
        QTest::newRow("profiles") << int(SidebarItem::profiles) << "New Profile";
        QTest::newRow("settings") << int(SidebarItem::settings) << "Open Settings";
        QTest::newRow("none") << -1 << QString();
    }
    void pages()
    {
        QFETCH(int, page);
        QFETCH(QString, visibleAction);
        Fixture f;
        Sidebar *sidebar = f.content->sidebar();
        const auto selected = [sidebar] { return sidebar->selectedItems().value(0); };
        const SidebarItem other =
            page == int(SidebarItem::sessions) ? SidebarItem::settings : SidebarItem::sessions;
        f.model->setSidebar(other);
        Fixture::settle();
        QCOMPARE(selected(), sidebar->itemFor(int(other)));
        if (page < 0) {
            f.model->setSidebar(std::nullopt);
            QCOMPARE(selected(), nullptr);
        } else {
            clickRow(sidebar, sidebar->row(sidebar->itemFor(page)));
            QCOMPARE(f.model->sidebar(), std::optional(SidebarItem(page)));
        }
        Fixture::settle();

        const std::pair<QWidget *, QWidget *> expected[] = {
            {f.content->focusScreenList(), f.content->focusScreenDetail()},
            {f.content->sessionList(), f.content->sessionDetail()},
            {f.content->lockProfileList(), f.content->lockProfileDetail()},
            {f.content->settingsPlaceholder(), f.content->noSelectionPanel()},
            {f.content->noPagePanel(), f.content->noSelectionPanel()}};
        const auto [list, detail] = expected[page < 0 ? 4 : page];
        QVERIFY(list && detail);
        QCOMPARE(f.content->currentList(), list);
        QCOMPARE(f.content->currentDetail(), detail);
        if (auto *records = qobject_cast<RecordList *>(list))
            QVERIFY(shown(records->emptyState(), f.window.get()));
        if (auto *editor = qobject_cast<RecordDetail *>(detail))
            QVERIFY(!editor->showsForm());

        QStringList visible;
        for (QAction *action : f.content->toolbarActions())
            if (action->isVisible())
                visible << action->text();
        QCOMPARE(visible, visibleAction.isEmpty() ? QStringList() : QStringList{visibleAction});
        if (page == int(SidebarItem::settings)) {
            QSignalSpy settings(f.content, &ContentView::openSettingsRequested);
            f.content->openSettingsAction()->trigger();
            QCOMPARE(settings.count(), 1);
        }
    }

    void columnsKeepTheirWidths()
    {
        Fixture f;
        QSplitter *splitter = f.content->splitter();
        QCOMPARE(splitter->sizes().value(0), ContentView::kSidebarIdealWidth);
        QCOMPARE(splitter->sizes().value(1), ContentView::kListIdealWidth);
        f.window->setMinimumSize(760, 480);
        f.window->resize(760, 480);
        QTRY_VERIFY(f.window->width() <= 760 + 1);
        QVERIFY(splitter->sizes().value(0) >= ContentView::kSidebarMinimumWidth);
        QVERIFY(splitter->sizes().value(1) >= ContentView::kListMinimumWidth);
        // Dragging the handles cannot squeeze them either.
        splitter->setSizes({50, 50, 2000});
        QVERIFY(splitter->sizes().value(0) >= ContentView::kSidebarMinimumWidth);
        QVERIFY(splitter->sizes().value(1) >= ContentView::kListMinimumWidth);
    }

    void startupRunsSeedThenHooksEachShowing()
    {
        Fixture f(false);
        const auto seed = setEnv("APP_SEED", "1");
        const auto store = setEnv("APP_STORE", f.path().toUtf8());
        QStringList calls;
        f.content->setSelfTestHook([&](AppModel &model) {
            // The seed has run before the self-test.
            calls << QStringLiteral("selfTest:%1").arg(model.focusScreens().size());
        });
        std::function<void()> openSettings;
        f.content->setSnapshotHook([&](AppModel &, const std::function<void()> &open) {
            calls << QStringLiteral("snapshot");
            openSettings = open;
        });
        QSignalSpy started(f.content, &ContentView::started);
        f.window->show();
        QVERIFY(started.wait());
        QCOMPARE(calls, (QStringList{"selfTest:3", "snapshot"}));

        // The snapshot run opens the settings window through the content view.
        QSignalSpy settings(f.content, &ContentView::openSettingsRequested);
        openSettings();
        QCOMPARE(settings.count(), 1);

        // Closed and shown again: the start-up work runs again (the seed adds nothing twice).
        f.window->close();
        f.window->show();
        QVERIFY(started.wait());
        QCOMPARE(calls, (QStringList{"selfTest:3", "snapshot", "selfTest:3", "snapshot"}));
    }

    // ---- Focus screens -----------------------------------------------------

    // The empty state's button and the toolbar make a screen with the
    // settings' defaults, select it and put the focus in its name, the name
    // selected to be typed over.
    void createFocusScreen_data()
    {
        QTest::addColumn<int>("settingsDefault"); // -1: no settings row
        QTest::addColumn<LockMode>("defaultLockMode");
        QTest::addColumn<bool>("fromToolbar");
        QTest::newRow("no settings row, empty-state button") << -1 << LockMode::hideApps << false;
        QTest::newRow("default math, overlay, toolbar")
            << int(StrictModeType::math) << LockMode::overlay << true;
        QTest::newRow("default password, prevent launch, empty-state button")
            << int(StrictModeType::password) << LockMode::preventLaunch << false;
    }
    void createFocusScreen()
    {
        QFETCH(int, settingsDefault);
        QFETCH(LockMode, defaultLockMode);
        QFETCH(bool, fromToolbar);
        Fixture f;
        if (settingsDefault >= 0) {
            auto *row = f.context()->insert(std::make_unique<AppSettings>());
            row->setDefaultStrictModeType(StrictModeType(settingsDefault));
            row->setDefaultLockMode(defaultLockMode);
        }
        FocusScreenList *list = f.screenList();
        QVERIFY(shown(list->emptyState(), f.window.get()));
        if (fromToolbar)
            f.content->newFocusScreenAction()->trigger();
        else
            list->emptyState()->button()->click();
        Fixture::settle();

        const QList<FocusScreen *> screens = f.model->focusScreens();
        QCOMPARE(screens.size(), 1);
        const FocusScreen *s = screens.first();
        QCOMPARE(s->name(), QStringLiteral("New Focus Screen"));
        QCOMPARE(s->duration(), 600.0);
        QCOMPARE(s->lockMode(), defaultLockMode);
        QVERIFY(!s->strictModeEnabled());
        QCOMPARE(s->strictModeType(),
                 settingsDefault < 0 ? StrictModeType::none : StrictModeType(settingsDefault));
        QCOMPARE(f.model->selection(), std::optional(s->id()));
        QVERIFY(!shown(list->emptyState(), f.window.get()));
        QCOMPARE(list->view()->currentIndex().row(), 0);
        QVERIFY(f.content->focusScreenDetail()->showsForm());
        auto *name = f.field<QLineEdit>(f.content->focusScreenDetail(), "nameField");
        QTRY_VERIFY(name->hasFocus());
        QCOMPARE(name->selectedText(), s->name());
        QTest::keyClicks(name, QStringLiteral("Reading"));
        Fixture::settle();
        QCOMPARE(s->name(), QStringLiteral("Reading"));
    }

    // Choosing another screen shows its editor from the top, where its name
    // and length are; the same screen keeps its place as it changes.
    void selectingScrollsEditorToTop()
    {
        Fixture f;
        FocusScreen *first = f.addScreen(QStringLiteral("First"));
        FocusScreen *second = f.addScreen(QStringLiteral("Second"));
        QScrollBar *bar = f.edit(first)->form()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        first->setDuration(1200);
        Fixture::settle();
        QCOMPARE(bar->value(), bar->maximum());
        f.model->setSelection(second->id());
        Fixture::settle();
        QCOMPARE(bar->value(), 0);
    }

    // The rows follow the sort order and show length, lock mode and
    // auto-start; a click selects the row's screen for the editor.
    void rowsShowScreens()
    {
        Fixture f;
        FocusScreen *b = f.addScreen(QStringLiteral("B"), 5400);
        b->setSortOrder(1);
        FocusScreen *a = f.addScreen(QStringLiteral("A"), 1500);
        a->setLockMode(LockMode::overlay);
        a->setAutoStartOnLogin(true);
        Fixture::settle();
        FocusScreenListModel *rows = f.screenList()->screens();
        QCOMPARE(rows->rowCount(), 2);
        const auto row = [rows](int at, int role) { return rows->index(at).data(role); };
        QCOMPARE(row(0, Qt::DisplayRole).toString(), QStringLiteral("A"));
        QCOMPARE(row(0, FocusScreenListModel::DurationTextRole).toString(), QStringLiteral("25 min"));
        QCOMPARE(LockMode(row(0, FocusScreenListModel::LockModeRole).toInt()), LockMode::overlay);
        QVERIFY(row(0, FocusScreenListModel::AutoStartRole).toBool());
        QCOMPARE(row(1, FocusScreenListModel::DurationTextRole).toString(), QStringLiteral("1h 30m"));
        QVERIFY(!row(1, FocusScreenListModel::AutoStartRole).toBool());

        clickRow(f.content->focusScreenList()->view(), 1);
        QCOMPARE(f.model->selection(), std::optional(b->id()));
        QCOMPARE(f.content->focusScreenDetail()->screen(), b);
    }

    // A copy takes every field but the uuid, is named "… Copy", sorts just
    // after its original and is selected; a copy of a copy is named again.
    void duplicateTwiceThenCopyOfCopy()
    {
        Fixture f;
        auto *work = f.context()->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Work"), 1800, QStringList{"a", "b"}, QStringList{"x.org"},
            LockMode::preventLaunch, true, 3, true, StrictModeType::password, QStringLiteral("I stay"),
            QStringLiteral("pw"), QStringLiteral("app"), QStringLiteral("https://example.org"),
            OverlayBackgroundType::solid, QStringLiteral("#112233")));
        Fixture::settle();
        const auto copied = [](const FocusScreen *s) {
            return QStringList{QString::number(s->duration()),
                               s->allowedApps().join(u','),
                               s->allowedWebsites().join(u','),
                               QString::number(int(s->lockMode())),
                               QString::number(s->autoStartOnLogin()),
                               QString::number(s->strictModeEnabled()),
                               QString::number(int(s->strictModeType())),
                               OptionalText::toText(s->strictModeAnswer()),
                               OptionalText::toText(s->strictModeSentence()),
                               OptionalText::toText(s->autoOpenApp()),
                               OptionalText::toText(s->autoOpenURL()),
                               QString::number(int(s->overlayBackgroundType())),
                               OptionalText::toText(s->overlayBackgroundValue())};
        };
        FocusScreenList *list = f.screenList();
        QVERIFY(Fixture::chooseFromMenu(list, 0, QStringLiteral("Duplicate")));
        QVERIFY(
            Fixture::chooseFromMenu(list, list->screens()->rowOf(work->id()), QStringLiteral("Duplicate")));
        QList<FocusScreen *> copies;
        for (FocusScreen *s : f.model->focusScreens())
            if (s->name() == QStringLiteral("Work Copy"))
                copies << s;
        QCOMPARE(copies.size(), 2);
        for (const FocusScreen *copy : copies) {
            QCOMPARE(copy->sortOrder(), 4);
            QVERIFY(copy->uuid() != work->uuid());
            QCOMPARE(copied(copy), copied(work));
        }
        QCOMPARE(work->sortOrder(), 3);
        QCOMPARE(f.model->selection(), std::optional(copies.last()->id()));

        QVERIFY(Fixture::chooseFromMenu(list, list->screens()->rowOf(copies.first()->id()),
                                        QStringLiteral("Duplicate")));
        FocusScreen *copyOfCopy = f.context()->model<FocusScreen>(*f.model->selection());
        QCOMPARE(copyOfCopy->name(), QStringLiteral("Work Copy Copy"));
        QCOMPARE(copyOfCopy->sortOrder(), 5);
        QCOMPARE(list->screens()->rowCount(), 4);
        QCOMPARE(list->view()->currentIndex().row(), list->screens()->rowOf(copyOfCopy->id()));
    }

    void toggleAutoStartSavesAtOnce()
    {
        Fixture f;
        f.context()->setAutosaveEnabled(false); // only the explicit save may write
        FocusScreen *work = f.addScreen(QStringLiteral("Work"));
        FocusScreen *other = f.addScreen(QStringLiteral("Other"));
        other->setAutoStartOnLogin(true);
        f.context()->save();
        FocusScreenList *list = f.screenList();
        const auto toggle = [&] {
            return Fixture::chooseFromMenu(list, list->screens()->rowOf(work->id()),
                                           QStringLiteral("Toggle Auto-Start"));
        };
        QVERIFY(toggle());
        QVERIFY(work->autoStartOnLogin());
        QVERIFY(other->autoStartOnLogin()); // more than one may be flagged
        QVERIFY(list->screens()
                    ->index(list->screens()->rowOf(work->id()))
                    .data(FocusScreenListModel::AutoStartRole)
                    .toBool());
        {
            auto disk = f.reopen();
            QVERIFY(disk);
            const auto stored = disk->mainContext()->fetch<FocusScreen>();
            QCOMPARE(stored.size(), 2);
            for (const FocusScreen *s : stored)
                QVERIFY2(s->autoStartOnLogin(), qPrintable(s->name()));
        }
        QVERIFY(toggle());
        QVERIFY(!work->autoStartOnLogin());
    }

    // The context menu's Delete acts at once, keeps the screen's sessions and
    // leaves an empty editor (the selection names nothing, not a screen made
    // later); Ctrl+Z brings the screen back with its uuid; once the window is
    // closed nothing can be undone.
    void contextMenuDeleteUndoneByShortcut()
    {
        Fixture f;
        FocusScreen *work = f.addScreen(QStringLiteral("Work"));
        f.addScreen(QStringLiteral("Keep"));
        const QUuid uuid = work->uuid();
        const PersistentIdentifier id = work->id();
        f.context()->insert(std::make_unique<FocusSession>(uuid, QDateTime::currentDateTimeUtc()));
        FocusScreenDetail *detail = f.edit(work);
        FocusScreenList *list = f.screenList();
        QVERIFY(detail->showsForm());
        QVERIFY(Fixture::chooseFromMenu(list, list->screens()->rowOf(id), QStringLiteral("Delete")));
        QVERIFY(!list->deleteConfirmation());
        QCOMPARE(list->listModel()->rowCount(), 1);
        QVERIFY(!detail->showsForm());
        QCOMPARE(f.model->selection(), std::optional(id));
        QCOMPARE(f.context()->fetchCount<FocusSession>(), 1);
        f.addScreen(QStringLiteral("Later"));
        QVERIFY(!detail->showsForm());

        list->view()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(list->view(), Qt::Key_Z, Qt::ControlModifier);
        Fixture::settle();
        QCOMPARE(list->listModel()->rowCount(), 3);
        QCOMPARE(detail->screen()->uuid(), uuid);

        QVERIFY(Fixture::chooseFromMenu(list, 0, QStringLiteral("Delete")));
        f.window->hide();
        QVERIFY(!f.content->undoDeleteAction()->isEnabled());
        f.content->undoDelete();
        QCOMPARE(f.model->focusScreens().size(), 2);
    }

    // Delete or Backspace on the selected row asks first, naming the record;
    // Cancel keeps it, Delete removes it, and Undo puts it back with every
    // field and its uuid, so its sessions are its history again.
    void deleteKeyConfirmsThenUndo_data()
    {
        QTest::addColumn<bool>("profile");
        QTest::addColumn<int>("key");
        QTest::newRow("screen, Delete") << false << int(Qt::Key_Delete);
        QTest::newRow("screen, Backspace") << false << int(Qt::Key_Backspace);
        QTest::newRow("profile, Delete") << true << int(Qt::Key_Delete);
    }
    void deleteKeyConfirmsThenUndo()
    {
        QFETCH(bool, profile);
        QFETCH(int, key);
        Fixture f;
        RecordList *list = nullptr;
        PersistentIdentifier id;
        QUuid uuid;
        const QString name = QStringLiteral("Deep Work");
        if (profile) {
            AppLockProfile *p =
                f.model->addLockProfile(name, {QStringLiteral("xterm")}, {}, LockMode::overlay);
            f.model->setSidebar(SidebarItem::profiles);
            list = f.content->lockProfileList();
            id = p->id();
            uuid = p->uuid();
        } else {
            auto *s = f.context()->insert(std::make_unique<FocusScreen>(
                name, 1500, QStringList{"xterm"}, QStringList{}, LockMode::hideApps, false, 0, true,
                StrictModeType::password, std::nullopt, QStringLiteral("pw")));
            f.context()->insert(std::make_unique<FocusSession>(s->uuid(), QDateTime::currentDateTimeUtc()));
            list = f.screenList();
            id = s->id();
            uuid = s->uuid();
        }
        Fixture::settle();
        f.model->setSelection(id);
        Fixture::settle();
        list->view()->setFocus(Qt::OtherFocusReason);

        QTest::keyClick(list->view(), Qt::Key(key));
        QMessageBox *box = list->deleteConfirmation();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY2(box->text().contains(QStringLiteral("“Deep Work”")), qPrintable(box->text()));
        box->button(QMessageBox::Cancel)->click();
        Fixture::settle();
        QVERIFY(f.context()->model(id));

        QTest::keyClick(list->view(), Qt::Key(key));
        box = list->deleteConfirmation();
        QVERIFY(box);
        box->findChild<QPushButton *>(QStringLiteral("confirmDeleteButton"))->click();
        Fixture::settle();
        QVERIFY(!f.context()->model(id));
        QCOMPARE(list->listModel()->rowCount(), 0);
        QVERIFY(f.content->undoBar()->isVisible());
        QVERIFY(f.content->undoDeleteAction()->isEnabled());
        QVERIFY(f.context()->save());

        // Undo, by the bar's button: the same fields and uuid, saved to the file.
        f.field<QPushButton>(f.content->undoBar(), "undoButton")->click();
        Fixture::settle();
        QVERIFY(!f.content->undoBar()->isVisible());
        QVERIFY(!f.content->undoDeleteAction()->isEnabled());
        QCOMPARE(list->listModel()->rowCount(), 1);
        QVERIFY(f.context()->save());
        const auto disk = f.reopen();
        if (profile) {
            const QList<AppLockProfile *> all = disk->mainContext()->fetch<AppLockProfile>();
            QCOMPARE(all.size(), 1);
            QCOMPARE(all.first()->uuid(), uuid);
            QCOMPARE(all.first()->mode(), LockMode::overlay);
            QCOMPARE(all.first()->blockedApps(), QStringList{QStringLiteral("xterm")});
        } else {
            const QList<FocusScreen *> all = disk->mainContext()->fetch<FocusScreen>();
            QCOMPARE(all.size(), 1);
            const FocusScreen *back = all.first();
            QCOMPARE(back->uuid(), uuid);
            QCOMPARE(back->name(), name);
            QCOMPARE(back->duration(), 1500.0);
            QCOMPARE(back->strictModeAnswer(), std::optional<QString>(QStringLiteral("pw")));
            QCOMPARE(back->allowedApps(), QStringList{QStringLiteral("xterm")});
            QCOMPARE(disk->mainContext()->fetch<FocusSession>().first()->focusScreenID(), uuid);
        }
        // The restored record is selected and shown.
        QCOMPARE(f.model->selection(), std::optional(list->listModel()->idAt(0)));
        auto *detail = static_cast<RecordDetail *>(f.content->currentDetail());
        QVERIFY(detail->showsForm());
    }

    void typingWritesStraightIntoRecord()
    {
        Fixture f;
        FocusScreen *work = f.addScreen(QStringLiteral("Work"));
        FocusScreenDetail *detail = f.edit(work);
        auto *name = f.field<QLineEdit>(detail, "nameField");
        typeInto(name, QStringLiteral(" Deep"));
        QCOMPARE(work->name(), QStringLiteral("Work Deep"));
        QCOMPARE(f.content->focusScreenList()->screens()->index(0).data().toString(),
                 QStringLiteral("Work Deep"));
        choose(f.field<QComboBox>(detail, "lockModePicker"), 2);
        QCOMPARE(work->lockMode(), LockMode::overlay);
        f.field<QCheckBox>(detail, "autoStartToggle")->click();
        QVERIFY(work->autoStartOnLogin());

        // Automatic saving takes it to disk without a save button.
        QTRY_VERIFY_WITH_TIMEOUT(!f.context()->hasChanges(), ModelContext::kAutosaveDelayMs + 10000);
        auto disk = f.reopen();
        const auto stored = disk->mainContext()->fetch<FocusScreen>();
        QCOMPARE(stored.value(0)->name(), QStringLiteral("Work Deep"));
        QCOMPARE(stored.value(0)->lockMode(), LockMode::overlay);

        // A change made elsewhere shows in the editor.
        work->setName(QStringLiteral("Renamed"));
        Fixture::settle();
        QCOMPARE(name->text(), QStringLiteral("Renamed"));
    }

    void listFieldsNormalise_data()
    {
        QTest::addColumn<bool>("profile");
        QTest::addColumn<QString>("fieldName");
        QTest::newRow("allowed apps") << false << "allowedAppsField";
        QTest::newRow("allowed websites") << false << "allowedWebsitesField";
        QTest::newRow("blocked apps") << true << "blockedAppsField";
        QTest::newRow("blocked websites") << true << "blockedWebsitesField";
    }
    void listFieldsNormalise()
    {
        QFETCH(bool, profile);
        QFETCH(QString, fieldName);
        Fixture f;
        QWidget *detail = nullptr;
        std::function<QStringList()> stored;
        if (profile) {
            f.model->setSidebar(SidebarItem::profiles);
            AppLockProfile *p = AppLockProfileList::createProfile(*f.model);
            Fixture::settle();
            detail = f.content->lockProfileDetail();
            stored = [p, fieldName] {
                return fieldName.startsWith(u"blockedApps") ? p->blockedApps() : p->blockedWebsites();
            };
        } else {
            FocusScreen *s = f.addScreen(QStringLiteral("Work"));
            detail = f.edit(s);
            stored = [s, fieldName] {
                return fieldName.startsWith(u"allowedApps") ? s->allowedApps() : s->allowedWebsites();
            };
        }
        auto *field = detail->findChild<CommaListEdit *>(fieldName);
        QVERIFY(field);
        QVERIFY(field->minimumSizeHint().height() >= 4 * field->fontMetrics().lineSpacing());

        typeInto(field, QStringLiteral(", , a ,b,, c"));
        QCOMPARE(stored(), (QStringList{"a", "b", "c"}));
        QCOMPARE(field->toPlainText(), QStringLiteral(", , a ,b,, c")); // as typed while editing
        leaveField(field);
        QCOMPARE(field->toPlainText(), QStringLiteral("a, b, c"));

        // Every keystroke replaces the whole list; duplicates and order stay.
        typeInto(field, QStringLiteral(", a"));
        QCOMPARE(stored(), (QStringList{"a", "b", "c", "a"}));
        clearField(field);
        QVERIFY(stored().isEmpty());
    }

    // Entries that name no domain stay as typed, and the editor says they
    // are ignored.
    void ignoredWebsitesAreShown()
    {
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        s->setAllowedWebsites({QStringLiteral("github.com"), QStringLiteral("two words")});
        QWidget *detail = f.edit(s);
        auto *field = detail->findChild<CommaListEdit *>(QStringLiteral("allowedWebsitesField"));
        auto *caption = detail->findChild<QLabel *>(QStringLiteral("ignoredWebsitesCaption"));
        QVERIFY(field && caption);
        QVERIFY(!caption->isHidden());
        QCOMPARE(caption->text(), QStringLiteral("Not a domain, ignored: two words"));

        clearField(field);
        typeInto(field, QStringLiteral("https://www.gitlab.com/x, a_b, , http://"));
        QCOMPARE(s->allowedWebsites(), (QStringList{"https://www.gitlab.com/x", "a_b", "http://"}));
        QCOMPARE(caption->text(), QStringLiteral("Not a domain, ignored: a_b, http://"));
        clearField(field);
        typeInto(field, QStringLiteral("gitlab.com"));
        QVERIFY(caption->isHidden());
    }

    // The optional texts store what is typed, blanks included, and nothing
    // once emptied (a challenge's texts are guarded: see below).
    void optionalTextFields_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::newRow("URL to Open") << "autoOpenURLField";
        QTest::newRow("Application ID to Open") << "autoOpenAppField";
        QTest::newRow("Hex Color") << "backgroundValueField";
    }
    void optionalTextFields()
    {
        QFETCH(QString, fieldName);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        s->setOverlayBackgroundType(OverlayBackgroundType::solid);
        FocusScreenDetail *detail = f.edit(s);
        const auto value = [&]() -> std::optional<QString> {
            if (fieldName == u"autoOpenURLField")
                return s->autoOpenURL();
            return fieldName == u"autoOpenAppField" ? s->autoOpenApp() : s->overlayBackgroundValue();
        };
        auto *field = detail->findChild<QWidget *>(fieldName);
        QVERIFY(shown(field, detail));
        typeInto(field, QStringLiteral("abc"));
        QCOMPARE(value(), std::optional<QString>(QStringLiteral("abc")));
        clearField(field);
        QCOMPARE(value(), std::optional<QString>());
        typeInto(field, QStringLiteral("  "));
        QCOMPARE(value(), std::optional<QString>(QStringLiteral("  ")));
    }

    // The steppers go a minute at a time within 1-120 minutes. A length
    // typed while the picker has the focus is taken by Return, held in
    // range; text that is no length leaves the value as it was.
    void durationPicker_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("input"); // "up", "down" or what is typed
        QTest::addColumn<double>("after");
        QTest::newRow("90 s shows 1 min, up stores 120") << 90.0 << "up" << 120.0;
        QTest::newRow("1 min cannot go down") << 60.0 << "down" << 60.0;
        QTest::newRow("120 min cannot go up") << 7200.0 << "up" << 7200.0;
        QTest::newRow("119 min up to 120") << 7140.0 << "up" << 7200.0;
        QTest::newRow("25 min down to 24") << 1500.0 << "down" << 1440.0;
        QTest::newRow("30 s shows 0 min, up to 1") << 30.0 << "up" << 60.0;
        QTest::newRow("150 min steps down into range") << 9000.0 << "down" << 7200.0;
        QTest::newRow("minutes") << 600.0 << "25" << 1500.0;
        QTest::newRow("minutes with unit") << 600.0 << "50 min" << 3000.0;
        QTest::newRow("minutes, short unit") << 600.0 << "45m" << 2700.0;
        QTest::newRow("plain 90") << 600.0 << "90" << 5400.0;
        QTest::newRow("hours and minutes") << 600.0 << "1h 30m" << 5400.0;
        QTest::newRow("hours, bare minutes") << 600.0 << "1h 5" << 3900.0;
        QTest::newRow("hours only") << 600.0 << "2h" << 7200.0;
        QTest::newRow("decimal hours") << 600.0 << "1.5h" << 5400.0;
        QTest::newRow("clock") << 600.0 << "1:30" << 5400.0;
        QTest::newRow("upper case units") << 600.0 << "1H 15M" << 4500.0;
        QTest::newRow("above range held at 120") << 600.0 << "500" << 7200.0;
        QTest::newRow("zero held at 1") << 600.0 << "0" << 60.0;
        QTest::newRow("huge held at 120") << 600.0 << "99999999999999" << 7200.0;
        QTest::newRow("clock minutes of 60 refused") << 600.0 << "1:60" << 600.0;
        QTest::newRow("unit twice refused") << 600.0 << "5m 5m" << 600.0;
        QTest::newRow("minutes before hours refused") << 600.0 << "30m 1h" << 600.0;
        QTest::newRow("words refused") << 600.0 << "5 apples" << 600.0;
        QTest::newRow("same value") << 600.0 << "10" << 600.0;
    }
    void durationPicker()
    {
        QFETCH(double, stored);
        QFETCH(QString, input);
        QFETCH(double, after);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"), stored);
        auto *picker = f.field<DurationPicker>(f.edit(s), "durationPicker");
        auto *label = f.field<QLabel>(picker, "durationValue");
        const auto minutes = [](double seconds) {
            return QStringLiteral("%1 min").arg(qint64(seconds / 60));
        };
        QCOMPARE(label->text(), minutes(stored));
        const bool typed = input != u"up" && input != u"down";
        QSignalSpy edited(picker, &DurationPicker::durationEdited);
        if (typed) {
            typeInto(picker, input);
            QVERIFY(picker->isTyping());
            QCOMPARE(label->text(), input.left(24));
            QCOMPARE(s->duration(), stored); // nothing stored before Return
            QTest::keyClick(picker, Qt::Key_Return);
            QVERIFY(!picker->isTyping());
        } else {
            f.field<QToolButton>(picker, input == u"up" ? "durationUp" : "durationDown")->click();
        }
        Fixture::settle();
        QCOMPARE(s->duration(), after);
        QCOMPARE(label->text(), minutes(after));
        if (!typed)
            return;
        QCOMPARE(edited.size(), after == stored ? 0 : 1);
        // The steppers go on from the typed value.
        QTest::keyClick(picker, Qt::Key_Down);
        QCOMPARE(s->duration(), std::max(after - 60, 60.0));
    }

    // Leaving the row takes the typed length; Escape drops it; Backspace
    // corrects it.
    void typedDurationEndings()
    {
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"), 600);
        auto *picker = f.field<DurationPicker>(f.edit(s), "durationPicker");
        typeInto(picker, QStringLiteral("40"));
        QTest::keyClick(picker, Qt::Key_Escape);
        QVERIFY(!picker->isTyping());
        QCOMPARE(s->duration(), 600.0);
        typeInto(picker, QStringLiteral("356"));
        QTest::keyClick(picker, Qt::Key_Backspace);
        QCOMPARE(picker->typedText(), QStringLiteral("35"));
        auto *name = f.field<QLineEdit>(f.screenDetail(), "nameField");
        name->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!picker->isTyping());
        QCOMPARE(s->duration(), 35 * 60.0);
        // Letters alone do not start typing (they belong to other shortcuts).
        picker->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(picker, Qt::Key_X);
        QVERIFY(!picker->isTyping());
        // The spoken value follows the typed length.
        QCOMPARE(Accessible::valueText(picker), QStringLiteral("35 minutes"));
    }

    // Each challenge shows its own controls; turning strict mode off hides
    // them and keeps what is stored.
    void strictModeSections_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("controls");
        QTest::newRow("sentence") << int(StrictModeType::sentence) << "sentenceControls";
        QTest::newRow("math") << int(StrictModeType::math) << "mathCaption";
        QTest::newRow("password") << int(StrictModeType::password) << "passwordControls";
    }
    void strictModeSections()
    {
        QFETCH(int, type);
        QFETCH(QString, controls);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        s->setStrictModeSentence(QStringLiteral("I keep my word"));
        s->setStrictModeAnswer(QStringLiteral("secret"));
        FocusScreenDetail *d = f.edit(s);
        QVERIFY(!shown(f.field<QWidget>(d, "strictModeControls"), d));

        f.field<QCheckBox>(d, "strictModeToggle")->click();
        QVERIFY(s->strictModeEnabled());
        QVERIFY(shown(f.field<QWidget>(d, "strictModeControls"), d));
        choose(f.field<QComboBox>(d, "challengeTypePicker"), type);
        QCOMPARE(s->strictModeType(), StrictModeType(type));
        for (const char *name : {"sentenceControls", "passwordControls", "mathCaption"})
            QCOMPARE(shown(f.field<QWidget>(d, name), d), controls == QLatin1String(name));
        if (type == int(StrictModeType::sentence))
            QCOMPARE(f.field<GrowingTextEdit>(d, "commitmentSentenceField")->toPlainText(),
                     QStringLiteral("I keep my word"));

        f.field<QCheckBox>(d, "strictModeToggle")->click();
        QVERIFY(!shown(f.field<QWidget>(d, "strictModeControls"), d));
        QCOMPARE(s->strictModeType(), StrictModeType(type));
        QCOMPARE(s->strictModeSentence(), std::optional<QString>(QStringLiteral("I keep my word")));
        QCOMPARE(s->strictModeAnswer(), std::optional<QString>(QStringLiteral("secret")));
    }

    // Strict mode on with "None" guards nothing: the picker does not take it,
    // turning strict mode on picks a challenge instead, and a record stored
    // that way says what it needs.
    void strictModeRefusesNone()
    {
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        QCOMPARE(s->strictModeType(), StrictModeType::none);
        FocusScreenDetail *d = f.edit(s);
        auto *picker = f.field<QComboBox>(d, "challengeTypePicker");
        auto *problem = f.field<QLabel>(d, "strictModeProblem");
        f.field<QCheckBox>(d, "strictModeToggle")->click();
        Fixture::settle();
        QVERIFY(s->strictModeEnabled());
        QCOMPARE(s->strictModeType(), StrictModeType::math);
        QVERIFY(shown(problem, d));
        QCOMPARE(problem->text(),
                 QStringLiteral("Strict mode needs a challenge, so “None” was replaced by Math Problem."));
        const QModelIndex none = picker->model()->index(picker->findData(int(StrictModeType::none)), 0);
        QVERIFY(!(picker->model()->flags(none) & Qt::ItemIsEnabled));
        // The keyboard passes over it; a tool that chooses it anyway is refused.
        choose(picker, 0);
        QCOMPARE(s->strictModeType(), StrictModeType::sentence);
        Q_EMIT picker->activated(none.row());
        Fixture::settle();
        QCOMPARE(s->strictModeType(), StrictModeType::sentence);
        QCOMPARE(EnumComboBox::valueAt<StrictModeType>(picker, picker->currentIndex()),
                 StrictModeType::sentence);
        QCOMPARE(problem->text(),
                 QStringLiteral("“None” cannot guard a session; turn Strict Mode off instead."));

        FocusScreen *old = f.addScreen(QStringLiteral("Old"));
        old->setStrictModeEnabled(true);
        f.model->setSelection(old->id());
        Fixture::settle();
        QCOMPARE(problem->text(), QStringLiteral("“None” cannot guard a session: choose a challenge."));
        QVERIFY(shown(problem, d));
    }

    // While strict mode is on, an emptied (or blank) sentence or password is
    // not stored: the previous one stays and comes back when the field is
    // left. The password is not shown as it is typed.
    void strictModeRefusesEmptyChallengeText_data()
    {
        QTest::addColumn<bool>("password");
        QTest::newRow("sentence") << false;
        QTest::newRow("password") << true;
    }
    void strictModeRefusesEmptyChallengeText()
    {
        QFETCH(bool, password);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        s->setStrictModeEnabled(true);
        s->setStrictModeType(password ? StrictModeType::password : StrictModeType::sentence);
        FocusScreenDetail *d = f.edit(s);
        auto *problem = f.field<QLabel>(d, "strictModeProblem");
        QWidget *field = password ? static_cast<QWidget *>(f.field<QLineEdit>(d, "exitPasswordField"))
                                  : f.field<GrowingTextEdit>(d, "commitmentSentenceField");
        const auto stored = [&] { return password ? s->strictModeAnswer() : s->strictModeSentence(); };
        const auto fieldText = [&] {
            return password ? static_cast<QLineEdit *>(field)->text()
                            : static_cast<GrowingTextEdit *>(field)->toPlainText();
        };
        const QString what = password ? QStringLiteral("password") : QStringLiteral("sentence");
        QCOMPARE(problem->text(),
                 QStringLiteral("Enter a %1: without one, strict mode guards nothing.").arg(what));

        typeInto(field, QStringLiteral("Stay"));
        QCOMPARE(stored(), std::optional<QString>(QStringLiteral("Stay")));
        QVERIFY(!shown(problem, d));
        clearField(field);
        QCOMPARE(stored(), std::optional<QString>(QStringLiteral("Stay")));
        QCOMPARE(problem->text(),
                 QStringLiteral("An empty %1 is not accepted; the previous one is kept.").arg(what));
        QVERIFY(fieldText().isEmpty());
        typeInto(field, QStringLiteral("  "));
        QCOMPARE(stored(), std::optional<QString>(QStringLiteral("Stay")));
        f.field<QLineEdit>(d, "nameField")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(fieldText(), QStringLiteral("Stay"));
        if (password)
            QCOMPARE(static_cast<QLineEdit *>(field)->echoMode(), QLineEdit::Password);
    }

    // Another background type keeps the value typed for the last one; every
    // type but the system's has a field for it.
    void backgroundFieldByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("system") << int(OverlayBackgroundType::system);
        QTest::newRow("solid") << int(OverlayBackgroundType::solid);
        QTest::newRow("gradient") << int(OverlayBackgroundType::gradient);
        QTest::newRow("image") << int(OverlayBackgroundType::image);
    }
    void backgroundFieldByType()
    {
        QFETCH(int, type);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        s->setOverlayBackgroundValue(QStringLiteral("not checked here"));
        FocusScreenDetail *d = f.edit(s);
        choose(f.field<QComboBox>(d, "backgroundTypePicker"), type);
        QCOMPARE(s->overlayBackgroundType(), OverlayBackgroundType(type));
        QCOMPARE(s->overlayBackgroundValue(), std::optional<QString>(QStringLiteral("not checked here")));
        auto *field = f.field<QLineEdit>(d, "backgroundValueField");
        QCOMPARE(shown(field, d), type != int(OverlayBackgroundType::system));
        if (shown(field, d))
            QCOMPARE(field->text(), QStringLiteral("not checked here"));
    }

    // The selected screen stays selected while another page shows (whose
    // editor then shows nothing) and is shown again on its return.
    void selectionCarriedToProfilesPage()
    {
        Fixture f;
        f.model->setSidebar(SidebarItem::profiles);
        AppLockProfile *profile = AppLockProfileList::createProfile(*f.model);
        FocusScreen *work = f.addScreen(QStringLiteral("Work"));
        FocusScreenList *list = f.screenList();
        clickRow(list->view(), 0);
        QCOMPARE(f.model->selection(), std::optional(work->id()));

        f.model->setSidebar(SidebarItem::profiles);
        Fixture::settle();
        AppLockProfileDetail *profiles = f.content->lockProfileDetail();
        QVERIFY(!profiles->showsForm());
        QVERIFY(!f.content->lockProfileList()->view()->selectionModel()->hasSelection());
        QCOMPARE(f.model->selection(), std::optional(work->id())); // not cleared by the page change

        f.model->setSidebar(SidebarItem::focusScreens);
        QVERIFY(f.content->focusScreenDetail()->showsForm());
        QCOMPARE(f.content->focusScreenDetail()->screen(), work);

        // Clicking a profile then shows it.
        f.model->setSidebar(SidebarItem::profiles);
        clickRow(f.content->lockProfileList()->view(), 0);
        QCOMPARE(f.content->lockProfileDetail()->profile(), profile);
    }

    // ---- Session history ----------------------------------------------------

    // Newest first, each row with its screen's name (kept up to date, or
    // "Unknown") and length; a row changes in place as its session ends.
    void sessionRows()
    {
        Fixture f;
        FocusScreen *work = f.addScreen(QStringLiteral("Work"));
        const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-1);
        const auto session = [&](const QUuid &screen, int minutesAfter, std::optional<double> duration,
                                 bool done) {
            auto *s =
                f.context()->insert(std::make_unique<FocusSession>(screen, base.addSecs(60 * minutesAfter)));
            s->setActualDuration(duration);
            s->setCompleted(done);
            return s;
        };
        session(work->uuid(), 0, 59.9, true);
        session(work->uuid(), 10, 60, false);
        session(work->uuid(), 20, 61.5, true);
        session(QUuid::createUuid(), 30, std::nullopt, false); // its screen is gone, still running
        f.model->setSidebar(SidebarItem::sessions);
        Fixture::settle();
        FocusSessionListModel *rows = f.content->sessionList()->sessions();
        QCOMPARE(rows->rowCount(), 4);
        QVERIFY(!shown(f.content->sessionList()->emptyState(), f.window.get()));

        const auto text = [&](int row, int role) { return rows->index(row).data(role).toString(); };
        // Newest first.
        QCOMPARE(text(0, Qt::DisplayRole), QStringLiteral("Unknown"));
        QCOMPARE(text(0, FocusSessionListModel::DurationTextRole), QString());
        QCOMPARE(text(1, FocusSessionListModel::DurationTextRole), QStringLiteral("1m 1s"));
        QCOMPARE(text(2, FocusSessionListModel::DurationTextRole), QStringLiteral("1m"));
        QCOMPARE(text(3, FocusSessionListModel::DurationTextRole), QStringLiteral("59s"));
        QCOMPARE(text(1, Qt::DisplayRole), QStringLiteral("Work"));
        QVERIFY(rows->index(1).data(FocusSessionListModel::CompletedRole).toBool());
        QVERIFY(!rows->index(2).data(FocusSessionListModel::CompletedRole).toBool());

        // Renaming the screen renames its rows; deleting it makes them "Unknown".
        work->setName(QStringLiteral("Deep"));
        Fixture::settle();
        QCOMPARE(text(1, Qt::DisplayRole), QStringLiteral("Deep"));
        f.context()->remove(work);
        Fixture::settle();
        for (int row = 0; row < rows->rowCount(); ++row)
            QCOMPARE(text(row, Qt::DisplayRole), QStringLiteral("Unknown"));

        // A running session completes: its row changes in place.
        FocusSession *running = rows->sessionAt(0);
        running->complete(running->startTime().addSecs(1445));
        Fixture::settle();
        QCOMPARE(text(0, FocusSessionListModel::DurationTextRole), QStringLiteral("24m 5s"));
        QVERIFY(rows->index(0).data(FocusSessionListModel::CompletedRole).toBool());
        QVERIFY(!f.content->sessionDetail()->showsForm());
    }

    // A clicked session shows its screen (as plain text), local times,
    // planned and actual length and how it ended; its note is edited in
    // place and saved, and Delete on its row does nothing.
    void sessionDetail_data()
    {
        QTest::addColumn<bool>("screenKept");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<int>("round");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("completed") << true << true << true << 0 << "Completed";
        QTest::newRow("ended early, round 3 of a cycle") << true << true << false << 3 << "Ended early";
        QTest::newRow("not finished, screen gone") << false << false << false << 0 << "Not finished";
    }
    void sessionDetail()
    {
        QFETCH(bool, screenKept);
        QFETCH(bool, ended);
        QFETCH(bool, completed);
        QFETCH(int, round);
        QFETCH(QString, outcome);
        Fixture f;
        FocusScreen *work = f.addScreen(QStringLiteral("<b>Work</b>"), 1500);
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-3600);
        auto *s = f.context()->insert(std::make_unique<FocusSession>(work->uuid(), start));
        s->setRound(round);
        if (ended) {
            s->complete(start.addSecs(1500));
            s->setCompleted(completed);
        }
        if (!screenKept)
            f.context()->remove(work);
        f.model->setSidebar(SidebarItem::sessions);
        Fixture::settle();
        FocusSessionList *list = f.content->sessionList();
        clickRow(list->view(), 0);
        Fixture::settle();
        QCOMPARE(f.model->selection(), std::optional(s->id()));
        FocusSessionDetail *detail = f.content->sessionDetail();
        QCOMPARE(f.content->currentDetail(), detail);
        QVERIFY(detail->showsForm());
        const auto value = [&](const char *name) { return f.field<QLabel>(detail, name); };
        const QString none = QStringLiteral("—");
        QCOMPARE(value("sessionScreen")->text(), screenKept ? work->name() : QStringLiteral("Unknown"));
        QCOMPARE(value("sessionScreen")->textFormat(), Qt::PlainText);
        QCOMPARE(value("sessionStarted")->text(),
                 QLocale().toString(start.toLocalTime(), QLocale::ShortFormat));
        QCOMPARE(value("sessionEnded")->text(),
                 ended ? QLocale().toString(start.addSecs(1500).toLocalTime(), QLocale::ShortFormat) : none);
        QCOMPARE(value("sessionPlanned")->text(), screenKept ? QStringLiteral("25 min") : none);
        QCOMPARE(value("sessionActual")->text(), ended ? QStringLiteral("25m") : none);
        QCOMPARE(value("sessionOutcome")->text(), outcome);
        // Only a round of a cycle shows its number.
        QCOMPARE(value("sessionRound")->isVisibleTo(detail), round > 0);
        if (round > 0)
            QCOMPARE(value("sessionRound")->text(), QString::number(round));

        auto *note = f.field<QLineEdit>(detail, "sessionNote");
        QCOMPARE(note->text(), QString());
        note->setFocus();
        QTest::keyClicks(note, QStringLiteral("chapter 3, \"intro\""));
        QCOMPARE(s->note(), QStringLiteral("chapter 3, \"intro\""));
        QTRY_VERIFY(!f.context()->hasChanges());
        QCOMPARE(f.reopen()->mainContext()->fetch<FocusSession>().first()->note(),
                 QStringLiteral("chapter 3, \"intro\""));
        // A note is one short line.
        QTest::keyClicks(note, QString(FocusSessionDetail::kNoteMaxLength, QLatin1Char('x')));
        QCOMPARE(s->note().size(), FocusSessionDetail::kNoteMaxLength);
        QTest::keyClick(list->view(), Qt::Key_Delete);
        QVERIFY(!list->deleteConfirmation());
        QCOMPARE(f.context()->fetchCount<FocusSession>(), 1);
    }

    // Exporting writes what is not saved yet too; a file that cannot be
    // written is reported and nothing is left.
    void exportSessions()
    {
        Fixture f;
        FocusScreen *work = f.addScreen(QStringLiteral("Work, \"deep\""), 1500);
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-3600);
        auto *s = f.context()->insert(std::make_unique<FocusSession>(work->uuid(), start));
        s->complete(start.addSecs(1500));
        s->setNote(QStringLiteral("line one\nline two"));
        f.model->setSidebar(SidebarItem::sessions);
        Fixture::settle();
        QVERIFY(f.context()->hasChanges());
        const QString path = f.dir.filePath(QStringLiteral("sessions.csv"));
        auto result = f.content->exportSessionsTo(path, SessionExport::Format::csv);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.sessions, 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray csv = file.readAll();
        QVERIFY2(csv.contains("\"Work, \"\"deep\"\"\",") && csv.contains(",\"line one\nline two\"\r\n"),
                 csv.constData());

        const QString nowhere = f.dir.filePath(QStringLiteral("missing/sessions.json"));
        result = f.content->exportSessionsTo(nowhere, SessionExport::Format::json);
        QVERIFY(!result.ok);
        QVERIFY(!QFileInfo::exists(nowhere));
        QTRY_VERIFY(f.content->findChild<QMessageBox *>(QStringLiteral("exportFailedMessage")));
        auto *box = f.content->findChild<QMessageBox *>(QStringLiteral("exportFailedMessage"));
        QVERIFY2(box->text().contains(nowhere), qPrintable(box->text()));
        QVERIFY(!box->informativeText().isEmpty());
        box->close();
    }

    void sessionRowsArePaintedOnDemand()
    {
        Fixture f;
        FocusScreen *work = f.addScreen(QStringLiteral("Work"));
        const QDateTime base = QDateTime::currentDateTimeUtc();
        for (int i = 0; i < 2000; ++i)
            f.context()->insert(std::make_unique<FocusSession>(work->uuid(), base.addSecs(-i)));
        f.model->setSidebar(SidebarItem::sessions);
        Fixture::settle();
        QListView *view = f.content->sessionList()->view();
        QVERIFY(view->uniformItemSizes());
        // Only the rows in view are asked for; there is one widget, not one per row.
        QVERIFY(view->findChildren<QWidget *>().size() < 20);
        QVERIFY(view->indexAt(view->viewport()->rect().bottomLeft() + QPoint(1, -1)).row() < 100);
    }

    // ---- Choosing installed applications --------------------------------------

    // Choose... lists the installed applications (those already in the list
    // cannot be picked again) and adds the picked ones, or nothing when
    // cancelled. The focus screen shows its entries as chips that remove
    // exactly their entry.
    void chooseInstalledApplications_data()
    {
        QTest::addColumn<bool>("profile");
        QTest::addColumn<bool>("accept");
        QTest::newRow("allowed apps, add") << false << true;
        QTest::newRow("blocked apps, add") << true << true;
        QTest::newRow("allowed apps, cancel") << false << false;
    }
    void chooseInstalledApplications()
    {
        QFETCH(bool, profile);
        QFETCH(bool, accept);
        QTemporaryDir xdg;
        const QString apps = xdg.filePath(QStringLiteral("home/applications"));
        QDir().mkpath(apps + QStringLiteral("/kde"));
        QDir().mkpath(xdg.filePath(QStringLiteral("system")));
        const auto dataHome = setEnv("XDG_DATA_HOME", xdg.filePath(QStringLiteral("home")).toUtf8());
        const auto dataDirs = setEnv("XDG_DATA_DIRS", xdg.filePath(QStringLiteral("system")).toUtf8());
        const QString iconPath = xdg.filePath(QStringLiteral("editor.png"));
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(iconPath));
        const auto write = [&](const QString &file, const QString &body) {
            QFile f(apps + u'/' + file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(("[Desktop Entry]\nType=Application\n" + body).toUtf8());
        };
        write(QStringLiteral("org.example.Editor.desktop"),
              QStringLiteral("Name=Editor\nExec=editor %F\nIcon=%1\n").arg(iconPath));
        write(QStringLiteral("org.example.Browser.desktop"), QStringLiteral("Name=Browser\nExec=browser\n"));
        write(QStringLiteral("kde/konsole.desktop"), QStringLiteral("Name=Konsole\nExec=konsole\n"));
        write(QStringLiteral("hidden.desktop"), QStringLiteral("Name=Hidden\nExec=h\nNoDisplay=true\n"));

        Fixture f;
        CommaListEdit *field = nullptr;
        QPushButton *choose = nullptr;
        std::function<QStringList()> stored;
        if (profile) {
            f.model->setSidebar(SidebarItem::profiles);
            AppLockProfile *p = AppLockProfileList::createProfile(*f.model);
            p->setBlockedApps({QStringLiteral("org.example.Browser")});
            Fixture::settle();
            field = f.field<CommaListEdit>(f.content->lockProfileDetail(), "blockedAppsField");
            choose = f.content->lockProfileDetail()->chooseBlockedAppsButton();
            stored = [p] { return p->blockedApps(); };
        } else {
            FocusScreen *s = f.addScreen(QStringLiteral("Work"));
            s->setAllowedApps({QStringLiteral("org.example.Browser")});
            field = f.field<CommaListEdit>(f.edit(s), "allowedAppsField");
            choose = f.content->focusScreenDetail()->chooseAllowedAppsButton();
            stored = [s] { return s->allowedApps(); };
            Fixture::settle();
        }
        QVERIFY(choose);

        QStringList ids;
        bool browserPickable = true;
        bool editorHasIcon = false;
        int filtered = -1;
        AppChooser::setResponder([&](AppChooser &chooser) {
            QAbstractItemModel *list = chooser.applications();
            for (int row = 0; row < list->rowCount(); ++row) {
                ids << list->index(row, AppChooser::IdColumn).data().toString();
                if (ids.last() == u"org.example.Browser")
                    browserPickable = list->index(row, 0).flags().testFlag(Qt::ItemIsSelectable);
                if (ids.last() == u"org.example.Editor")
                    editorHasIcon = !list->index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull();
            }
            QTest::keyClicks(chooser.filterField(), QStringLiteral("EDIT"));
            filtered = chooser.view()->model()->rowCount();
            chooser.filterField()->clear();
            chooser.selectIds({QStringLiteral("org.example.Editor"), QStringLiteral("kde-konsole"),
                               QStringLiteral("org.example.Browser")});
            accept ? chooser.accept() : chooser.reject();
        });
        choose->click();
        AppChooser::setResponder({});
        Fixture::settle();

        QCOMPARE(ids, (QStringList{"org.example.Browser", "org.example.Editor", "kde-konsole"}));
        QVERIFY(!browserPickable); // already in the list
        QVERIFY(editorHasIcon);
        QCOMPARE(filtered, 1);
        const QStringList expected =
            accept ? QStringList{"org.example.Browser", "org.example.Editor", "kde-konsole"}
                   : QStringList{"org.example.Browser"};
        QCOMPARE(stored(), expected);
        QCOMPARE(field->toPlainText(), expected.join(QStringLiteral(", ")));
        if (profile)
            return;

        // The focus screen shows each entry a desktop entry describes as a
        // chip (icon, name); an id none describes stays text only.
        FocusScreenDetail *detail = f.content->focusScreenDetail();
        AppChips *chips = detail->allowedAppChips();
        typeInto(field, QStringLiteral(", mystery-app"));
        leaveField(field);
        const auto chipNames = [chips] {
            QStringList out;
            for (QWidget *chip : chips->chips())
                out << chip->findChild<QLabel *>(QStringLiteral("appChipName"))->text();
            return out;
        };
        QCOMPARE(chipNames(),
                 accept ? (QStringList{"Browser", "Editor", "Konsole"}) : QStringList{"Browser"});
        QVERIFY(stored().contains(QStringLiteral("mystery-app")));
        QVERIFY(shown(chips, detail));
        if (!accept)
            return;
        QVERIFY(!chips->chips().at(1)->findChild<QLabel *>(QStringLiteral("appChipIcon"))->pixmap().isNull());
        // Removing one chip takes exactly that entry out, text and store alike.
        chips->chips().at(1)->findChild<QToolButton *>(QStringLiteral("appChipRemove"))->click();
        Fixture::settle();
        const QStringList rest{"org.example.Browser", "kde-konsole", "mystery-app"};
        QCOMPARE(stored(), rest);
        QCOMPARE(field->toPlainText(), rest.join(QStringLiteral(", ")));
        QCOMPARE(chipNames(), (QStringList{"Browser", "Konsole"}));

        // The application opened at the start comes from the same chooser,
        // one at a time.
        int selectionMode = -1;
        AppChooser::setResponder([&](AppChooser &chooser) {
            selectionMode = chooser.view()->selectionMode();
            chooser.selectIds({QStringLiteral("org.example.Editor")});
            chooser.accept();
        });
        detail->chooseAutoOpenAppButton()->click();
        AppChooser::setResponder({});
        Fixture::settle();
        QCOMPARE(selectionMode, int(QAbstractItemView::SingleSelection));
        FocusScreen *s = f.model->focusScreens().first();
        QCOMPARE(s->autoOpenApp(), std::optional<QString>(QStringLiteral("org.example.Editor")));
        QCOMPARE(f.field<QLineEdit>(detail, "autoOpenAppField")->text(),
                 QStringLiteral("org.example.Editor"));
    }

    // The image background is picked with a file chooser (stored with "~/"
    // below the home folder, as typed paths are read); solid colours and
    // gradient stops with a colour picker, the hex text kept as the value.
    void backgroundPickers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("swatch");     // which swatch is clicked (-1: the image's Choose...)
        QTest::addColumn<QString>("picked"); // a path, or a colour
        QTest::addColumn<QString>("after");
        const QString home = QDir::homePath();
        QTest::newRow("image under home")
            << int(OverlayBackgroundType::image) << "" << -1 << home + QStringLiteral("/Pictures/sea.jpg")
            << "~/Pictures/sea.jpg";
        QTest::newRow("image elsewhere")
            << int(OverlayBackgroundType::image) << "~/old.png" << -1 << "/usr/share/backgrounds/a.png"
            << "/usr/share/backgrounds/a.png";
        QTest::newRow("image cancelled") << int(OverlayBackgroundType::image) << "~/old.png" << -1 << ""
                                         << "~/old.png";
        QTest::newRow("solid") << int(OverlayBackgroundType::solid) << "1A1A2E" << 0 << "#ff8800"
                               << "#FF8800";
        QTest::newRow("solid from nothing") << int(OverlayBackgroundType::solid) << "" << 0 << "#00ff00"
                                            << "#00FF00";
        QTest::newRow("gradient second stop")
            << int(OverlayBackgroundType::gradient) << "radial,#f093fb,#f5576c" << 1 << "#000000"
            << "radial,#f093fb,#000000";
        QTest::newRow("gradient adds a stop")
            << int(OverlayBackgroundType::gradient) << "linear,#667eea" << 1 << "#ffffff"
            << "linear,#667eea,#FFFFFF";
        QTest::newRow("colour cancelled") << int(OverlayBackgroundType::solid) << "#123456" << 0 << ""
                                          << "#123456";
    }
    void backgroundPickers()
    {
        QFETCH(int, type);
        QFETCH(QString, before);
        QFETCH(int, swatch);
        QFETCH(QString, picked);
        QFETCH(QString, after);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Work"));
        s->setOverlayBackgroundType(OverlayBackgroundType(type));
        s->setOverlayBackgroundValue(OptionalText::fromText(before));
        FocusScreenDetail *detail = f.edit(s);
        QString startPath;
        QColor initial;
        FocusScreenDetail::setPickers({[&](QWidget *, const QString &start) {
                                           startPath = start;
                                           return picked;
                                       },
                                       [&](QWidget *, const QColor &colour) {
                                           initial = colour;
                                           return picked.isEmpty() ? QColor() : QColor::fromString(picked);
                                       }});
        const auto restore = qScopeGuard([] { FocusScreenDetail::setPickers({}); });
        auto *chooseImage = f.field<QPushButton>(detail, "chooseImageButton");
        QList<QToolButton *> swatches;
        for (QToolButton *b : f.field<QWidget>(detail, "colourSwatches")
                                  ->findChildren<QToolButton *>(QStringLiteral("colourSwatch")))
            if (shown(b, detail))
                swatches << b;
        QCOMPARE(shown(chooseImage, detail), type == int(OverlayBackgroundType::image));
        if (swatch < 0) {
            chooseImage->click();
            if (before.startsWith(u'~'))
                QCOMPARE(startPath, QDir::homePath() + before.mid(1));
        } else {
            QVERIFY(swatch < swatches.size());
            swatches.at(swatch)->click();
            if (type == int(OverlayBackgroundType::solid) && !before.isEmpty())
                QCOMPARE(initial, QColor::fromString(before.startsWith(u'#') ? before : u'#' + before));
        }
        Fixture::settle();
        QCOMPARE(OptionalText::toText(s->overlayBackgroundValue()), after);
        QCOMPARE(f.field<QLineEdit>(detail, "backgroundValueField")->text(), after);
    }

    // An application already in the list under another of its names (the
    // window class, the program, the id with ".desktop") cannot be picked again.
    void chooserKnowsAppsListedUnderAnotherName_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QList<bool>>("pickable"); // debian-uxterm, debian-xterm
        QTest::newRow("id with .desktop, other case")
            << QStringList{"Debian-XTerm.desktop"} << QList<bool>{true, false};
        QTest::newRow("window class") << QStringList{"XTerm"} << QList<bool>{true, false};
        QTest::newRow("program") << QStringList{" uxterm "} << QList<bool>{false, true};
        QTest::newRow("other names") << QStringList{"term", "debian", ""} << QList<bool>{true, true};
    }
    void chooserKnowsAppsListedUnderAnotherName()
    {
        QFETCH(QStringList, present);
        QFETCH(QList<bool>, pickable);
        // As xterm's packages describe it: the window class is the name.
        const auto entry = [](const char *id, const char *program, const char *name) {
            return DesktopEntry{QLatin1String(id),  QLatin1String(name), {}, QLatin1String(program), {},
                                QLatin1String(name)};
        };
        const QList<DesktopEntry> entries{entry("debian-uxterm", "uxterm", "UXTerm"),
                                          entry("debian-xterm", "xterm", "XTerm")};
        AppChooser chooser(installedApplications(), entries, present);
        QAbstractItemModel *list = chooser.applications();
        QCOMPARE(list->rowCount(), 2);
        for (int row = 0; row < 2; ++row)
            QCOMPARE(list->index(row, 0).flags().testFlag(Qt::ItemIsSelectable), pickable[row]);
    }

    void chooserWithNothingInstalled()
    {
        AppChooser chooser(installedApplications(), {}, {});
        QVERIFY(chooser.findChild<QLabel *>(QStringLiteral("appListEmpty"))->isVisibleTo(&chooser));
        QCOMPARE(chooser.selectIds({QStringLiteral("x")}), 0);
        QVERIFY(chooser.selectedIds().isEmpty());
        QVERIFY(!chooser.findChild<QPushButton *>(QStringLiteral("addButton"))->isEnabled());
    }

    // ---- Lock profiles ------------------------------------------------------

    // The empty state's button and the toolbar make a profile (newest first)
    // and open its editor; the row follows the edits, counting the blocked
    // applications in words; Delete in the context menu removes it.
    void profilesCreateEditDelete()
    {
        Fixture f;
        f.model->setSidebar(SidebarItem::profiles);
        AppLockProfileList *list = f.content->lockProfileList();
        AppLockProfileListModel *rows = list->profiles();
        AppLockProfileDetail *detail = f.content->lockProfileDetail();
        const auto blockedText = [rows] {
            return rows->index(0).data(AppLockProfileListModel::BlockedAppsTextRole).toString();
        };
        QVERIFY(shown(list->emptyState(), f.window.get()));
        list->emptyState()->button()->click();
        Fixture::settle();
        QVERIFY(!shown(list->emptyState(), f.window.get()));
        QVERIFY(detail->showsForm());
        AppLockProfile *first = detail->profile();
        first->setCreatedAt(QDateTime::currentDateTimeUtc().addDays(-1));

        f.content->newProfileAction()->trigger();
        Fixture::settle();
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(rows->index(0).data().toString(), QStringLiteral("New Lock Profile"));
        QCOMPARE(blockedText(), QStringLiteral("0 blocked apps"));
        QCOMPARE(list->view()->currentIndex().row(), 0);
        AppLockProfile *created = detail->profile();
        QVERIFY(created != first);
        QCOMPARE(created->mode(), LockMode::hideApps);

        typeInto(f.field<QLineEdit>(detail, "nameField"), QStringLiteral("!"));
        QCOMPARE(created->name(), QStringLiteral("New Lock Profile!"));
        choose(f.field<QComboBox>(detail, "modePicker"), 1);
        QCOMPARE(created->mode(), LockMode::preventLaunch);
        QCOMPARE(LockMode(rows->index(0).data(AppLockProfileListModel::LockModeRole).toInt()),
                 LockMode::preventLaunch);
        auto *apps = f.field<CommaListEdit>(detail, "blockedAppsField");
        typeInto(apps, QStringLiteral("a"));
        QCOMPARE(blockedText(), QStringLiteral("1 blocked app"));
        typeInto(apps, QStringLiteral(", b, c"));
        QCOMPARE(blockedText(), QStringLiteral("3 blocked apps"));

        QVERIFY(Fixture::chooseFromMenu(list, 0, QStringLiteral("Delete")));
        QCOMPARE(rows->rowCount(), 1);
        QVERIFY(!detail->showsForm());
    }

    // The badge's text and symbol take the accent's text colour, readable on
    // the window also for the pale accents, on the focus-screen rows and on
    // its own (the popover's rows): never the fill colour itself.
    void lockModeBadgeInkIsTheAccentTextColour_data()
    {
        QTest::addColumn<QString>("themeID");
        for (const Theme &theme : Theme::all())
            QTest::addRow("%s", qPrintable(theme.id)) << theme.id;
    }
    void lockModeBadgeInkIsTheAccentTextColour()
    {
        QFETCH(QString, themeID);
        // How close the image comes to a colour: the smallest largest channel
        // difference over its pixels (0 for a fully inked pixel of it).
        const auto closest = [](const QImage &image, const QColor &colour) {
            int best = 255;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y);
                    best = std::min(best,
                                    std::max({qAbs(qRed(p) - colour.red()), qAbs(qGreen(p) - colour.green()),
                                              qAbs(qBlue(p) - colour.blue())}));
                }
            }
            return best;
        };
        constexpr int inked = 16;
        Fixture f;
        // The choice is saved: the next store reads the system theme again.
        f.themes.setThemeID(themeID);
        const auto restore = qScopeGuard([&f] { f.themes.setThemeID(QLatin1String(Theme::kSystemID)); });
        themed(f.window.get(), &f.themes);
        f.addScreen(QStringLiteral("Badge"));
        FocusScreenListModel *rows = f.screenList()->screens();
        QListView *view = f.content->focusScreenList()->view();
        view->clearSelection();
        Fixture::settle();
        const QColor ink = LockModeBadge::textColor(&f.themes, view->palette());
        QCOMPARE(ink, Theme::forID(themeID).accentText(view->palette(), f.appearance.systemAccent()));

        QWidget holder;
        themed(&holder, &f.themes);
        auto *badge = new LockModeBadge(LockMode::preventLaunch, &f.themes, &holder);
        badge->resize(badge->sizeHint());
        holder.resize(badge->sizeHint());
        const QImage images[] = {view->viewport()->grab(view->visualRect(rows->index(0))).toImage(),
                                 holder.grab().toImage()};
        for (const QImage &image : images)
            QVERIFY2(closest(image, ink) <= inked, qPrintable(ink.name()));
    }

    // steps on the first schedule row: "add", "day<n>" toggles a weekday,
    // "start HH:mm", "end HH:mm" sets and turns on the end, "noend",
    // "remove". stored: the screen's schedules afterwards.
    void scheduleSection_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("a new schedule: weekdays at nine") << QStringList{"add"} << QStringList{"12345@09:00"};
        QTest::newRow("days and times") << QStringList{"add", "day1", "day6", "start 07:30", "end 11:00"}
                                        << QStringList{"23456@07:30-11:00"};
        QTest::newRow("an end turned off")
            << QStringList{"add", "end 11:00", "noend"} << QStringList{"12345@09:00"};
        QTest::newRow("no weekday: not stored")
            << QStringList{"add", "day1", "day2", "day3", "day4", "day5"} << QStringList{};
        QTest::newRow("two, the first removed")
            << QStringList{"add", "add", "day7", "remove"} << QStringList{"123457@09:00"};
    }
    void scheduleSection()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, stored);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Scheduled"));
        FocusScreenDetail *detail = f.edit(s);
        ScheduleEditor *editor = detail->scheduleEditor();
        QVERIFY(editor);
        for (const QString &step : std::as_const(steps)) {
            const int last = editor->rowCount() - 1;
            if (step == u"add") {
                editor->addButton()->click();
            } else if (step.startsWith(u"day")) {
                editor->dayButton(last, step.mid(3).toInt())->click();
            } else if (step.startsWith(u"start ")) {
                editor->startEdit(last)->setTime(QTime::fromString(step.mid(6), QStringLiteral("HH:mm")));
            } else if (step.startsWith(u"end ")) {
                editor->endToggle(last)->setChecked(true);
                editor->endEdit(last)->setTime(QTime::fromString(step.mid(4), QStringLiteral("HH:mm")));
            } else if (step == u"noend") {
                editor->endToggle(last)->setChecked(false);
            } else if (step == u"remove") {
                editor->removeButton(0)->click();
            }
            Fixture::settle();
        }
        QCOMPARE(s->schedules(), stored);
        auto *caption = detail->findChild<QLabel *>(QStringLiteral("nextStartCaption"));
        QCOMPARE(caption->text().isEmpty(), stored.isEmpty());
        // The list says the next start too.
        FocusScreenListModel *rows = f.screenList()->screens();
        QCOMPARE(rows->index(0).data(FocusScreenListModel::NextStartRole).toString(), caption->text());
        // What another store reads back.
        QVERIFY(f.context()->save());
        auto other = f.reopen();
        QCOMPARE(other->mainContext()->fetch<FocusScreen>().first()->schedules(), stored);
    }

    // The picker lists the profiles; the choice is stored; the profile's
    // page says which screens use it; a deleted profile reads as none.
    void lockProfilePicker()
    {
        Fixture f;
        auto *reading = f.model->addLockProfile(QStringLiteral("Reading"), {}, {}, LockMode::hideApps);
        auto *social = f.model->addLockProfile(QStringLiteral("Social"), {}, {}, LockMode::overlay);
        FocusScreen *s = f.addScreen(QStringLiteral("Deep Work"));
        f.addScreen(QStringLiteral("Mail"));
        FocusScreenDetail *detail = f.edit(s);
        QComboBox *picker = detail->lockProfilePicker();
        QCOMPARE(picker->count(), 3);
        QCOMPARE(picker->itemText(2), QStringLiteral("Social"));
        QCOMPARE(picker->currentIndex(), 0);
        picker->setCurrentIndex(2);
        Q_EMIT picker->activated(2);
        Fixture::settle();
        QCOMPARE(s->lockProfileID(), social->uuid());

        f.model->setSidebar(SidebarItem::profiles);
        f.model->setSelection(social->id());
        Fixture::settle();
        AppLockProfileDetail *profiles = f.content->lockProfileDetail();
        QCOMPARE(profiles->usedByLabel()->text(), QStringLiteral("Used by: Deep Work"));
        f.model->setSelection(reading->id());
        Fixture::settle();
        QCOMPARE(profiles->usedByLabel()->text(), AppLockProfileDetail::usedByText({}));

        f.context()->remove(social);
        Fixture::settle();
        f.model->setSidebar(SidebarItem::focusScreens);
        f.model->setSelection(s->id());
        Fixture::settle();
        QCOMPARE(picker->count(), 2);
        QCOMPARE(picker->currentIndex(), 0);
    }

    // rounds as typed into the field: what is stored and whether the break
    // controls show.
    void roundsSection_data()
    {
        QTest::addColumn<int>("typed");
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<bool>("breaksShown");
        QTest::newRow("one session") << 1 << qint64(0) << false;
        QTest::newRow("four rounds") << 4 << qint64(4) << true;
        QTest::newRow("more than the most") << 99 << qint64(RoundLimits::kMaxRounds) << true;
    }
    void roundsSection()
    {
        QFETCH(int, typed);
        QFETCH(qint64, stored);
        QFETCH(bool, breaksShown);
        Fixture f;
        FocusScreen *s = f.addScreen(QStringLiteral("Rounds"));
        FocusScreenDetail *detail = f.edit(s);
        detail->roundsField()->setValue(typed);
        Fixture::settle();
        QCOMPARE(s->rounds(), stored);
        QCOMPARE(detail->findChild<QWidget *>(QStringLiteral("breakControls"))->isVisibleTo(detail),
                 breaksShown);
        auto *breakField = detail->findChild<QSpinBox *>(QStringLiteral("breakField"));
        breakField->setValue(7);
        QCOMPARE(s->breakLength(), 7 * 60.0);
        auto *appsBack = detail->findChild<QCheckBox *>(QStringLiteral("appsBackToggle"));
        QVERIFY(appsBack->isChecked());
        appsBack->click();
        QVERIFY(!s->appsBackDuringBreak());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
