// SPDX-License-Identifier: MIT
// The page snapshot run through the program, on a private desktop: every
// page in light and dark with its layout file, the page filter, and the
// refusal without a scratch store.
#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestSnapshot : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QStringList lines;
    };

    Run snapshot(const QString &outDir, const std::optional<QString> &pages, bool withStore = true,
                 const QString &language = QString())
    {
        Run run;
        QProcess lumora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!language.isEmpty()) {
            for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
                env.remove(QLatin1String(name));
            env.insert(QStringLiteral("LANG"), language);
        }
        env.insert(QStringLiteral("APP_SNAPSHOT"), outDir);
        if (withStore) {
            env.insert(QStringLiteral("APP_STORE"),
                       m_dir.filePath(QStringLiteral("snap%1.store").arg(m_runs++)));
            env.insert(QStringLiteral("APP_SEED"), QStringLiteral("1"));
        } else {
            env.remove(QStringLiteral("APP_STORE"));
        }
        if (pages)
            env.insert(QStringLiteral("APP_SNAPSHOT_PAGES"), *pages);
        else
            env.remove(QStringLiteral("APP_SNAPSHOT_PAGES"));
        lumora.setProcessEnvironment(env);
        lumora.start(qEnvironmentVariable("LUMORA_BIN"), {});
        if (!lumora.waitForFinished(120000)) {
            lumora.kill();
            lumora.waitForFinished();
            return run;
        }
        run.exitCode = lumora.exitCode();
        run.lines = QString::fromLocal8Bit(lumora.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        return run;
    }

    static QStringList files(const QString &dir, const QString &pattern)
    {
        return QDir(dir).entryList({pattern}, QDir::Files, QDir::Name);
    }

    QTemporaryDir m_dir;
    int m_runs = 0;

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariable("LUMORA_BIN").isEmpty() || qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("needs LUMORA_BIN and a desktop");
    }

    void everyPage()
    {
        const QString out = m_dir.filePath(QStringLiteral("all"));
        const Run r = snapshot(out, std::nullopt);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.last(), QStringLiteral("SNAPSHOT done ") + out);

        QStringList expected;
        for (const char *look : {"light", "dark"}) {
            for (const char *page :
                 {"focusScreens", "sessions", "profiles", "editor", "popover", "about", "settings"})
                expected << QStringLiteral("%1-%2").arg(QLatin1String(page), QLatin1String(look));
            for (const char *type : {"sentence", "math"})
                expected
                    << QStringLiteral("challengeSheet-%1-%2").arg(QLatin1String(type), QLatin1String(look));
            for (const char *tab : {"general", "profiles", "appearance", "stats"})
                expected << QStringLiteral("settings-%1-%2").arg(QLatin1String(tab), QLatin1String(look));
            for (const char *mode : {"hideApps", "preventLaunch", "overlay", "break"})
                expected
                    << QStringLiteral("focusOverlay-%1-%2").arg(QLatin1String(mode), QLatin1String(look));
        }
        QCOMPARE(expected.size(), 34);
        QCOMPARE(files(out, QStringLiteral("*.png")).size(), 34);
        QCOMPARE(files(out, QStringLiteral("*-layout.json")).size(), 34);

        for (const QString &stem : std::as_const(expected)) {
            const QString png = QDir(out).filePath(stem + QStringLiteral(".png"));
            QVERIFY2(r.lines.contains(QStringLiteral("SNAPSHOT ") + png), qPrintable(stem));
            QImage image(png);
            QVERIFY2(!image.isNull(), qPrintable(stem));
            QFile layoutFile(QDir(out).filePath(stem + QStringLiteral("-layout.json")));
            QVERIFY(layoutFile.open(QIODevice::ReadOnly));
            QJsonParseError error{};
            const QJsonDocument layout = QJsonDocument::fromJson(layoutFile.readAll(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(stem));
            const QJsonObject window = layout.object().value(QStringLiteral("window")).toObject();
            QCOMPARE(image.width(), window.value(QStringLiteral("width")).toInt());
            QCOMPARE(image.height(), window.value(QStringLiteral("height")).toInt());
            QVERIFY(layout.object().value(QStringLiteral("probes")).isArray());
            // Not blank: a real page has text, symbols and edges.
            QSet<QRgb> colours;
            const QImage small = image.scaled(image.width() / 2, image.height() / 2);
            for (int y = 0; y < small.height() && colours.size() <= 64; ++y)
                for (int x = 0; x < small.width() && colours.size() <= 64; ++x)
                    colours.insert(small.pixel(x, y));
            QVERIFY2(colours.size() > 16, qPrintable(stem + QStringLiteral(" looks blank")));
        }
        // Dark pages are darker than light ones.
        const auto lightness = [&](const QString &stem) {
            const QImage img = QImage(QDir(out).filePath(stem + QStringLiteral(".png")))
                                   .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return QColor(img.pixel(0, 0)).lightness();
        };
        QVERIFY(lightness(QStringLiteral("sessions-dark")) < lightness(QStringLiteral("sessions-light")));
        QVERIFY(lightness(QStringLiteral("settings-stats-dark")) <
                lightness(QStringLiteral("settings-stats-light")));
    }

    // The windows around the editor, in German: each picture is taken.
    void germanWindows()
    {
        const QString out = m_dir.filePath(QStringLiteral("german"));
        const Run r = snapshot(out, QStringLiteral("editor,popover,challengeSheet,about"), true,
                               QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.last(), QStringLiteral("SNAPSHOT done ") + out);
        QCOMPARE(files(out, QStringLiteral("*.png")),
                 (QStringList{"about-dark.png", "about-light.png", "challengeSheet-math-dark.png",
                              "challengeSheet-math-light.png", "challengeSheet-sentence-dark.png",
                              "challengeSheet-sentence-light.png", "editor-dark.png", "editor-light.png",
                              "popover-dark.png", "popover-light.png"}));
    }

    void pageFilter_data()
    {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QStringList>("images");
        QTest::newRow("sessions") << "sessions" << QStringList{"sessions-dark.png", "sessions-light.png"};
        QTest::newRow("nothing") << ",," << QStringList{};
        QTest::newRow("no trimming") << " sessions" << QStringList{};
    }
    void pageFilter()
    {
        QFETCH(QString, pages);
        QFETCH(QStringList, images);
        const QString out = m_dir.filePath(QStringLiteral("filter%1").arg(m_runs));
        const Run r = snapshot(out, pages);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.last(), QStringLiteral("SNAPSHOT done ") + out);
        QCOMPARE(files(out, QStringLiteral("*.png")), images);
        QCOMPARE(files(out, QStringLiteral("*-layout.json")).size(), images.size());
    }

    void refusedWithoutScratchStore()
    {
        const QString out = m_dir.filePath(QStringLiteral("refused"));
        const Run r = snapshot(out, std::nullopt, false);
        QVERIFY(r.lines.contains(QStringLiteral("SNAPSHOT refused: set APP_STORE to a file in /tmp")));
        QVERIFY(files(out, QStringLiteral("*.png")).isEmpty());
        QCOMPARE(r.exitCode, 1);
    }

    // With a tray host and without one (tst_snapshot_without_tray runs this
    // alone there, where the main window keeps itself open), the run ends
    // by itself once its pictures are written.
    void endsOnEveryDesktop()
    {
        const QString out = m_dir.filePath(QStringLiteral("ends%1").arg(m_runs));
        const Run r = snapshot(out, QStringLiteral("sessions"));
        QVERIFY2(!r.lines.isEmpty(), "the run did not end");
        QCOMPARE(r.lines.last(), QStringLiteral("SNAPSHOT done ") + out);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!files(out, QStringLiteral("*.png")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSnapshot)
#include "tst_snapshot.moc"
