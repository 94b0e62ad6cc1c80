// SPDX-License-Identifier: MIT
// Sessions written out as CSV and JSON: fields quoted so any reader gets them
// back, the store read row by row, and a file that is whole or untouched.
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "SessionExport.h"
#include "Store.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Reads CSV as RFC 4180 has it: quoted fields may hold commas, doubled
// quotes and line breaks; records end with CRLF.
QList<QStringList> parseCsv(const QByteArray &data)
{
    QList<QStringList> records;
    QStringList record;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (quoted) {
            if (c == '"' && i + 1 < data.size() && data[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << QString::fromUtf8(field);
            field.clear();
        } else if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') {
            record << QString::fromUtf8(field);
            field.clear();
            records << record;
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<ModelContainer> container;
    QDateTime base = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);

    Fixture()
    {
        QString error;
        container =
            ModelContainer::open(dir.filePath(QStringLiteral("Lumora.store")), Store::schema(), &error);
        QVERIFY2(container, qPrintable(error));
        ModelContext *ctx = container->mainContext();
        auto *odd =
            ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("Write, \"edit\"\nrepeat"), 1500.0));
        auto *plain = ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("Deep Work"), 3000.0));
        // Stored out of time order: the export is oldest first.
        auto *second = ctx->insert(std::make_unique<FocusSession>(plain->uuid(), base.addDays(1)));
        second->setEndTime(base.addDays(1).addSecs(600));
        second->setActualDuration(600.25);
        second->setRound(2);
        auto *first = ctx->insert(std::make_unique<FocusSession>(odd->uuid(), base));
        first->complete(base.addSecs(1500));
        first->setNote(QStringLiteral("chapter 3, \"intro\"\r\nand the outline"));
        ctx->insert(std::make_unique<FocusSession>(QUuid::createUuid(), base.addDays(2)))
            ->complete(base.addDays(2).addSecs(60));
        ctx->insert(std::make_unique<FocusSession>(plain->uuid(), base.addDays(3))); // still running
        QVERIFY(ctx->save());
    }
    QSqlDatabase db() const { return container->database(); }
};

} // namespace

class TestSessionExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvField_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain") << "Deep Work" << QByteArray("Deep Work");
        QTest::newRow("empty") << "" << QByteArray("");
        QTest::newRow("comma") << "a,b" << QByteArray("\"a,b\"");
        QTest::newRow("quote") << "say \"hi\"" << QByteArray("\"say \"\"hi\"\"\"");
        QTest::newRow("line feed") << "one\ntwo" << QByteArray("\"one\ntwo\"");
        QTest::newRow("carriage return") << "one\rtwo" << QByteArray("\"one\rtwo\"");
        QTest::newRow("not ASCII") << "Übung – 5"
                                   << QByteArray("\xc3\x9c"
                                                 "bung \xe2\x80\x93 5");
    }
    void csvField()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(SessionExport::csvField(value), expected);
    }

    // Every field comes back as it was stored, oldest session first, in
    // both formats, and --since keeps the later ones.
    void everyField_data()
    {
        QTest::addColumn<SessionExport::Format>("format");
        QTest::addColumn<bool>("since");
        QTest::newRow("csv") << SessionExport::Format::csv << false;
        QTest::newRow("json") << SessionExport::Format::json << false;
        QTest::newRow("csv since the second day") << SessionExport::Format::csv << true;
        QTest::newRow("json since the second day") << SessionExport::Format::json << true;
    }
    void everyField()
    {
        QFETCH(SessionExport::Format, format);
        QFETCH(bool, since);
        Fixture f;
        QBuffer out;
        QVERIFY(out.open(QIODevice::WriteOnly));
        const auto result = SessionExport::write(
            f.db(), format, since ? std::optional(f.base.addDays(1)) : std::nullopt, out);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.sessions, since ? 3 : 4);

        QList<QStringList> rows;
        if (format == SessionExport::Format::csv) {
            rows = parseCsv(out.data());
            QCOMPARE(rows.takeFirst(), SessionExport::fieldNames());
        } else {
            QJsonParseError error{};
            const QJsonArray array = QJsonDocument::fromJson(out.data(), &error).array();
            QCOMPARE(error.error, QJsonParseError::NoError);
            for (const QJsonValue &value : array) {
                QStringList row;
                for (const QString &name : SessionExport::fieldNames()) {
                    const QJsonValue field = value.toObject().value(name);
                    QVERIFY2(!field.isUndefined(), qPrintable(name));
                    row << (field.isDouble() ? QString::number(field.toDouble(), 'g', 15) : field.toString());
                }
                rows << row;
            }
        }
        const auto local = [](const QDateTime &utc) {
            const QDateTime l = utc.toLocalTime();
            return l.toOffsetFromUtc(l.offsetFromUtc()).toString(Qt::ISODate);
        };
        QList<QStringList> expected{
            {QStringLiteral("Write, \"edit\"\nrepeat"), local(f.base), local(f.base.addSecs(1500)), "1500",
             "1500", "completed", "0", QStringLiteral("chapter 3, \"intro\"\r\nand the outline")},
            {"Deep Work", local(f.base.addDays(1)), local(f.base.addDays(1).addSecs(600)), "3000", "600.25",
             "endedEarly", "2", ""},
            {"", local(f.base.addDays(2)), local(f.base.addDays(2).addSecs(60)), "", "60", "completed", "0",
             ""},
            {"Deep Work", local(f.base.addDays(3)), "", "3000", "", "notFinished", "0", ""},
        };
        if (since)
            expected.removeFirst();
        QCOMPARE(rows, expected);
        // The time carries its offset, so another program places it exactly.
        QCOMPARE(QDateTime::fromString(rows.first().at(1), Qt::ISODate).toUTC(),
                 since ? f.base.addDays(1) : f.base);
    }

    // Rows near a change of the local offset carry the offset of their own
    // instant (Berlin leaves +01:00 for +02:00 at 01:00 UTC on 29 March 2026).
    void offsetsAcrossDaylightSaving()
    {
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        ::tzset();
        const auto restore = qScopeGuard([&] {
            if (previous.isNull())
                qunsetenv("TZ");
            else
                qputenv("TZ", previous);
            ::tzset();
        });
        QTemporaryDir dir;
        auto container =
            ModelContainer::open(dir.filePath(QStringLiteral("dst.store")), Store::schema(), nullptr);
        QVERIFY(container);
        ModelContext *ctx = container->mainContext();
        const QUuid screen =
            ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("Night"), 600.0))->uuid();
        const QDateTime change(QDate(2026, 3, 29), QTime(1, 0), Qt::UTC);
        for (const int minutes : {-50, -1, 0, 14, 50})
            ctx->insert(std::make_unique<FocusSession>(screen, change.addSecs(60 * minutes)))
                ->complete(change.addSecs(60 * minutes + 600));
        QVERIFY(ctx->save());
        QBuffer out;
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(
            SessionExport::write(container->database(), SessionExport::Format::csv, std::nullopt, out).ok);
        QList<QStringList> rows = parseCsv(out.data());
        rows.removeFirst();
        QStringList startAndEnd;
        for (const QStringList &row : rows)
            startAndEnd << row.at(1) + QLatin1Char(' ') + row.at(2);
        QCOMPARE(startAndEnd, (QStringList{
                                  "2026-03-29T01:10:00+01:00 2026-03-29T01:20:00+01:00",
                                  "2026-03-29T01:59:00+01:00 2026-03-29T03:09:00+02:00",
                                  "2026-03-29T03:00:00+02:00 2026-03-29T03:10:00+02:00",
                                  "2026-03-29T03:14:00+02:00 2026-03-29T03:24:00+02:00",
                                  "2026-03-29T03:50:00+02:00 2026-03-29T04:00:00+02:00",
                              }));
    }

    void emptyHistory_data()
    {
        QTest::addColumn<SessionExport::Format>("format");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("csv") << SessionExport::Format::csv
                             << QByteArray(
                                    "screen,start,end,plannedDuration,actualDuration,outcome,round,note\r\n");
        QTest::newRow("json") << SessionExport::Format::json << QByteArray("[]\n");
    }
    void emptyHistory()
    {
        QFETCH(SessionExport::Format, format);
        QFETCH(QByteArray, expected);
        Fixture f;
        QBuffer out;
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(SessionExport::write(f.db(), format, f.base.addYears(1), out).ok);
        QCOMPARE(out.data(), expected);
    }

    // A file is replaced only by a whole export; a failed one leaves it as
    // it was and no temporary file behind.
    void fileIsWholeOrUntouched()
    {
        Fixture f;
        const QString path = f.dir.filePath(QStringLiteral("sessions.csv"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the previous export\n");
        }
        auto result = SessionExport::writeFile(f.db(), SessionExport::Format::json, std::nullopt, path);
        QVERIFY2(result.ok, qPrintable(result.error));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(written.readAll()).array().size(), 4);
        written.close();

        // The store cannot be read: the export fails after the file was begun.
        QSqlQuery(f.db()).exec(QStringLiteral("ALTER TABLE FocusSession RENAME TO Gone"));
        result = SessionExport::writeFile(f.db(), SessionExport::Format::csv, std::nullopt, path);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QLatin1String("FocusSession")), qPrintable(result.error));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(written.readAll()).array().size(), 4);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("Lumora.store"), QStringLiteral("Lumora.store-shm"),
                              QStringLiteral("Lumora.store-wal"), QStringLiteral("sessions.csv")}));

        // A folder that does not exist.
        result = SessionExport::writeFile(f.db(), SessionExport::Format::csv, std::nullopt,
                                          f.dir.filePath(QStringLiteral("missing/sessions.csv")));
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }

    // Standard output: a regular file that fills up mid-export is cut back
    // to nothing; a device that refuses says why.
    void descriptorWriteErrors_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("file over its size limit") << "limited";
        QTest::newRow("full device") << "/dev/full";
    }
    void descriptorWriteErrors()
    {
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("big.store"));
        {
            auto container = ModelContainer::open(store, Store::schema(), nullptr);
            QVERIFY(container);
            ModelContext *ctx = container->mainContext();
            const QUuid screen =
                ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("Deep Work"), 1500.0))->uuid();
            for (int i = 0; i < 3000; ++i)
                ctx->insert(std::make_unique<FocusSession>(screen,
                                                           QDateTime::currentDateTimeUtc().addSecs(-60 * i)))
                    ->setNote(QStringLiteral("note %1").arg(i));
            QVERIFY(ctx->save());
        }
        const QString out =
            target == QLatin1String("limited") ? dir.filePath(QStringLiteral("out.csv")) : target;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--export-child"), store, out});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray said = child.readAllStandardOutput();
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(said.startsWith("failed: "), said.constData());
        if (target == QLatin1String("limited")) {
            QVERIFY2(said.contains("too large"), said.constData());
            QCOMPARE(QFileInfo(out).size(), 0);
        } else {
            QVERIFY2(said.contains("space"), said.constData());
        }
    }

    // The command line: the same rows on standard output, mistakes refused.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("csv") << QStringList{"--export", "csv"} << 0 << "screen,start,end";
        QTest::newRow("json since") << QStringList{"--export=json", "--since", "2026-03-04"} << 0
                                    << "\"round\":0";
        QTest::newRow("unknown format")
            << QStringList{"--export", "xml"} << 2 << "--export takes csv or json";
        QTest::newRow("bad date") << QStringList{"--export", "csv", "--since", "yesterday"} << 2
                                  << "--since takes a date";
        QTest::newRow("since alone") << QStringList{"--since", "2026-03-04"} << 2
                                     << "--since goes with --export";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        const QString bin = qEnvironmentVariable("LUMORA_BIN");
        if (bin.isEmpty())
            QSKIP("LUMORA_BIN is not set");
        Fixture f;
        QString path = f.container->path();
        f.container.reset();
        if (QTest::currentDataTag() == QLatin1String("no store yet"))
            path = f.dir.filePath(QStringLiteral("none/Lumora.store"));
        QProcess lumora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("APP_STORE"), path);
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        lumora.setProcessEnvironment(env);
        lumora.start(bin, arguments);
        QVERIFY(lumora.waitForFinished(30000));
        QCOMPARE(lumora.exitCode(), status);
        const QString said =
            QString::fromUtf8(status == 0 ? lumora.readAllStandardOutput() : lumora.readAllStandardError());
        QVERIFY2(said.contains(output), qPrintable(said));
        // An export never makes a store.
        QCOMPARE(QFileInfo::exists(path), QTest::currentDataTag() != QLatin1String("no store yet"));
        if (arguments.contains(QStringLiteral("--since")) && status == 0)
            QCOMPARE(QJsonDocument::fromJson(said.toUtf8()).array().size(), 2);
    }
};

// Child process for the write-error test: exports the store to the file (a
// size limit of 16 KiB on regular files) and says how it went.
int runExportChild(const QString &store, const QString &target)
{
    static int argc = 0;
    QCoreApplication app(argc, nullptr);
    StoreOpenOptions options;
    options.loadRecords = false;
    auto container = ModelContainer::open(store, Store::schema(), nullptr, options);
    const int fd =
        ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || !container)
        return 2;
    // Only the export's file meets the limit: the store is open already.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16 * 1024, 16 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto result =
        SessionExport::writeToDescriptor(container->database(), SessionExport::Format::csv, std::nullopt, fd);
    std::printf("%s %s\n", result.ok ? "ok" : "failed:", qPrintable(result.error));
    return result.ok ? 0 : 1;
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--export-child") == 0)
        return runExportChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    TestSessionExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sessionexport.moc"
