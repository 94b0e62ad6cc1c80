// SPDX-License-Identifier: MIT
#include "DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

// Files of a row: path below the scratch root ("home/...", "sys1/...",
// "sys2/...", each standing for <dir>/applications) and the file's text.
using FileList = QList<QPair<QString, QByteArray>>;
Q_DECLARE_METATYPE(FileList)

namespace {

QByteArray entry(const QByteArray &name, const QByteArray &extra = {})
{
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + name.toLower() + "\n" + extra;
}

} // namespace

class TestDesktopEntries : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QByteArray m_savedHome;
    QByteArray m_savedDirs;
    QByteArray m_savedLocale;

    QString appsDir(const QString &which) const
    {
        return m_root.filePath(which + QStringLiteral("/applications"));
    }

    void writeFiles(const FileList &files)
    {
        for (const auto &[rel, text] : files) {
            const qsizetype slash = rel.indexOf(QLatin1Char('/'));
            const QString path = appsDir(rel.left(slash)) + rel.mid(slash);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
    }

    void resetTree()
    {
        for (const char *d : {"home", "sys1", "sys2"}) {
            QDir(m_root.filePath(QString::fromLatin1(d))).removeRecursively();
            QDir().mkpath(appsDir(QString::fromLatin1(d)));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_savedHome = qgetenv("XDG_DATA_HOME");
        m_savedDirs = qgetenv("XDG_DATA_DIRS");
        m_savedLocale = qgetenv("LC_ALL");
    }

    void init()
    {
        resetTree();
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (m_root.filePath(QStringLiteral("sys1")) + QLatin1Char(':') +
                                  m_root.filePath(QStringLiteral("sys2")))
                                     .toLocal8Bit());
        qputenv("LC_ALL", "C");
    }

    void cleanupTestCase()
    {
        qputenv("XDG_DATA_HOME", m_savedHome);
        qputenv("XDG_DATA_DIRS", m_savedDirs);
        qputenv("LC_ALL", m_savedLocale);
    }

    void applicationDirs_data()
    {
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QByteArray>("dataDirs");
        QTest::addColumn<QStringList>("expected");
        const QString home = QDir::homePath();
        QTest::newRow("both set") << QByteArray("/h") << QByteArray("/a:/b/")
                                  << QStringList{"/h/applications", "/a/applications", "/b/applications"};
        QTest::newRow("defaults") << QByteArray() << QByteArray()
                                  << QStringList{home + "/.local/share/applications",
                                                 "/usr/local/share/applications", "/usr/share/applications"};
        QTest::newRow("relative entries ignored")
            << QByteArray("rel/home") << QByteArray("rel:/x::/y")
            << QStringList{home + "/.local/share/applications", "/x/applications", "/y/applications"};
        QTest::newRow("duplicates once") << QByteArray("/a") << QByteArray("/a:/b:/b/")
                                         << QStringList{"/a/applications", "/b/applications"};
        QTest::newRow("root folder") << QByteArray("/h") << QByteArray("/")
                                     << QStringList{"/h/applications", "/applications"};
    }
    void applicationDirs()
    {
        QFETCH(QByteArray, dataHome);
        QFETCH(QByteArray, dataDirs);
        QFETCH(QStringList, expected);
        qputenv("XDG_DATA_HOME", dataHome);
        qputenv("XDG_DATA_DIRS", dataDirs);
        QCOMPARE(DesktopEntries::applicationDirs(), expected);
    }

    void find_data()
    {
        QTest::addColumn<FileList>("files");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expectedName"); // empty: nothing found
        QTest::addColumn<QString>("expectedFile"); // below the scratch root

        const QByteArray C("C");
        QTest::newRow("home wins over system") << FileList{{"home/gedit.desktop", entry("Home Gedit")},
                                                           {"sys1/gedit.desktop", entry("Sys Gedit")}}
                                               << C << "gedit"
                                               << "Home Gedit"
                                               << "home/applications/gedit.desktop";
        QTest::newRow("first system folder wins")
            << FileList{{"sys2/x.desktop", entry("Two")}, {"sys1/x.desktop", entry("One")}} << C << "x"
            << "One"
            << "sys1/applications/x.desktop";
        QTest::newRow("only in last folder")
            << FileList{{"sys2/org.gnome.Calc.desktop", entry("Calculator")}} << C << "org.gnome.Calc"
            << "Calculator"
            << "sys2/applications/org.gnome.Calc.desktop";
        QTest::newRow("dash maps to subfolder")
            << FileList{{"sys1/kde4/dolphin.desktop", entry("Dolphin")}} << C << "kde4-dolphin"
            << "Dolphin"
            << "sys1/applications/kde4/dolphin.desktop";
        QTest::newRow("nested subfolders")
            << FileList{{"sys1/a/b/c-d.desktop", entry("Deep")}} << C << "a-b-c-d"
            << "Deep"
            << "sys1/applications/a/b/c-d.desktop";
        QTest::newRow("direct file before subfolder")
            << FileList{{"sys1/kde4-x.desktop", entry("Flat")}, {"sys1/kde4/x.desktop", entry("Nested")}} << C
            << "kde4-x"
            << "Flat"
            << "sys1/applications/kde4-x.desktop";
        QTest::newRow("case-sensitive id") << FileList{{"sys1/firefox.desktop", entry("Firefox")}} << C
                                           << "Firefox" << QString() << QString();
        QTest::newRow("suffix given")
            << FileList{{"sys1/xterm.desktop", entry("XTerm")}} << C << "xterm.desktop"
            << "XTerm"
            << "sys1/applications/xterm.desktop";
        QTest::newRow("hidden masks later folders")
            << FileList{{"home/x.desktop", "[Desktop Entry]\nType=Application\nName=X\nHidden=true\n"},
                        {"sys1/x.desktop", entry("X")}}
            << C << "x" << QString() << QString();
        QTest::newRow("NoDisplay still found")
            << FileList{{"sys1/x.desktop", entry("Quiet", "NoDisplay=true\n")}} << C << "x"
            << "Quiet"
            << "sys1/applications/x.desktop";
        QTest::newRow("link is no application")
            << FileList{{"sys1/x.desktop", "[Desktop Entry]\nType=Link\nName=Web\nURL=https://x\n"}} << C
            << "x" << QString() << QString();
        QTest::newRow("no Name") << FileList{{"sys1/x.desktop",
                                              "[Desktop Entry]\nType=Application\nExec=x\n"}}
                                 << C << "x" << QString() << QString();
        QTest::newRow("no group") << FileList{{"sys1/x.desktop", "Type=Application\nName=X\n"}} << C << "x"
                                  << QString() << QString();
        QTest::newRow("binary garbage")
            << FileList{{"sys1/x.desktop", QByteArray("\x00\xff\xfe[\x01=\x02", 7)}} << C << "x" << QString()
            << QString();
        QTest::newRow("oversized file")
            << FileList{{"sys1/x.desktop",
                         entry("Big") + "Comment=" + QByteArray(2 * 1024 * 1024, 'a') + "\n"}}
            << C << "x" << QString() << QString();
        QTest::newRow("other groups ignored")
            << FileList{{"sys1/x.desktop",
                         "[Desktop Action new]\nName=Action\n[Desktop Entry]\nType=Application\n"
                         "Name=Main\n[X-Extra]\nName=Extra\n"}}
            << C << "x"
            << "Main"
            << "sys1/applications/x.desktop";
        QTest::newRow("malformed lines ignored")
            << FileList{{"sys1/x.desktop",
                         "[Desktop Entry]\nType=Application\n=nokey\ngarbage line\nNa me=Bad\n"
                         "Name[=Bad\n# Name=Comment\n[broken\n  Name  =  Spaced  \n"}}
            << C << "x"
            << "Spaced"
            << "sys1/applications/x.desktop";
        QTest::newRow("duplicate key first wins")
            << FileList{{"sys1/x.desktop", entry("First", "Name=Second\n")}} << C << "x"
            << "First"
            << "sys1/applications/x.desktop";
        QTest::newRow("escapes in values")
            << FileList{{"sys1/x.desktop", "[Desktop Entry]\nType=Application\nName=A\\sB\\\\C\\q\n"}} << C
            << "x"
            << "A B\\C\\q"
            << "sys1/applications/x.desktop";
        QTest::newRow("carriage returns")
            << FileList{{"sys1/x.desktop", "[Desktop Entry]\r\nType=Application\r\n"
                                           "Name=Crlf\r\n"}}
            << C << "x"
            << "Crlf"
            << "sys1/applications/x.desktop";

        const FileList localized{
            {"sys1/x.desktop", entry("Files", "Name[de]=Dateien\nName[de_AT]=Dateien AT\n"
                                              "Name[sr@latin]=Datoteke\nName[fr]=\n")}};
        QTest::newRow("language") << localized << QByteArray("de_DE.UTF-8") << "x"
                                  << "Dateien"
                                  << "sys1/applications/x.desktop";
        QTest::newRow("language and country") << localized << QByteArray("de_AT.UTF-8") << "x"
                                              << "Dateien AT"
                                              << "sys1/applications/x.desktop";
        QTest::newRow("modifier") << localized << QByteArray("sr_RS.UTF-8@latin") << "x"
                                  << "Datoteke"
                                  << "sys1/applications/x.desktop";
        QTest::newRow("no translation") << localized << QByteArray("ja_JP.UTF-8") << "x"
                                        << "Files"
                                        << "sys1/applications/x.desktop";
        QTest::newRow("empty translation falls back") << localized << QByteArray("fr_FR.UTF-8") << "x"
                                                      << "Files"
                                                      << "sys1/applications/x.desktop";

        QTest::newRow("empty id") << FileList{} << C << "" << QString() << QString();
        QTest::newRow("overlong id") << FileList{} << C << QString(100000, QLatin1Char('-')) << QString()
                                     << QString();
        QTest::newRow("slash in id") << FileList{{"sys1/x.desktop", entry("X")}} << C << "../applications/x"
                                     << QString() << QString();
        QTest::newRow("absolute path outside folders")
            << FileList{{"sys1/x.desktop", entry("X")}} << C << "@ROOT@/elsewhere/tool.desktop"
            << "Tool"
            << "elsewhere/tool.desktop";
        QTest::newRow("absolute path not a desktop file")
            << FileList{} << C << "@ROOT@/elsewhere/tool.txt" << QString() << QString();
        QTest::newRow("absolute path missing")
            << FileList{} << C << "@ROOT@/nothing.desktop" << QString() << QString();
    }
    void find()
    {
        QFETCH(FileList, files);
        QFETCH(QByteArray, locale);
        QFETCH(QString, id);
        QFETCH(QString, expectedName);
        QFETCH(QString, expectedFile);
        writeFiles(files);
        QDir().mkpath(m_root.filePath(QStringLiteral("elsewhere")));
        for (const char *name : {"elsewhere/tool.desktop", "elsewhere/tool.txt"}) {
            QFile f(m_root.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(entry("Tool"));
        }
        qputenv("LC_ALL", locale);
        id.replace(QStringLiteral("@ROOT@"), m_root.path());

        const auto found = DesktopEntries::find(id);
        if (expectedName.isEmpty()) {
            QVERIFY2(!found, qPrintable(found ? found->filePath : QString()));
            return;
        }
        QVERIFY(found);
        QCOMPARE(found->name, expectedName);
        QCOMPARE(found->filePath, m_root.filePath(expectedFile));
    }

    void findKeepsFields()
    {
        writeFiles({{"sys1/kde4/x.desktop", "[Desktop Entry]\nType=Application\nName=X\nIcon=/icons/x.png\n"
                                            "Exec=x --flag %U\n"}});
        const auto found = DesktopEntries::find(QStringLiteral("kde4-x"));
        QVERIFY(found);
        QCOMPARE(found->id, QStringLiteral("kde4-x"));
        QCOMPARE(found->iconName, QStringLiteral("/icons/x.png"));
        QCOMPARE(found->exec, QStringLiteral("x --flag %U"));
        // An absolute path inside an applications folder gets its proper id.
        const auto byPath = DesktopEntries::find(appsDir(QStringLiteral("sys1")) + "/kde4/x.desktop");
        QVERIFY(byPath);
        QCOMPARE(byPath->id, QStringLiteral("kde4-x"));
    }

    void installedApplications_data()
    {
        QTest::addColumn<FileList>("files");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QStringList>("expectedIds");

        QTest::newRow("sorted by name, case and accents folded")
            << FileList{{"sys1/z.desktop", entry("Zed")},
                        {"sys1/b.desktop", entry("banana")},
                        {"sys1/e2.desktop", entry("\xc3\x89mile")},
                        {"sys1/e1.desktop", entry("Eagle")},
                        {"sys1/a.desktop", entry("Apple")}}
            << QByteArray("en_US.UTF-8") << QStringList{"a", "b", "e1", "e2", "z"};
        QTest::newRow("filtered") << FileList{{"sys1/shown.desktop", entry("Shown")},
                                              {"sys1/quiet.desktop", entry("Quiet", "NoDisplay=true\n")},
                                              {"sys1/gone.desktop", entry("Gone", "Hidden=true\n")},
                                              {"sys1/link.desktop",
                                               "[Desktop Entry]\nType=Link\nName=Link\n"},
                                              {"sys1/broken.desktop", "not an entry"},
                                              {"sys1/readme.txt", entry("Text")}}
                                  << QByteArray("C") << QStringList{"shown"};
        QTest::newRow("one per id, first folder wins, hidden masks")
            << FileList{{"home/a.desktop", entry("A home")},
                        {"sys1/a.desktop", entry("A sys")},
                        {"home/b.desktop", entry("B", "NoDisplay=true\n")},
                        {"sys2/b.desktop", entry("B sys")},
                        {"sys2/c.desktop", entry("C")}}
            << QByteArray("C") << QStringList{"a", "c"};
        QTest::newRow("subfolders give dashed ids")
            << FileList{{"sys1/kde4/dolphin.desktop", entry("Dolphin")},
                        {"sys2/kde4-dolphin.desktop", entry("Other")}}
            << QByteArray("C") << QStringList{"kde4-dolphin"};
        QTest::newRow("sorted by localized name")
            << FileList{{"sys1/a.desktop", entry("Alpha", "Name[de]=Zulu\n")},
                        {"sys1/b.desktop", entry("Beta")}}
            << QByteArray("de_DE.UTF-8") << QStringList{"b", "a"};
    }
    void installedApplications()
    {
        QFETCH(FileList, files);
        QFETCH(QByteArray, locale);
        QFETCH(QStringList, expectedIds);
        writeFiles(files);
        qputenv("LC_ALL", locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(locale.left(5))));
        QStringList ids;
        for (const DesktopEntry &e : DesktopEntries::installedApplications())
            ids << e.id;
        QLocale::setDefault(QLocale::c());
        QCOMPARE(ids, expectedIds);
    }

    // One application identity: which entry a name stands for (the overlay's
    // badges) and which entries describe a running application (the allow
    // list), by id, StartupWMClass or program, regardless of case or ".desktop".
    void identities()
    {
        const DesktopEntry xterm{
            QStringLiteral("debian-xterm"), QStringLiteral("XTerm"), {}, QStringLiteral("xterm -ls"), {},
            QStringLiteral("XTerm")};
        QCOMPARE(DesktopEntries::identities(xterm), (QStringList{"debian-xterm", "XTerm", "xterm"}));
        const DesktopEntry wrapped{QStringLiteral("tool"),
                                   QStringLiteral("Tool"),
                                   {},
                                   QStringLiteral("env LANG=C /opt/tool/bin/tool-gtk %U"),
                                   {},
                                   {}};
        QCOMPARE(DesktopEntries::identities(wrapped), (QStringList{"tool", "tool-gtk"}));
    }

    void findByIdentity_data()
    {
        QTest::addColumn<FileList>("files");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expectedId");
        const FileList desk{
            {"sys1/debian-xterm.desktop", entry("XTerm", "StartupWMClass=XTerm\n")},
            {"sys1/debian-uxterm.desktop", "[Desktop Entry]\nType=Application\nName=UXTerm\nExec=uxterm\n"
                                           "StartupWMClass=UXTerm\n"},
            {"sys1/rxvt-unicode.desktop", "[Desktop Entry]\nType=Application\nName=Rxvt\nExec=urxvt\n"
                                          "StartupWMClass=URxvt\n"},
            {"sys1/org.example.Player.desktop", "[Desktop Entry]\nType=Application\nName=Player\n"
                                                "Exec=/usr/bin/player --new %U\n"},
            {"sys1/player-helper.desktop", "[Desktop Entry]\nType=Application\nName=Player helper\n"
                                           "Exec=player --helper\nNoDisplay=true\n"},
        };
        QTest::newRow("id") << desk << "debian-xterm"
                            << "debian-xterm";
        QTest::newRow("id with .desktop, other case") << desk << "Debian-XTerm.Desktop"
                                                      << "debian-xterm";
        QTest::newRow("window class") << desk << "XTerm"
                                      << "debian-xterm";
        QTest::newRow("window class, other case") << desk << "urxvt"
                                                  << "rxvt-unicode";
        QTest::newRow("program") << desk << "uxterm"
                                 << "debian-uxterm";
        QTest::newRow("program from a path; shown entries first") << desk << "player"
                                                                  << "org.example.Player";
        QTest::newRow("nothing") << desk << "term" << QString();
        QTest::newRow("empty") << desk << "" << QString();
        QTest::newRow("blank") << desk << " .desktop" << QString();
    }
    void findByIdentity()
    {
        QFETCH(FileList, files);
        QFETCH(QString, name);
        QFETCH(QString, expectedId);
        writeFiles(files);
        const auto found = DesktopEntries::findByIdentity(name);
        QCOMPARE(found ? found->id : QString(), expectedId);
    }

    void entriesFor_data()
    {
        QTest::addColumn<FileList>("files");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expectedIds");
        const FileList desk{
            {"sys1/debian-xterm.desktop", entry("XTerm", "StartupWMClass=XTerm\n")},
            {"sys1/debian-uxterm.desktop",
             "[Desktop Entry]\nType=Application\nName=UXTerm\nExec=xterm -class UXTerm\n"
             "StartupWMClass=UXTerm\n"},
            {"sys1/rxvt-unicode.desktop", "[Desktop Entry]\nType=Application\nName=Rxvt\nExec=urxvt\n"
                                          "StartupWMClass=URxvt\n"},
            {"sys1/org.gnome.Calculator.desktop", entry("Calculator", "NoDisplay=false\n")},
            {"sys1/calc.desktop", "[Desktop Entry]\nType=Application\nName=Calc\nExec=calc\n"},
            {"sys1/calc-quiet.desktop", "[Desktop Entry]\nType=Application\nName=Calc quiet\nExec=calc -q\n"
                                        "NoDisplay=true\n"},
        };
        // The names a window of each would give: class, instance, program.
        QTest::newRow("xterm, by class; uxterm's entry says another class")
            << desk << QStringList{"XTerm", "xterm", "xterm"} << QStringList{"debian-xterm"};
        // StartupWMClass may name the class or the instance (both are "WM class").
        QTest::newRow("xterm as UXTerm: class and instance")
            << desk << QStringList{"UXTerm", "xterm", "xterm"}
            << QStringList{"debian-uxterm", "debian-xterm"};
        QTest::newRow("urxvt") << desk << QStringList{"URxvt", "urxvt", "urxvt"}
                               << QStringList{"rxvt-unicode"};
        QTest::newRow("application id names the entry")
            << desk << QStringList{"org.gnome.Calculator", "gnome-calculator"}
            << QStringList{"org.gnome.Calculator"};
        QTest::newRow("program, shown entries first")
            << desk << QStringList{"Calc", "calc"} << QStringList{"calc", "calc-quiet"};
        QTest::newRow("unknown") << desk << QStringList{"XEyes", "xeyes"} << QStringList{};
    }
    void entriesFor()
    {
        QFETCH(FileList, files);
        QFETCH(QStringList, names);
        QFETCH(QStringList, expectedIds);
        writeFiles(files);
        QStringList ids;
        for (const DesktopEntry &e : DesktopEntries::entriesFor(names))
            ids << e.id;
        QCOMPARE(ids, expectedIds);
    }

    void icon_data()
    {
        QTest::addColumn<QString>("iconName");
        QTest::addColumn<bool>("found");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("absolute image") << "@ROOT@/icon.png" << true;
        QTest::newRow("absolute missing") << "@ROOT@/missing.png" << false;
        QTest::newRow("absolute not an image") << "@ROOT@/home/applications" << false;
        QTest::newRow("pixmaps folder") << "legacy" << true;
        QTest::newRow("pixmaps folder with extension") << "legacy.png" << true;
        QTest::newRow("unknown theme name") << "no-such-icon-anywhere" << false;
        QTest::newRow("relative path") << "../icon.png" << false;
    }
    void icon()
    {
        QFETCH(QString, iconName);
        QFETCH(bool, found);
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(m_root.filePath(QStringLiteral("icon.png"))));
        QDir().mkpath(m_root.filePath(QStringLiteral("sys2/pixmaps")));
        QVERIFY(img.save(m_root.filePath(QStringLiteral("sys2/pixmaps/legacy.png"))));
        iconName.replace(QStringLiteral("@ROOT@"), m_root.path());
        DesktopEntry e;
        e.iconName = iconName;
        QCOMPARE(!DesktopEntries::icon(e).isNull(), found);
    }

    void execArguments_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain") << "gedit" << QStringList{"gedit"};
        QTest::newRow("blanks collapse") << "  a \t b  " << QStringList{"a", "b"};
        QTest::newRow("file codes removed") << "gedit %U" << QStringList{"gedit"};
        QTest::newRow("every code") << "app %f %F %u %U %i %c %k %d %D %n %N %v %m" << QStringList{"app"};
        QTest::newRow("code inside an argument")
            << "app --file=%f --x" << QStringList{"app", "--file=", "--x"};
        QTest::newRow("percent escape") << "app 100%% %%u" << QStringList{"app", "100%", "%u"};
        QTest::newRow("quoted blank") << "\"/opt/My App/bin\" --go" << QStringList{"/opt/My App/bin", "--go"};
        QTest::newRow("quoted escapes") << "sh -c \"echo \\\"hi\\\" \\$HOME \\\\ \\`x\\`\""
                                        << QStringList{"sh", "-c", "echo \"hi\" $HOME \\ `x`"};
        QTest::newRow("empty quoted argument") << "app \"\" x" << QStringList{"app", "", "x"};
        QTest::newRow("quotes join") << "a\"b c\"d" << QStringList{"ab cd"};
        QTest::newRow("unterminated quote") << "app \"oops" << QStringList{};
        QTest::newRow("trailing backslash in quotes") << "app \"x\\" << QStringList{};
        QTest::newRow("lone percent at end") << "app %" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("only codes") << "%U %f" << QStringList{};
        QTest::newRow("no shell") << "app ; rm -rf ~ | x"
                                  << QStringList{"app", ";", "rm", "-rf", "~", "|", "x"};
    }
    void execArguments()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, expected);
        DesktopEntry e;
        e.exec = exec;
        QCOMPARE(DesktopEntries::execArguments(e), expected);
    }

    void execUnescapedFromFile()
    {
        // The file's string escapes come first, then the quoting rules.
        writeFiles({{"sys1/x.desktop", "[Desktop Entry]\nType=Application\nName=X\n"
                                       "Exec=sh -c \"echo \\\\\"a\\\\\"\"\\s%u\n"}});
        const auto found = DesktopEntries::find(QStringLiteral("x"));
        QVERIFY(found);
        QCOMPARE(DesktopEntries::execArguments(*found), (QStringList{"sh", "-c", "echo \"a\""}));
    }
};

QTEST_MAIN(TestDesktopEntries)
#include "tst_desktopentries.moc"
