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

    // Which file an id stands for (the names tell the candidates apart),
    // and what is no application.
    void find_data()
    {
        QTest::addColumn<FileList>("files");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expectedName"); // empty: nothing found

        const auto row = [](const char *name, const FileList &files, const QString &id, const char *found,
                            const QByteArray &locale = "C") {
            QTest::newRow(name) << files << locale << id << QString::fromUtf8(found);
        };
        row("home wins over system",
            {{"home/gedit.desktop", entry("Home")}, {"sys1/gedit.desktop", entry("Sys")}}, "gedit", "Home");
        row("first system folder wins", {{"sys2/x.desktop", entry("Two")}, {"sys1/x.desktop", entry("One")}},
            "x", "One");
        row("only in last folder", {{"sys2/org.gnome.Calc.desktop", entry("Calculator")}}, "org.gnome.Calc",
            "Calculator");
        row("dash maps to subfolder", {{"sys1/kde4/dolphin.desktop", entry("Dolphin")}}, "kde4-dolphin",
            "Dolphin");
        row("nested subfolders", {{"sys1/a/b/c-d.desktop", entry("Deep")}}, "a-b-c-d", "Deep");
        row("direct file before subfolder",
            {{"sys1/kde4-x.desktop", entry("Flat")}, {"sys1/kde4/x.desktop", entry("Nested")}}, "kde4-x",
            "Flat");
        row("case-sensitive id", {{"sys1/firefox.desktop", entry("Firefox")}}, "Firefox", "");
        row("suffix given", {{"sys1/xterm.desktop", entry("XTerm")}}, "xterm.desktop", "XTerm");
        row("hidden masks later folders",
            {{"home/x.desktop", "[Desktop Entry]\nType=Application\nName=X\nHidden=true\n"},
             {"sys1/x.desktop", entry("X")}},
            "x", "");
        row("NoDisplay still found", {{"sys1/x.desktop", entry("Quiet", "NoDisplay=true\n")}}, "x", "Quiet");
        row("link is no application",
            {{"sys1/x.desktop", "[Desktop Entry]\nType=Link\nName=Web\nURL=https://x\n"}}, "x", "");
        row("no Name", {{"sys1/x.desktop", "[Desktop Entry]\nType=Application\nExec=x\n"}}, "x", "");
        row("no group", {{"sys1/x.desktop", "Type=Application\nName=X\n"}}, "x", "");
        row("binary garbage", {{"sys1/x.desktop", QByteArray("\x00\xff\xfe[\x01=\x02", 7)}}, "x", "");
        row("oversized file",
            {{"sys1/x.desktop", entry("Big") + "Comment=" + QByteArray(2 * 1024 * 1024, 'a') + "\n"}}, "x",
            "");
        row("other groups ignored",
            {{"sys1/x.desktop", "[Desktop Action new]\nName=Action\n[Desktop Entry]\nType=Application\n"
                                "Name=Main\n[X-Extra]\nName=Extra\n"}},
            "x", "Main");
        row("malformed lines ignored",
            {{"sys1/x.desktop", "[Desktop Entry]\nType=Application\n=nokey\ngarbage line\nNa me=Bad\n"
                                "Name[=Bad\n# Name=Comment\n[broken\n  Name  =  Spaced  \n"}},
            "x", "Spaced");
        row("duplicate key first wins", {{"sys1/x.desktop", entry("First", "Name=Second\n")}}, "x", "First");
        row("escapes in values",
            {{"sys1/x.desktop", "[Desktop Entry]\nType=Application\nName=A\\sB\\\\C\\q\n"}}, "x",
            "A B\\C\\q");
        row("carriage returns", {{"sys1/x.desktop", "[Desktop Entry]\r\nType=Application\r\nName=Crlf\r\n"}},
            "x", "Crlf");

        const FileList localized{
            {"sys1/x.desktop", entry("Files", "Name[de]=Dateien\nName[de_AT]=Dateien AT\n"
                                              "Name[sr@latin]=Datoteke\nName[fr]=\n")}};
        row("language", localized, "x", "Dateien", "de_DE.UTF-8");
        row("language and country", localized, "x", "Dateien AT", "de_AT.UTF-8");
        row("modifier", localized, "x", "Datoteke", "sr_RS.UTF-8@latin");
        row("no translation", localized, "x", "Files", "ja_JP.UTF-8");
        row("empty translation falls back", localized, "x", "Files", "fr_FR.UTF-8");

        row("empty id", {}, "", "");
        row("overlong id", {}, QString(100000, QLatin1Char('-')), "");
        row("slash in id", {{"sys1/x.desktop", entry("X")}}, "../applications/x", "");
        row("absolute path outside folders", {{"sys1/x.desktop", entry("X")}},
            "@ROOT@/elsewhere/tool.desktop", "Tool");
        row("absolute path not a desktop file", {}, "@ROOT@/elsewhere/tool.txt", "");
        row("absolute path missing", {}, "@ROOT@/nothing.desktop", "");
    }
    void find()
    {
        QFETCH(FileList, files);
        QFETCH(QByteArray, locale);
        QFETCH(QString, id);
        QFETCH(QString, expectedName);
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
        QCOMPARE(found ? found->name : QString(), expectedName);
    }

    void findKeepsFields()
    {
        writeFiles({{"sys1/kde4/x.desktop", "[Desktop Entry]\nType=Application\nName=X\nIcon=/icons/x.png\n"
                                            "Exec=x --flag %U\n"}});
        const auto found = DesktopEntries::find(QStringLiteral("kde4-x"));
        QVERIFY(found);
        QCOMPARE(found->id, QStringLiteral("kde4-x"));
        QCOMPARE(found->filePath, appsDir(QStringLiteral("sys1")) + "/kde4/x.desktop");
        QCOMPARE(found->iconName, QStringLiteral("/icons/x.png"));
        QCOMPARE(found->exec, QStringLiteral("x --flag %U"));
        // An absolute path inside an applications folder gets its proper id.
        const auto byPath = DesktopEntries::find(found->filePath);
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
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expectedId");
        QTest::newRow("id") << "debian-xterm"
                            << "debian-xterm";
        QTest::newRow("id with .desktop, other case") << "Debian-XTerm.Desktop"
                                                      << "debian-xterm";
        QTest::newRow("window class") << "XTerm"
                                      << "debian-xterm";
        QTest::newRow("window class, other case") << "urxvt"
                                                  << "rxvt-unicode";
        QTest::newRow("program from a path; shown entries first") << "player"
                                                                  << "org.example.Player";
        QTest::newRow("nothing") << "term" << QString();
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("blank") << " .desktop" << QString();
    }
    void findByIdentity()
    {
        QFETCH(QString, name);
        QFETCH(QString, expectedId);
        writeFiles({
            {"sys1/debian-xterm.desktop", entry("XTerm", "StartupWMClass=XTerm\n")},
            {"sys1/debian-uxterm.desktop", entry("UXTerm", "StartupWMClass=UXTerm\n")},
            {"sys1/rxvt-unicode.desktop", "[Desktop Entry]\nType=Application\nName=Rxvt\nExec=urxvt\n"
                                          "StartupWMClass=URxvt\n"},
            {"sys1/org.example.Player.desktop", "[Desktop Entry]\nType=Application\nName=Player\n"
                                                "Exec=/usr/bin/player --new %U\n"},
            {"sys1/player-helper.desktop", "[Desktop Entry]\nType=Application\nName=Player helper\n"
                                           "Exec=player --helper\nNoDisplay=true\n"},
        });
        const auto found = DesktopEntries::findByIdentity(name);
        QCOMPARE(found ? found->id : QString(), expectedId);
    }

    // The names a window of each would give: class, instance, program.
    void entriesFor_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expectedIds");
        QTest::newRow("xterm, by class; uxterm's entry says another class")
            << QStringList{"XTerm", "xterm", "xterm"} << QStringList{"debian-xterm"};
        // StartupWMClass may name the class or the instance (both are "WM class").
        QTest::newRow("xterm as UXTerm: class and instance")
            << QStringList{"UXTerm", "xterm", "xterm"} << QStringList{"debian-uxterm", "debian-xterm"};
        QTest::newRow("urxvt") << QStringList{"URxvt", "urxvt", "urxvt"} << QStringList{"rxvt-unicode"};
        QTest::newRow("application id names the entry")
            << QStringList{"org.gnome.Calculator", "gnome-calculator"} << QStringList{"org.gnome.Calculator"};
        QTest::newRow("program, shown entries first")
            << QStringList{"Calc", "calc"} << QStringList{"calc", "calc-quiet"};
        QTest::newRow("unknown") << QStringList{"XEyes", "xeyes"} << QStringList{};
    }
    void entriesFor()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expectedIds);
        writeFiles({
            {"sys1/debian-xterm.desktop", entry("XTerm", "StartupWMClass=XTerm\n")},
            {"sys1/debian-uxterm.desktop", "[Desktop Entry]\nType=Application\nName=UXTerm\nExec=xterm "
                                           "-class UXTerm\nStartupWMClass=UXTerm\n"},
            {"sys1/rxvt-unicode.desktop", "[Desktop Entry]\nType=Application\nName=Rxvt\nExec=urxvt\n"
                                          "StartupWMClass=URxvt\n"},
            {"sys1/org.gnome.Calculator.desktop", entry("Calculator", "NoDisplay=false\n")},
            {"sys1/calc.desktop", entry("Calc")},
            {"sys1/calc-quiet.desktop", "[Desktop Entry]\nType=Application\nName=Calc quiet\nExec=calc -q\n"
                                        "NoDisplay=true\n"},
        });
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
