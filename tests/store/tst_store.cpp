// SPDX-License-Identifier: MIT
// The persistence service and the store file: round trips, identity,
// observation, automatic saving, and every way opening a file can fail.
#include "AppLockProfile.h"
#include "AppSettings.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "Migration.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "Query.h"
#include "Store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

std::unique_ptr<ModelContainer> openStore(const QString &path, QString *error = nullptr)
{
    return ModelContainer::open(path, Store::schema(), error);
}

// Uses the file through a separate connection; false if it does not open.
template<typename Use> bool onConnection(const QString &path, Use &&use)
{
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        opened = db.open();
        if (opened)
            use(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return opened;
}

// Runs one SQL statement on the file; the first value of its first row.
QVariant rawQuery(const QString &path, const QString &sql)
{
    QVariant result;
    onConnection(path, [&](const QSqlDatabase &db) {
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            result = q.value(0);
    });
    return result;
}

// Side files another connection may leave behind.
void removeSideFiles(const QString &path)
{
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
}

// Child process for the crash test: inserts and saves as fast as it can
// until it is killed.
int runWriter(const QString &path)
{
    static int argc = 0;
    QCoreApplication app(argc, nullptr);
    auto container = openStore(path);
    if (!container)
        return 2;
    ModelContext *ctx = container->mainContext();
    ctx->setAutosaveEnabled(false);
    for (int i = 0;; ++i) {
        for (int j = 0; j < 50; ++j) {
            auto *session = ctx->insert(
                std::make_unique<FocusSession>(QUuid::createUuid(), QDateTime::currentDateTimeUtc()));
            session->complete(QDateTime::currentDateTimeUtc().addSecs(j));
        }
        // Both tables change in one transaction: their counts must agree.
        auto *screen = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("batch %1").arg(i), 50));
        Q_UNUSED(screen);
        ctx->save();
        // Tells the test a whole batch is on disk.
        std::fputs("saved\n", stdout);
        std::fflush(stdout);
    }
}

// Writes the checked-in store of schema version 1 to path, in the given
// journal mode ("delete" as sqlite3 leaves it, "wal" as Lumora keeps it);
// extra statements run after it.
bool writeFixture(const QString &path, const QString &journalMode, const QStringList &extra = {})
{
    QFile fixture(QStringLiteral(LUMORA_STORE_FIXTURES "/store-v1.sql"));
    if (!fixture.open(QIODevice::ReadOnly))
        return false;
    QStringList statements;
    while (!fixture.atEnd()) {
        const QString line = QString::fromUtf8(fixture.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1String("--")))
            statements << line;
    }
    statements << QStringLiteral("PRAGMA journal_mode=%1").arg(journalMode) << extra;
    bool ok = true;
    const bool opened = onConnection(path, [&](const QSqlDatabase &db) {
        for (const QString &sql : std::as_const(statements)) {
            QSqlQuery q(db);
            if (!q.exec(sql)) {
                qWarning() << sql << q.lastError().text();
                ok = false;
            }
        }
    });
    return opened && ok;
}

// Every row of a table as text, the given columns in order.
QStringList rows(const QString &path, const QString &table, const QStringList &columns)
{
    QStringList out;
    QStringList quoted;
    for (const QString &c : columns)
        quoted << QStringLiteral("quote(\"%1\")").arg(c);
    onConnection(path, [&](const QSqlDatabase &db) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY id").arg(quoted.join(u','), table)))
            while (q.next()) {
                QStringList values;
                for (int i = 0; i < columns.size(); ++i)
                    values << q.value(i).toString();
                out << values.join(u'|');
            }
    });
    return out;
}

// The version-1 columns of a record type.
QStringList firstColumns(const EntityInfo &entity)
{
    QStringList out{QStringLiteral("id")};
    for (const ColumnInfo &column : entity.columns)
        if (column.since == 1)
            out << QString::fromLatin1(column.name);
    return out;
}

// Each table's columns as the file declares them.
QStringList tableShapes(const QString &path)
{
    QStringList out;
    for (const EntityInfo *entity : Store::schema()) {
        QStringList columns;
        onConnection(path, [&](const QSqlDatabase &db) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(entity->name)))
                while (q.next())
                    columns << QStringLiteral("%1.%2 %3 notnull=%4 default=%5")
                                   .arg(entity->name, q.value(1).toString(), q.value(2).toString(),
                                        q.value(3).toString(), q.value(4).toString());
        });
        columns.sort();
        out << columns;
    }
    return out;
}

QStringList backupsBeside(const QString &path)
{
    const QFileInfo info(path);
    return QDir(info.path()).entryList({info.fileName() + QStringLiteral(".v*.bak")}, QDir::Files);
}

