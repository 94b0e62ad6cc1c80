// SPDX-License-Identifier: MIT
// The self-test run, through the program as CI and developers start it.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestTooling : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QStringList lines;
    };

    Run runLumora(const QStringList &args, const QString &store)
    {
        Run run;
        const QString bin = qEnvironmentVariable("LUMORA_BIN");
        QProcess lumora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (store.isNull())
            env.remove(QStringLiteral("APP_STORE"));
        else
            env.insert(QStringLiteral("APP_STORE"), store);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        lumora.setProcessEnvironment(env);
        lumora.start(bin, args);
        if (!lumora.waitForFinished(30000)) {
            lumora.kill();
            return run;
        }
        run.exitCode = lumora.exitCode();
        run.lines = QString::fromLocal8Bit(lumora.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        return run;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariable("LUMORA_BIN").isEmpty())
            QSKIP("LUMORA_BIN is not set");
    }

    void selfTestPasses()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("st.store"));
        for (int run = 0; run < 2; ++run) { // a store that already holds screens passes too
            const Run r = runLumora({QStringLiteral("--selftest")}, store);
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(r.lines.filter(QRegularExpression(QStringLiteral("^PASS "))).size(), 32);
            QVERIFY(r.lines.filter(QRegularExpression(QStringLiteral("^FAIL "))).isEmpty());
            QCOMPARE(r.lines.last(), QStringLiteral("SELFTEST PASS 32 checks"));
            QVERIFY(r.lines.contains(QStringLiteral("PASS completeFocusSession sets actualDuration")));
        }
    }

    void selfTestRefusedWithoutScratchStore_data()
    {
        QTest::addColumn<QString>("store");
        QTest::newRow("unset") << QString();
        QTest::newRow("empty") << QStringLiteral("");
    }
    void selfTestRefusedWithoutScratchStore()
    {
        QFETCH(QString, store);
        const Run r = runLumora({QStringLiteral("--selftest")}, store);
        QCOMPARE(r.exitCode, 1);
        // The shell's own start-up lines may come first; no check runs.
        QCOMPARE(r.lines.filter(QStringLiteral("SELFTEST")),
                 QStringList{QStringLiteral("SELFTEST refused: set APP_STORE to a file in /tmp")});
        QVERIFY(r.lines.filter(QRegularExpression(QStringLiteral("^(PASS|FAIL) "))).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTooling)
#include "tst_tooling.moc"
