// SPDX-License-Identifier: MIT
// Texts in the user's language: the catalogue loaded for a locale the way
// the program loads it at start, then German on the settings pages, the
// overlay, the tray tooltip and the command line; English for an unknown
// locale and whenever the catalogue is missing or broken.
#include "AppModel.h"
#include "CommandLine.h"
#include "DurationFormat.h"
#include "Enums.h"
#include "FocusChart.h"
#include "FocusOverlayView.h"
#include "GeneralSettings.h"
#include "ModelContainer.h"
#include "StatsSettings.h"
#include "StatusItem.h"
#include "StatusText.h"
#include "Store.h"
#include "SystemTrayIcon.h"
#include "Translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList groupTitles(const QWidget &page)
{
    QStringList titles;
    for (const QGroupBox *box : page.findChildren<QGroupBox *>())
        titles << box->title();
    return titles;
}

QString labelText(const QWidget &parent, const char *name)
{
    const auto *label = parent.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        Translations::remove();
        QLocale::setDefault(QLocale::c());
    }

    void textsFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QStringList>("texts");
        // settings section, statistics section, overlay caption, overlay
        // button, idle tooltip, countdown tooltip, command-line error, lock
        // mode, session length, day label
        QTest::newRow("German") << "de_DE" << true
                                << QStringList{QStringLiteral("Tastenkürzel"),
                                               QStringLiteral("Übersicht"),
                                               QStringLiteral("Verbleibende Zeit"),
                                               QStringLiteral("Notausstieg"),
                                               QStringLiteral("Lumora – Fokus-Sitzungen"),
                                               QStringLiteral("Deep Work – noch 24:59"),
                                               QStringLiteral("unbekannte Option --bogus"),
                                               QStringLiteral("Anwendungen ausblenden"),
                                               QStringLiteral("24 min 5 s"),
                                               QStringLiteral("Mo")};
        const QStringList english{QStringLiteral("Shortcut"),
                                  QStringLiteral("Overview"),
                                  QStringLiteral("Time Remaining"),
                                  QStringLiteral("Emergency Exit"),
                                  QStringLiteral("Lumora - Focus Sessions"),
                                  QStringLiteral("Deep Work - 24:59 remaining"),
                                  QStringLiteral("unknown option --bogus"),
                                  QStringLiteral("Hide Apps"),
                                  QStringLiteral("24m 5s"),
                                  QStringLiteral("Mon")};
        QTest::newRow("unknown locale: English") << "xx_XX" << false << english;
    }
    void textsFollowTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, installed);
        QFETCH(QStringList, texts);
        QCOMPARE(Translations::install(QLocale(locale)), installed);

        QTemporaryDir dir;
        QString error;
        auto container =
            ModelContainer::open(dir.filePath(QStringLiteral("Lumora.store")), Store::schema(), &error);
        QVERIFY2(container, qPrintable(error));
        AppModel model(container.get());
        const GeneralSettings general(&model);
        QVERIFY2(groupTitles(general).contains(texts[0]), qPrintable(groupTitles(general).join(u'|')));
        const StatsSettings stats(&model);
        QVERIFY2(groupTitles(stats).contains(texts[1]), qPrintable(groupTitles(stats).join(u'|')));

        FocusOverlayContent content;
        content.screenName = QStringLiteral("Deep Work");
        content.remainingTime = 1499;
        const FocusOverlayView overlay(content);
        QCOMPARE(labelText(overlay, "countdownCaption"), texts[2]);
        const auto *exit = overlay.findChild<QAbstractButton *>(QStringLiteral("emergencyExitButton"));
        QVERIFY(exit);
        QCOMPARE(exit->text(), texts[3]);
        QCOMPARE(labelText(overlay, "lockModeName"), texts[7]);

        StatusItem tray(std::make_unique<SystemTrayIcon>());
        tray.showIdle();
        QCOMPARE(tray.toolTip(), texts[4]);
        QCOMPARE(StatusText::countdownToolTip(QStringLiteral("Deep Work"), DurationFormat::countdown(1499.7)),
                 texts[5]);
        QCOMPARE(CommandLine::parse({QStringLiteral("lumora"), QStringLiteral("--bogus")}).error, texts[6]);
        QCOMPARE(displayName(LockMode::hideApps), texts[7]);
        QCOMPARE(DurationFormat::sessionLength(1445), texts[8]);
        const FocusChart chart;
        QCOMPARE(chart.dayLabel(QDate(2026, 6, 8), 1000), texts[9]); // a Monday
    }

    // A catalogue that cannot be read leaves English, or the next folder's
    // catalogue when there is one.
    void brokenCatalogueFallsBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("withBuiltIn");
        QTest::addColumn<QString>("expected");
        QFile builtIn(QStringLiteral(":/i18n/lumora_de.qm"));
        QVERIFY(builtIn.open(QIODevice::ReadOnly));
        const QByteArray catalogue = builtIn.readAll();
        QVERIFY(catalogue.size() > 1000);
        QTest::newRow("no file") << QByteArray() << false << "Shortcut";
        QTest::newRow("empty file") << QByteArray("") << false << "Shortcut";
        QTest::newRow("not a catalogue") << QByteArray("<TS version=\"2.1\"></TS>\n") << false << "Shortcut";
        QTest::newRow("truncated") << catalogue.left(catalogue.size() / 2) << false << "Shortcut";
        QTest::newRow("broken, then the built-in one") << QByteArray("garbage") << true << "Tastenkürzel";
    }
    void brokenCatalogueFallsBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, withBuiltIn);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        if (!file.isNull()) {
            QFile qm(dir.filePath(QStringLiteral("lumora_de.qm")));
            QVERIFY(qm.open(QIODevice::WriteOnly));
            qm.write(file);
        }
        QStringList folders{dir.path()};
        if (withBuiltIn)
            folders << QStringLiteral(":/i18n");
        QCOMPARE(Translations::install(QLocale(QStringLiteral("de_DE")), folders), withBuiltIn);
        QCOMPARE(QCoreApplication::translate("GeneralSettings", "Shortcut"), expected);
        // Going back to English takes everything out again.
        Translations::remove();
        QCOMPARE(QCoreApplication::translate("GeneralSettings", "Shortcut"), QStringLiteral("Shortcut"));
    }

    // The program itself answers help and a mistake on the command line in
    // a terminal with no display at all (nothing to start the windowing
    // system on), in the user's language: it reads the locale from the
    // environment as gettext does (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)
    // before it prints anything.
    void programAnswersInTheTerminal_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        const QStringList bogus{QStringLiteral("--bogus")};
        const QString german = QStringLiteral("lumora: unbekannte Option --bogus\n\nAufruf: lumora");
        const QString english = QStringLiteral("lumora: unknown option --bogus\n\nUsage: lumora");
        QTest::newRow("help") << QStringList() << QStringList{"--help"} << 0 << "Usage: lumora";
        QTest::newRow("-h") << QStringList() << QStringList{"-h"} << 0 << "Usage: lumora";
        QTest::newRow("start without a name") << QStringList() << QStringList{"--start"} << 2
                                              << "lumora: --start needs the name of a focus screen";
        QTest::newRow("LANG German") << QStringList{"LANG=de_DE.UTF-8"} << bogus << 2 << german;
        QTest::newRow("LC_MESSAGES German")
            << QStringList{"LANG=en_US.UTF-8", "LC_MESSAGES=de_DE.UTF-8"} << bogus << 2 << german;
        QTest::newRow("LC_ALL over LANG")
            << QStringList{"LANG=de_DE.UTF-8", "LC_ALL=en_GB.UTF-8"} << bogus << 2 << english;
        QTest::newRow("unknown locale") << QStringList{"LANG=xx_XX.UTF-8"} << bogus << 2 << english;
    }
    void programAnswersInTheTerminal()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expected);
        const QString program = qEnvironmentVariable("LUMORA_BIN");
        if (program.isEmpty())
            QSKIP("LUMORA_BIN is not set");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        for (const QString &pair : environment)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        QProcess lumora;
        lumora.setProcessEnvironment(env);
        lumora.start(program, arguments);
        QVERIFY(lumora.waitForFinished(60000));
        QCOMPARE(lumora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lumora.exitCode(), status);
        const QString out =
            QString::fromUtf8(status == 0 ? lumora.readAllStandardOutput() : lumora.readAllStandardError());
        QVERIFY2(out.contains(expected), qPrintable(out));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
