// SPDX-License-Identifier: MIT
// The app model's operations and reading orders, the comma-list convention,
// the remembered settings tab and the seed.
#include "AppLockProfile.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "CommaList.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContext.h"
#include "SeedData.h"
#include "Store.h"
#include "UserDefaults.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestAppModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ModelContainer> m_container;
    std::unique_ptr<AppModel> m_model;

    ModelContext *ctx() const { return m_model->context(); }

private Q_SLOTS:
    void init()
    {
        static int n = 0;
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config%1").arg(n)).toUtf8());
        const QString path = m_dir.filePath(QStringLiteral("model%1.store").arg(n++));
        qputenv("APP_STORE", path.toUtf8());
        m_container = Store::makeContainer();
        m_model = std::make_unique<AppModel>(m_container.get());
    }
    void cleanup()
    {
        m_model.reset();
        m_container.reset();
        qunsetenv("APP_STORE");
        qunsetenv("APP_SEED");
    }

    void addFocusScreenTakesDefaultStrictType_data()
    {
        QTest::addColumn<bool>("withSettingsRow");
        QTest::addColumn<StrictModeType>("expected");
        QTest::newRow("no settings row") << false << StrictModeType::none;
        QTest::newRow("row says math") << true << StrictModeType::math;
    }
    void addFocusScreenTakesDefaultStrictType()
    {
        QFETCH(bool, withSettingsRow);
        QFETCH(StrictModeType, expected);
        if (withSettingsRow)
            ctx()->insert(std::make_unique<AppSettings>())->setDefaultStrictModeType(StrictModeType::math);
        QSignalSpy selection(m_model.get(), &AppModel::selectionChanged);
        FocusScreen *screen =
            m_model->addFocusScreen(QStringLiteral("New Focus Screen"), 600, LockMode::hideApps);
        QCOMPARE(ctx()->fetchCount<FocusScreen>(), 1);
        QCOMPARE(m_model->selection(), std::optional(screen->id()));
        QCOMPARE(selection.size(), 1);
        QCOMPARE(screen->strictModeType(), expected);
        QVERIFY(!screen->strictModeEnabled());
        QVERIFY(!screen->autoStartOnLogin());
        QCOMPARE(screen->sortOrder(), 0);
        QVERIFY(ctx()->hasChanges()); // adding does not save
    }

    void deleteClearsAnySelection()
    {
        FocusScreen *screen = m_model->addFocusScreen(QStringLiteral("a"), 60, LockMode::overlay);
        AppLockProfile *profile = m_model->addLockProfile(QStringLiteral("p"), {}, {}, LockMode::hideApps);
        QCOMPARE(m_model->selection(), std::optional(profile->id()));
        FocusSession *session = m_model->startFocusSession(screen);
        m_model->deleteFocusScreen(screen);
        QVERIFY(!m_model->selection());
        QVERIFY(!ctx()->hasChanges()); // deleting saves
        QCOMPARE(ctx()->fetchCount<FocusScreen>(), 0);
        QCOMPARE(ctx()->fetch<FocusSession>(), QList<FocusSession *>{session}); // sessions stay

        m_model->setSelection(session->id());
        m_model->deleteLockProfile(profile);
        QVERIFY(!m_model->selection());
        QCOMPARE(ctx()->fetchCount<AppLockProfile>(), 0);
    }

    void startAndCompleteSession()
    {
        FocusScreen *screen = m_model->addFocusScreen(QStringLiteral("a"), 60, LockMode::hideApps);
        FocusSession *first = m_model->startFocusSession(screen);
        FocusSession *second = m_model->startFocusSession(screen); // another may be running
        QVERIFY(first != second);
        QCOMPARE(first->focusScreenID(), screen->uuid());
        QVERIFY(!first->completed() && !first->endTime());
        m_model->completeFocusSession(first);
        QVERIFY(first->completed());
        QVERIFY(first->endTime() && first->actualDuration());
        QVERIFY(*first->actualDuration() >= 0 && *first->actualDuration() < 5);
        QVERIFY(!ctx()->hasChanges());
    }

    // Sessions a run that died left open end when it was last known alive;
    // a moment that cannot be their end counts as their start.
    void closeAbandonedSessions_data()
    {
        QTest::addColumn<std::optional<int>>("lastAliveAfterStart"); // seconds
        QTest::addColumn<int>("expectedDuration");
        QTest::newRow("nothing known") << std::optional<int>() << 0;
        QTest::newRow("alive 95 s into the session") << std::optional(95) << 95;
        QTest::newRow("last alive before the start") << std::optional(-30) << 0;
        QTest::newRow("last alive in the future") << std::optional(7200) << 0;
    }
    void closeAbandonedSessions()
    {
        QFETCH(std::optional<int>, lastAliveAfterStart);
        QFETCH(int, expectedDuration);
        const QDateTime start(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC);
        const QDateTime now = start.addSecs(3600);
        FocusScreen *screen = m_model->addFocusScreen(QStringLiteral("Deep Work"), 1500, LockMode::hideApps);
        auto *open = ctx()->insert(std::make_unique<FocusSession>(screen->uuid(), start));
        auto *done = ctx()->insert(std::make_unique<FocusSession>(screen->uuid(), start.addSecs(-600)));
        done->complete(start.addSecs(-100));
        std::optional<QDateTime> lastAlive;
        if (lastAliveAfterStart)
            lastAlive = start.addSecs(*lastAliveAfterStart);

        QCOMPARE(m_model->closeAbandonedSessions(lastAlive, now), 1);
        QCOMPARE(open->endTime(), std::optional(start.addSecs(expectedDuration)));
        QCOMPARE(open->actualDuration(), std::optional(double(expectedDuration)));
        QVERIFY(!open->completed());
        QVERIFY(done->completed());
        QCOMPARE(done->endTime(), std::optional(start.addSecs(-100)));
        QCOMPARE(m_model->closeAbandonedSessions(lastAlive, now), 0);
    }

    void readingOrders()
    {
        auto *late = ctx()->insert(std::make_unique<FocusScreen>(QStringLiteral("late"), 60, QStringList{},
                                                                 QStringList{}, LockMode::hideApps, true, 1));
        auto *earlyToo = ctx()->insert(std::make_unique<FocusScreen>(
            QStringLiteral("early too"), 60, QStringList{}, QStringList{}, LockMode::hideApps, true, 0));
        auto *early = ctx()->insert(std::make_unique<FocusScreen>(QStringLiteral("early"), 60));
        // createdAt breaks ties in sortOrder, not the order of insertion.
        early->setCreatedAt(earlyToo->createdAt().addSecs(-1));
        QCOMPARE(m_model->focusScreens(), (QList<FocusScreen *>{early, earlyToo, late}));
        QCOMPARE(m_model->autoStartFocusScreens(), (QList<FocusScreen *>{earlyToo, late}));

        const QDateTime now = QDateTime::currentDateTimeUtc();
        auto *older = ctx()->insert(std::make_unique<FocusSession>(late->uuid(), now.addSecs(-60)));
        auto *newer = ctx()->insert(std::make_unique<FocusSession>(late->uuid(), now));
        QCOMPARE(m_model->sessions(), (QList<FocusSession *>{newer, older}));

        auto *p1 = m_model->addLockProfile(QStringLiteral("1"), {}, {}, LockMode::hideApps);
        auto *p2 = m_model->addLockProfile(QStringLiteral("2"), {}, {}, LockMode::hideApps);
        p2->setCreatedAt(p1->createdAt().addSecs(1));
        QCOMPARE(m_model->lockProfiles(), (QList<AppLockProfile *>{p2, p1}));
    }

    void settingsTab_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<SettingsTab>("expected");
        QTest::newRow("nothing stored") << QString() << SettingsTab::general;
        QTest::newRow("stats") << "stats" << SettingsTab::stats;
        QTest::newRow("old name") << "statistics" << SettingsTab::general;
        QTest::newRow("wrong case") << "Profiles" << SettingsTab::general;
    }
    void settingsTab()
    {
        QFETCH(QString, stored);
        QFETCH(SettingsTab, expected);
        if (!stored.isEmpty())
            UserDefaults::open()->setValue(QLatin1String(AppModel::kSettingsTabKey), stored);
        AppModel model(m_container.get()); // reads the key even for an overridden store
        QCOMPARE(model.settingsTab(), expected);
    }

    void settingsTabIsRememberedOnlyForTheRealStore()
    {
        const auto storedTab = [] {
            return UserDefaults::open()->value(QLatin1String(AppModel::kSettingsTabKey));
        };
        m_model->setSettingsTab(SettingsTab::appearance);
        QCOMPARE(m_model->settingsTab(), SettingsTab::appearance);
        QVERIFY(!storedTab().isValid()); // APP_STORE is set: development runs leave it alone

        qunsetenv("APP_STORE");
        QSignalSpy changed(m_model.get(), &AppModel::settingsTabChanged);
        m_model->setSettingsTab(SettingsTab::stats);
        QCOMPARE(storedTab().toString(), QStringLiteral("stats"));
        UserDefaults::open()->remove(QLatin1String(AppModel::kSettingsTabKey));
        m_model->setSettingsTab(SettingsTab::stats); // written on every assignment
        QCOMPARE(storedTab().toString(), QStringLiteral("stats"));
        QCOMPARE(changed.size(), 1);
    }

    void parseCommaList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("only commas and blanks") << " , ,\t," << QStringList();
        QTest::newRow("one with noise") << ",  com.apple.Safari,, " << QStringList{"com.apple.Safari"};
        QTest::newRow("editor example") << ", , a ,b,, c" << QStringList{"a", "b", "c"};
        QTest::newRow("duplicates kept") << "a, a" << QStringList{"a", "a"};
        QTest::newRow("case kept") << "Org.Foo" << QStringList{"Org.Foo"};
        QTest::newRow("inner spaces kept") << " a b " << QStringList{"a b"};
        QTest::newRow("line breaks not trimmed") << "a\n, b" << QStringList{"a\n", "b"};
        QTest::newRow("no-break space not trimmed") << "\u00A0a" << QStringList{"\u00A0a"};
    }
    void parseCommaList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(::parseCommaList(text), expected);
        QCOMPARE(::parseCommaList(::commaListText(expected)),
                 expected.filter(QRegularExpression(QStringLiteral("\\S"))));
    }

    // The seed is saved, its session belongs to a seeded screen, and a
    // second seeding adds nothing.
    void seed()
    {
        qputenv("APP_SEED", "1");
        for (int run = 0; run < 2; ++run) {
            SeedData::insertIfRequested(*m_model);
            QCOMPARE(ctx()->fetchCount<FocusScreen>(), 3);
            QCOMPARE(ctx()->fetchCount<AppLockProfile>(), 1);
            QCOMPARE(ctx()->fetchCount<FocusSession>(), 1);
            QCOMPARE(ctx()->fetchCount<AppSettings>(), 1);
            QVERIFY(!ctx()->hasChanges());
        }
        QCOMPARE(ctx()->fetch<FocusSession>().first()->focusScreenID(),
                 ctx()->fetch<FocusScreen>().first()->uuid());
    }

    void seedAddsOnlyTheMissingSettingsRow()
    {
        qputenv("APP_SEED", "1");
        m_model->addFocusScreen(QStringLiteral("mine"), 60, LockMode::hideApps);
        SeedData::insertIfRequested(*m_model);
        QCOMPARE(ctx()->fetchCount<FocusScreen>(), 1);
        QCOMPARE(ctx()->fetchCount<FocusSession>(), 0);
        QCOMPARE(ctx()->fetchCount<AppSettings>(), 1);
    }

    void seedIgnoresOtherValues_data()
    {
        QTest::addColumn<QByteArray>("value");
        for (const char *v : {"true", "yes", "01", " 1", "1 ", "2", ""})
            QTest::newRow(v) << QByteArray(v);
    }
    void seedIgnoresOtherValues()
    {
        QFETCH(QByteArray, value);
        qputenv("APP_SEED", value);
        SeedData::insertIfRequested(*m_model);
        QCOMPARE(ctx()->fetchCount<FocusScreen>(), 0);
        QCOMPARE(ctx()->fetchCount<AppSettings>(), 0);
    }

    // Seeding the real store is refused with one line; checked through the
    // program so that standard output is the program's own.
    void seedRefusedWithoutOverride()
    {
        const QString bin = qEnvironmentVariable("LUMORA_BIN");
        if (bin.isEmpty())
            QSKIP("LUMORA_BIN is not set");
        QTemporaryDir data;
        QProcess lumora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("APP_STORE"));
        env.insert(QStringLiteral("APP_SEED"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        lumora.setProcessEnvironment(env);
        lumora.start(bin, {});
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += lumora.readAllStandardOutput()).contains("APP_SEED ignored"), 20000);
        lumora.kill();
        lumora.waitForFinished();
        QVERIFY(out.contains("APP_SEED ignored: APP_STORE must be a file in /tmp\n"));
        QVERIFY(QFileInfo::exists(data.filePath(QStringLiteral("Lumora/Lumora.store"))));
    }
};

QTEST_GUILESS_MAIN(TestAppModel)
#include "tst_appmodel.moc"