// Child process for the migration crash test: opens the store, which
// migrates it, and waits at the given stage until it is killed.
int runMigrator(const QString &path, const QString &stage)
{
    static int argc = 0;
    QCoreApplication app(argc, nullptr);
    StoreOpenOptions options;
    options.migrationProbe = [&](Migration::Stage reached) {
        static const char *const names[] = {"backedUp", "stepsRun", "committed"};
        if (stage != QLatin1String(names[int(reached)]))
            return;
        std::printf("%s\n", names[int(reached)]);
        std::fflush(stdout);
        for (;;)
            ::pause();
    };
    QString error;
    auto container = ModelContainer::open(path, Store::schema(), &error, options);
    std::printf("finished %s\n", qPrintable(error));
    return container ? 0 : 1;
}

} // namespace

class TestStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString storePath(const QString &name) const { return m_dir.filePath(name); }
    // The two ways a store file may keep its journal, as rows.
    static void journalModes()
    {
        QTest::addColumn<QString>("journalMode");
        QTest::newRow("rollback journal") << "delete";
        QTest::newRow("write-ahead log") << "wal";
    }

private Q_SLOTS:
    // A new screen locks without strictness and with its own identity; a new
    // settings row has the program's one default shortcut, Ctrl+Alt+Super+F.
    void newRecordDefaults()
    {
        const QDateTime before = QDateTime::currentDateTimeUtc();
        FocusScreen a(QStringLiteral("A"), 60);
        FocusScreen b(QStringLiteral("B"), 60);
        QCOMPARE(a.lockMode(), LockMode::hideApps);
        QVERIFY(!a.strictModeEnabled() && !a.autoStartOnLogin());
        QCOMPARE(a.strictModeType(), StrictModeType::none);
        QVERIFY(!a.uuid().isNull());
        QVERIFY(a.uuid() != b.uuid());
        QVERIFY(a.createdAt() >= before && a.createdAt() <= QDateTime::currentDateTimeUtc());

        AppSettings settings;
        QCOMPARE(settings.globalShortcut(), QStringLiteral("\u2303\u2325\u2318F"));
        QCOMPARE(settings.globalShortcut(), QString::fromUtf8(AppSettings::kDefaultGlobalShortcut));
    }

    void completeAt_data()
    {
        QTest::addColumn<int>("offsetMs");
        QTest::addColumn<double>("expected");
        QTest::newRow("at the start") << 0 << 0.0;
        QTest::newRow("later") << 61500 << 61.5;
        QTest::newRow("before the start is negative") << -2000 << -2.0;
    }
    void completeAt()
    {
        QFETCH(int, offsetMs);
        QFETCH(double, expected);
        const QDateTime start = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);
        FocusSession session(QUuid::createUuid(), start);
        QVERIFY(!session.completed() && !session.endTime() && !session.actualDuration());
        session.complete(start.addMSecs(offsetMs));
        QVERIFY(session.completed());
        QCOMPARE(*session.endTime(), start.addMSecs(offsetMs));
        QCOMPARE(*session.actualDuration(), expected);
    }

    // Every field of every record survives a save and a fresh open,
    // including the difference between absent and empty.
    void roundTrip()
    {
        const QString path = storePath(QStringLiteral("roundtrip.store"));
        // Each record's columns as they were written.
        QHash<PersistentIdentifier, QVariantList> written;
        const auto columns = [](const PersistentModel &model) {
            QVariantList out;
            for (const ColumnInfo &column : model.entity().columns)
                out << column.get(model);
            return out;
        };
        PersistentIdentifier screenId, sessionId, profileId;
        {
            auto container = openStore(path);
            QVERIFY(container);
            ModelContext *ctx = container->mainContext();
            auto *profile = ctx->insert(std::make_unique<AppLockProfile>(
                QString(), QStringList{QStringLiteral("x")}, QStringList{QStringLiteral("reddit.com")},
                LockMode::preventLaunch));
            auto *screen = ctx->insert(std::make_unique<FocusScreen>(
                QStringLiteral("Tiefe Arbeit \u00E9\U0001F600"), 1234.5,
                QStringList{QStringLiteral("org.gnome.Terminal"), QStringLiteral("a,b \"quoted\"")},
                QStringList{QString()}, LockMode::overlay, true, -7, true, StrictModeType::password,
                QString(), QStringLiteral("p\u00E4ss"), QStringLiteral("firefox"), std::nullopt,
                OverlayBackgroundType::gradient, QStringLiteral("linear:#000,#fff")));
            screen->setRounds(4);
            screen->setBreakLength(120.5);
            screen->setLongBreakEvery(2);
            screen->setLongBreakLength(600);
            screen->setAppsBackDuringBreak(false);
            screen->setLockProfileID(profile->uuid());
            screen->setSchedules({QStringLiteral("12345@09:00-12:00")});
            auto *session = ctx->insert(std::make_unique<FocusSession>(
                screen->uuid(), QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC)));
            session->complete(QDateTime::fromMSecsSinceEpoch(1'700'000'600'623, Qt::UTC));
            session->setNote(QStringLiteral("chapter 3, \"drafts\"\nand notes"));
            session->setRound(2);
            auto *settings = ctx->insert(std::make_unique<AppSettings>());
            settings->setGlobalShortcut(QStringLiteral("ctrl+alt+space"));
            settings->setLaunchAtLogin(true);
            settings->setDefaultLockMode(LockMode::overlay);
            settings->setAccentColor(QStringLiteral("systemPink"));
            settings->setDefaultStrictModeType(StrictModeType::math);
            QString error;
            QVERIFY2(ctx->save(&error), qPrintable(error));
            for (const PersistentModel *model :
                 std::initializer_list<const PersistentModel *>{profile, screen, session, settings})
                written.insert(model->id(), columns(*model));
            screenId = screen->id();
            sessionId = session->id();
            profileId = profile->id();
        }
        auto container = openStore(path);
        QVERIFY(container);
        ModelContext *ctx = container->mainContext();
        for (auto it = written.cbegin(); it != written.cend(); ++it) {
            const PersistentModel *model = ctx->model(it.key());
            QVERIFY(model);
            const QVariantList read = columns(*model);
            for (int i = 0; i < read.size(); ++i)
                QVERIFY2(read[i] == it.value()[i], model->entity().columns[i].name);
        }
        // What the encoded columns cannot tell apart.
        auto *screen = ctx->model<FocusScreen>(screenId);
        QCOMPARE(screen->name(), QStringLiteral("Tiefe Arbeit \u00E9\U0001F600"));
        QCOMPARE(screen->strictModeSentence(), std::optional<QString>(QString()));
        QCOMPARE(screen->autoOpenURL(), std::nullopt);
        QCOMPARE(ctx->model<FocusSession>(sessionId)->startTime(),
                 QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC));
        QCOMPARE(ctx->model<AppLockProfile>(profileId)->name(),
                 QStringLiteral("")); // a null name saves as empty
        // The wrong entity never resolves.
        QVERIFY(!ctx->model<FocusSession>(screenId));

        // The file is readable by other tools under the field names.
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT lockMode FROM FocusScreen")).toString(),
                 QStringLiteral("overlay"));
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT autoOpenURL IS NULL FROM FocusScreen")).toInt(), 1);
        QCOMPARE(rawQuery(path, QStringLiteral("PRAGMA user_version")).toInt(), Migration::latestVersion());
    }

    void insertVisibleBeforeSaveAndSorted()
    {
        auto container = openStore(storePath(QStringLiteral("fetch.store")));
        QVERIFY(container);
        ModelContext *ctx = container->mainContext();
        ctx->setAutosaveEnabled(false);
        const QList<qint64> orders{2, 0, 1, 0};
        QList<FocusScreen *> inserted;
        for (int i = 0; i < orders.size(); ++i) {
            inserted << ctx->insert(std::make_unique<FocusScreen>(QString::number(i), 60, QStringList{},
                                                                  QStringList{}, LockMode::hideApps,
                                                                  i % 2 == 1, orders[i]));
        }
        QCOMPARE(ctx->fetchCount<FocusScreen>(), 4);
        FetchDescriptor<FocusScreen> d;
        d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder)};
        const auto sorted = ctx->fetch(d);
        // Ties keep insertion order.
        QCOMPARE(sorted, (QList<FocusScreen *>{inserted[1], inserted[3], inserted[2], inserted[0]}));
        d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder, SortOrder::reverse)};
        QCOMPARE(ctx->fetch(d).first(), inserted[0]);
        d.predicate = [](const FocusScreen &s) { return s.autoStartOnLogin(); };
        QCOMPARE(ctx->fetchCount(d), 2);
        d.fetchLimit = 1;
        QCOMPARE(ctx->fetch(d).size(), 1);
        QVERIFY(ctx->hasChanges());
    }

    void deleteAndStalePointers()
    {
        const QString path = storePath(QStringLiteral("delete.store"));
        auto container = openStore(path);
        ModelContext *ctx = container->mainContext();
        auto *keep = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("keep"), 60));
        auto *gone = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("gone"), 60));
        auto *never = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("never saved"), 60));
        QVERIFY(ctx->save());
        const PersistentIdentifier goneId = gone->id();
        ctx->remove(gone);
        ctx->remove(never);
        ctx->remove(gone); // twice is harmless
        QVERIFY(gone->isDeleted());
        QVERIFY(!ctx->model(goneId));
        QCOMPARE(ctx->fetch<FocusScreen>(), QList<FocusScreen *>{keep});
        gone->setName(QStringLiteral("written after delete")); // must not resurrect it
        QVERIFY(ctx->save());
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT count(*) FROM FocusScreen")).toInt(), 1);
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT name FROM FocusScreen")).toString(),
                 QStringLiteral("keep"));
    }

    // An id is never handed out twice: not after a delete, not in a later
    // run, not by a second container on the same file.
    void identifiersAreNeverReused()
    {
        const QString path = storePath(QStringLiteral("ids.store"));
        PersistentIdentifier first, deleted, third;
        {
            auto container = openStore(path);
            ModelContext *ctx = container->mainContext();
            first = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("1"), 60))->id();
            auto *newest = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("2"), 60));
            QVERIFY(ctx->save());
            deleted = newest->id();
            ctx->remove(newest);
            QVERIFY(ctx->save());
            third = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("3"), 60))->id();
            QVERIFY(ctx->save());
        }
        auto a = openStore(path);
        auto b = openStore(path);
        QVERIFY(a && b);
        QCOMPARE(a->mainContext()->model<FocusScreen>(first)->name(), QStringLiteral("1"));
        QCOMPARE(a->mainContext()->model<FocusScreen>(third)->name(), QStringLiteral("3"));
        auto *fromA = a->mainContext()->insert(std::make_unique<FocusScreen>(QStringLiteral("from a"), 60));
        QVERIFY(a->mainContext()->save());
        auto *fromB = b->mainContext()->insert(std::make_unique<FocusScreen>(QStringLiteral("from b"), 60));
        QString error;
        QVERIFY2(b->mainContext()->save(&error), qPrintable(error));
        QCOMPARE((QSet<PersistentIdentifier>{first, deleted, third, fromA->id(), fromB->id()}).size(), 5);
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT count(*) FROM FocusScreen")).toInt(), 4);
    }

    // A stored enumeration string this release does not know (written by
    // another release) reads as the field's initial value, and is kept in
    // the file until the user changes that very field.
    void unknownEnumerationValue()
    {
        const QString path = storePath(QStringLiteral("enum.store"));
        {
            auto container = openStore(path);
            container->mainContext()->insert(std::make_unique<FocusScreen>(QStringLiteral("s"), 60));
            QVERIFY(container->mainContext()->save());
        }
        rawQuery(path,
                 QStringLiteral("UPDATE FocusScreen SET lockMode='focusMode', strictModeType='riddle'"));
        auto container = openStore(path);
        QVERIFY(container);
        ModelContext *ctx = container->mainContext();
        FocusScreen *screen = ctx->fetch<FocusScreen>().first();
        QCOMPARE(screen->lockMode(), LockMode::hideApps);
        QCOMPARE(screen->strictModeType(), StrictModeType::none);
        screen->setName(QStringLiteral("renamed"));
        QVERIFY(ctx->save());
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT lockMode FROM FocusScreen")).toString(),
                 QStringLiteral("focusMode"));
        screen->setStrictModeType(StrictModeType::math);
        QVERIFY(ctx->save());
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT strictModeType FROM FocusScreen")).toString(),
                 QStringLiteral("math"));
    }

    void changesAreCoalescedAndQueriesFollow()
    {
        auto container = openStore(storePath(QStringLiteral("observe.store")));
        ModelContext *ctx = container->mainContext();
        ctx->setAutosaveEnabled(false);
        FetchDescriptor<FocusScreen> d;
        d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::name)};
        Query<FocusScreen> query(ctx, d);
        QSignalSpy changed(ctx, &ModelContext::didChange);
        QSignalSpy refreshed(&query, &QueryBase::resultsChanged);
        auto *b = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("b"), 60));
        ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("c"), 60));
        b->setName(QStringLiteral("a"));
        b->setName(QStringLiteral("a")); // same value: no change
        QCOMPARE(changed.size(), 0);     // announced on the next turn
        QTRY_COMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toString(), QStringLiteral("FocusScreen"));
        QCOMPARE(refreshed.size(), 1);
        QCOMPARE(query.results().size(), 2);
        QCOMPARE(query.results().first()->name(), QStringLiteral("a"));
        // Changes to another record type do not refresh this query.
        ctx->insert(std::make_unique<AppSettings>());
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(refreshed.size(), 1);
    }

    void automaticSave()
    {
        const QString path = storePath(QStringLiteral("autosave.store"));
        auto container = openStore(path);
        ModelContext *ctx = container->mainContext();
        QVERIFY(ctx->autosaveEnabled());
        auto *screen = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("typed"), 60));
        QTRY_VERIFY_WITH_TIMEOUT(!ctx->hasChanges(), 5000);
        screen->setName(QStringLiteral("typed more"));
        QTRY_VERIFY_WITH_TIMEOUT(!ctx->hasChanges(), 5000);
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT name FROM FocusScreen")).toString(),
                 QStringLiteral("typed more"));
    }

    // A save the file refuses (another writer holds it) says so, keeps every
    // pending change, and is tried again until it goes through.
    void failedSaveIsReportedKeptAndRetried()
    {
        const QString path = storePath(QStringLiteral("failing.store"));
        auto container = openStore(path);
        ModelContext *ctx = container->mainContext();
        QSignalSpy failed(ctx, &ModelContext::saveFailed);
        QSignalSpy recovered(ctx, &ModelContext::saveRecovered);
        const QString blockerName = QStringLiteral("blocker");
        {
            QSqlDatabase blocker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), blockerName);
            blocker.setDatabaseName(path);
            QVERIFY(blocker.open());
            QVERIFY(QSqlQuery(blocker).exec(QStringLiteral("BEGIN IMMEDIATE")));
            for (const QString &name : QSqlDatabase::connectionNames())
                if (name != blockerName)
                    QSqlQuery(QStringLiteral("PRAGMA busy_timeout = 0"), QSqlDatabase::database(name));

            ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("kept"), 60));
            QString error;
            QVERIFY(!ctx->save(&error));
            QVERIFY2(error.contains(QLatin1String("locked")), qPrintable(error));
            QCOMPARE(failed.size(), 1);
            QCOMPARE(failed.first().first().toString(), error);
            QVERIFY(ctx->hasChanges() && ctx->isFailing());
            QCOMPARE(ctx->fetchCount<FocusScreen>(), 1);
            // The retry fails too while the file is held.
            QTRY_VERIFY_WITH_TIMEOUT(failed.size() >= 2, 3 * ModelContext::kRetryDelayMs);
            QVERIFY(recovered.isEmpty());
            QVERIFY(blocker.rollback());
            blocker.close();
        }
        QSqlDatabase::removeDatabase(blockerName);
        QTRY_COMPARE_WITH_TIMEOUT(recovered.size(), 1, 3 * ModelContext::kRetryDelayMs);
        QVERIFY(!ctx->hasChanges() && !ctx->isFailing());
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT name FROM FocusScreen")).toString(),
                 QStringLiteral("kept"));
    }

    // Every file that cannot be a store is reported with a reason and left
    // exactly as it was.
    void openFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const char *kind, const char *reason) {
            QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(reason);
        };
        row("missing folder", "missing-folder", "No such file or directory");
        row("path is a folder", "folder", "folder");
        row("not a database", "garbage", "not a database");
        row("empty but locked down", "readonly", "not writable");
        row("truncated database", "truncated", "");
        row("corrupt pages", "corrupt", "");
        row("newer schema", "newer", "newer version of Lumora");
        row("someone else's SQLite file", "foreign", "not a Lumora store");
        row("missing column", "missing-column", "no column");
    }
    void openFailures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = storePath(QStringLiteral("fail-%1/x.store").arg(kind));
        QDir().mkpath(QFileInfo(path).path());
        const auto makeValidStore = [&](int sessions) {
            auto container = openStore(path);
            QVERIFY(container);
            for (int i = 0; i < sessions; ++i)
                container->mainContext()->insert(
                    std::make_unique<FocusSession>(QUuid::createUuid(), QDateTime::currentDateTimeUtc()));
            QVERIFY(container->mainContext()->save());
        };
        const auto checkpoint = [&] { rawQuery(path, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")); };

        if (kind == QLatin1String("missing-folder")) {
            QDir(QFileInfo(path).path()).removeRecursively();
        } else if (kind == QLatin1String("folder")) {
            QDir().mkpath(path);
        } else if (kind == QLatin1String("garbage")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(5000, 'x'));
        } else if (kind == QLatin1String("readonly")) {
            makeValidStore(1);
            checkpoint();
            QFile::setPermissions(path, QFile::ReadOwner);
            if (::geteuid() == 0)
                QSKIP("root can write to any file");
        } else if (kind == QLatin1String("truncated") || kind == QLatin1String("corrupt")) {
            makeValidStore(3000);
            checkpoint();
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (kind == QLatin1String("truncated")) {
                QVERIFY(f.resize(f.size() / 2));
            } else {
                f.seek(f.size() / 2);
                f.write(QByteArray(8192, '\xA5'));
            }
        } else if (kind == QLatin1String("newer")) {
            makeValidStore(1);
            rawQuery(path, QStringLiteral("PRAGMA user_version = 99"));
            checkpoint();
        } else if (kind == QLatin1String("foreign")) {
            rawQuery(path, QStringLiteral("CREATE TABLE notes (body TEXT)"));
        } else if (kind == QLatin1String("missing-column")) {
            rawQuery(path, QStringLiteral("CREATE TABLE FocusScreen (id INTEGER PRIMARY KEY, name TEXT)"));
            rawQuery(path, QStringLiteral("PRAGMA user_version = 1"));
        }
        // Side files another connection may leave behind are not ours to judge.
        removeSideFiles(path);

        const QByteArray before = fileHash(path);
        QString error;
        auto container = openStore(path, &error);
        QVERIFY(!container);
        QVERIFY2(!error.isEmpty(), "a failure must say why");
        if (!reason.isEmpty())
            QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
        QCOMPARE(fileHash(path), before);
        if (kind == QLatin1String("missing-folder"))
            QVERIFY(!QFileInfo::exists(QFileInfo(path).path()));
    }

    // A store written before migrations existed opens at the latest version
    // with every row and value kept, after a copy of it was put beside it.
    void migrateFixture_data() { journalModes(); }
    void migrateFixture()
    {
        QFETCH(QString, journalMode);
        const QString path = storePath(QStringLiteral("migrate-%1/Lumora.store").arg(journalMode));
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(writeFixture(path, journalMode));
        QHash<QString, QStringList> before;
        for (const EntityInfo *entity : Store::schema())
            before.insert(entity->name, rows(path, entity->name, firstColumns(*entity)));
        QCOMPARE(before.value(QStringLiteral("FocusSession")).size(), 9);

        QString error;
        {
            auto container = openStore(path, &error);
            QVERIFY2(container, qPrintable(error));
            QCOMPARE(container->migratedFrom(), 1);
            QCOMPARE(container->backupPath(), path + QStringLiteral(".v1.bak"));
            ModelContext *ctx = container->mainContext();
            QCOMPARE(ctx->fetchCount<FocusScreen>(), 4);
            QCOMPARE(ctx->fetchCount<FocusSession>(), 9);
            QCOMPARE(ctx->fetchCount<AppLockProfile>(), 3);
            QCOMPARE(ctx->fetchCount<AppSettings>(), 1);
            const auto screens = ctx->fetch<FocusScreen>();
            QCOMPARE(screens.at(2)->name(), QStringLiteral("Math drill\nline two"));
            QCOMPARE(screens.at(3)->strictModeAnswer(), std::optional<QString>(QStringLiteral("s3cret")));
            QCOMPARE(ctx->fetch<AppSettings>().first()->defaultStrictModeType(), StrictModeType::math);
            for (const FocusSession *session : ctx->fetch<FocusSession>()) {
                QCOMPARE(session->note(), QString());
                QCOMPARE(session->round(), 0);
            }
            // A screen from before rounds, schedules and profiles runs as it did.
            for (const FocusScreen *screen : screens) {
                QCOMPARE(screen->rounds(), 0);
                QVERIFY(screen->appsBackDuringBreak());
                QVERIFY(screen->lockProfileID().isNull());
                QVERIFY(screen->schedules().isEmpty());
            }
            // New fields are written like the old ones.
            ctx->fetch<FocusSession>().first()->setNote(QStringLiteral("outline"));
            QVERIFY(ctx->save(&error));
        }
        QCOMPARE(rawQuery(path, QStringLiteral("PRAGMA user_version")).toInt(), Migration::latestVersion());
        for (const EntityInfo *entity : Store::schema())
            QCOMPARE(rows(path, entity->name, firstColumns(*entity)), before.value(entity->name));
        QCOMPARE(rawQuery(path, QStringLiteral("SELECT note FROM FocusSession WHERE id = 1")).toString(),
                 QStringLiteral("outline"));

        // The copy is the old store, readable by its owner only.
        const QString backup = path + QStringLiteral(".v1.bak");
        QCOMPARE(rawQuery(backup, QStringLiteral("PRAGMA user_version")).toInt(), 1);
        for (const EntityInfo *entity : Store::schema())
            QCOMPARE(rows(backup, entity->name, firstColumns(*entity)), before.value(entity->name));
        QCOMPARE(int(QFileInfo(backup).permissions() & (QFile::ReadGroup | QFile::ReadOther)), 0);

        // The next open has nothing to do; a later migration keeps an
        // earlier copy and takes the next name.
        {
            auto container = openStore(path, &error);
            QVERIFY2(container, qPrintable(error));
            QCOMPARE(container->migratedFrom(), 0);
            QVERIFY(container->backupPath().isEmpty());
        }
        QCOMPARE(backupsBeside(path), QStringList{QFileInfo(backup).fileName()});
        QCOMPARE(Migration::backupPath(path, 1), path + QStringLiteral(".v1-2.bak"));

        // A migrated store has exactly the tables and columns of a new one.
        const QString fresh = storePath(QStringLiteral("migrate-%1/fresh.store").arg(journalMode));
        QVERIFY(openStore(fresh));
        QCOMPARE(tableShapes(path), tableShapes(fresh));
    }

    // Every declared column can be added to stored rows, and every version
    // up to the latest has its step.
    void declarationsMatchSteps()
    {
        int expected = 2;
        for (const Migration::Step &step : Migration::steps())
            QCOMPARE(step.version, expected++);
        for (const EntityInfo *entity : Store::schema()) {
            QVERIFY(entity->since >= 1 && entity->since <= Migration::latestVersion());
            for (const ColumnInfo &column : entity->columns) {
                QVERIFY2(column.since >= entity->since && column.since <= Migration::latestVersion(),
                         column.name);
                const QString type = QString::fromLatin1(column.sqlType);
                if (column.since > entity->since && type.contains(QLatin1String("NOT NULL")))
                    QVERIFY2(type.contains(QLatin1String("DEFAULT")), column.name);
            }
        }
    }

    // A migration that fails says which step and why, leaves the file as it
    // was and keeps no copy.
    void failedMigration_data() { journalModes(); }
    void failedMigration()
    {
        QFETCH(QString, journalMode);
        const QString path = storePath(QStringLiteral("failing-%1/Lumora.store").arg(journalMode));
        QDir().mkpath(QFileInfo(path).path());
        // A column of the later version is already there by another hand.
        QVERIFY(writeFixture(path, journalMode,
                             {QStringLiteral("ALTER TABLE FocusSession ADD COLUMN note TEXT")}));
        removeSideFiles(path);
        const QByteArray before = fileHash(path);

        QString error;
        QVERIFY(!openStore(path, &error));
        QVERIFY2(error.contains(QLatin1String("version 1 up to")) &&
                     error.contains(QLatin1String("step 2")) &&
                     error.contains(QLatin1String("duplicate column")) &&
                     error.contains(QLatin1String("left as it was")),
                 qPrintable(error));
        removeSideFiles(path);
        QCOMPARE(fileHash(path), before);
        QVERIFY(backupsBeside(path).isEmpty());
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
    }

    // Killing the program anywhere in a migration leaves a store at the old
    // or the new version with every row, which then opens.
    void killDuringMigration_data()
    {
        QTest::addColumn<QString>("journalMode");
        QTest::addColumn<QString>("stage");
        QTest::addColumn<int>("versionAfter");
        for (const char *mode : {"delete", "wal"}) {
            QTest::addRow("%s, copy written", mode) << mode << "backedUp" << 1;
            QTest::addRow("%s, steps run, not committed", mode) << mode << "stepsRun" << 1;
            QTest::addRow("%s, committed", mode) << mode << "committed" << Migration::latestVersion();
        }
    }
    void killDuringMigration()
    {
        QFETCH(QString, journalMode);
        QFETCH(QString, stage);
        QFETCH(int, versionAfter);
        const QString path = storePath(QStringLiteral("killed-%1-%2/Lumora.store").arg(journalMode, stage));
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(writeFixture(path, journalMode));
        const QStringList sessionsBefore =
            rows(path, QStringLiteral("FocusSession"), firstColumns(FocusSession::entityInfo()));

        QProcess migrator;
        migrator.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--migrate"), path, stage});
        QVERIFY(migrator.waitForStarted());
        QVERIFY2(migrator.waitForReadyRead(60000), "the migration never reached the stage");
        QCOMPARE(migrator.readLine().trimmed(), stage.toUtf8());
        ::kill(pid_t(migrator.processId()), SIGKILL);
        QVERIFY(migrator.waitForFinished());

        // What any reader of the file sees now.
        QCOMPARE(rawQuery(path, QStringLiteral("PRAGMA user_version")).toInt(), versionAfter);
        QCOMPARE(rawQuery(path, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const bool hasNote =
            rawQuery(path, QStringLiteral(
                               "SELECT count(*) FROM pragma_table_info('FocusSession') WHERE name = 'note'"))
                .toInt() == 1;
        QCOMPARE(hasNote, versionAfter > 1);
        QCOMPARE(rows(path, QStringLiteral("FocusSession"), firstColumns(FocusSession::entityInfo())),
                 sessionsBefore);

        QString error;
        auto container = openStore(path, &error);
        QVERIFY2(container, qPrintable(error));
        QCOMPARE(container->mainContext()->fetchCount<FocusSession>(), 9);
        QCOMPARE(container->migratedFrom(), versionAfter == 1 ? 1 : 0);
    }

    void newFileIsOwnerOnly()
    {
        const QString path = storePath(QStringLiteral("perm.store"));
        auto container = openStore(path);
        QVERIFY(container);
        container->mainContext()->insert(std::make_unique<AppSettings>());
        QVERIFY(container->mainContext()->save());
        for (const QString &file : {path, path + QStringLiteral("-wal")}) {
            struct stat st
            {};
            QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 0777), 0600);
        }
    }

    // Killing the program in the middle of saving never leaves a damaged
    // store: the next open sees the last committed state.
    void killDuringSave()
    {
        const QString path = storePath(QStringLiteral("crash.store"));
        for (int round = 0; round < 4; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), path});
            QVERIFY(writer.waitForStarted());
            // Killed somewhere in a later save, after a few whole ones, each
            // round after more of them.
            int saved = 0;
            while (saved < 1 + 3 * round) {
                QVERIFY2(writer.canReadLine() || writer.waitForReadyRead(60000), "the writer saved nothing");
                while (writer.canReadLine())
                    saved += writer.readLine() == "saved\n";
            }
            QCOMPARE(writer.state(), QProcess::Running);
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());

            QString error;
            auto container = openStore(path, &error);
            QVERIFY2(container, qPrintable(error));
            ModelContext *ctx = container->mainContext();
            const int screens = ctx->fetchCount<FocusScreen>();
            QVERIFY(screens > 0);
            QCOMPARE(ctx->fetchCount<FocusSession>(), screens * 50);
            QCOMPARE(rawQuery(path, QStringLiteral("PRAGMA integrity_check")).toString(),
                     QStringLiteral("ok"));
        }
    }

    void storeLocation()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        qputenv("APP_STORE", "");
        QVERIFY(!Store::isOverridden());
        const QString expected = home.filePath(QStringLiteral("Lumora/Lumora.store"));
        QCOMPARE(Store::path(), expected);
        QCOMPARE(Store::url(), QUrl::fromLocalFile(expected));
        struct stat st
        {};
        QCOMPARE(::stat(QFile::encodeName(home.filePath(QStringLiteral("Lumora"))).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0700);

        qputenv("APP_STORE", "relative.store");
        QVERIFY(Store::isOverridden());
        QCOMPARE(Store::path(), QDir::current().absoluteFilePath(QStringLiteral("relative.store")));
        QVERIFY(!QFileInfo::exists(Store::path())); // computing the location creates nothing
        qunsetenv("APP_STORE");
    }

    // The program itself: an unopenable store ends it with the fatal
    // message and a failure status, the file untouched.
    void fatalMessage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("corrupt file") << "corrupt";
    }
    void fatalMessage()
    {
        QFETCH(QString, kind);
        const QString bin = qEnvironmentVariable("LUMORA_BIN");
        if (bin.isEmpty())
            QSKIP("LUMORA_BIN is not set");
        QString path = storePath(QStringLiteral("nowhere/x.store"));
        if (kind == QLatin1String("corrupt")) {
            path = storePath(QStringLiteral("fatal-corrupt.store"));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("SQLite format 3");
            f.write(QByteArray(4000, '\x01'));
        }
        const QByteArray before = fileHash(path);
        QProcess lumora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("APP_STORE"), path);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        lumora.setProcessEnvironment(env);
        lumora.start(bin, {});
        QVERIFY(lumora.waitForFinished(20000));
        QVERIFY(lumora.exitCode() != 0);
        const QString err = QString::fromLocal8Bit(lumora.readAllStandardError());
        const QString prefix =
            QStringLiteral("Could not open the database at ") + path + QStringLiteral(": ");
        QVERIFY2(err.contains(prefix), qPrintable(err));
        QVERIFY(err.section(prefix, 1).trimmed().size() > 3);
        QCOMPARE(fileHash(path), before);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--migrate") == 0)
        return runMigrator(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    TestStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store.moc"
