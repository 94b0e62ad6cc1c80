// SPDX-License-Identifier: MIT
// Do not disturb while focusing, against stand-ins for each desktop's means:
// GNOME's show-banners setting in a private GSettings key file, Plasma's
// notification inhibition on a stand-in server on the private bus, and
// makoctl and dunstctl scripts on PATH that keep their state in files and
// log their calls. Each holds notifications back during a session, lets
// them through at its end (Lumora's own "Focus Session Complete" still
// shows), and a killed Lumora's hold is undone at its next start; a setting
// the user changed during the session stays as the user set it. Where none
// is found, the session runs and Lumora says once why.
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "NotificationServer.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int settleMs = 8000;

const QString threeSeconds = QStringLiteral("Three Seconds");
const QString tenMinutes = QStringLiteral("Ten Minutes");

// A fake makoctl: the active modes in a file, one a line.
constexpr auto kMakoctl = R"(#!/bin/sh
dir=$(dirname "$0")
echo "makoctl $*" >> "$dir/calls"
[ -f "$dir/mako-modes" ] || echo default > "$dir/mako-modes"
[ "$1" = mode ] || exit 1
case "$2" in
  "") cat "$dir/mako-modes" ;;
  -a) grep -qx "$3" "$dir/mako-modes" || echo "$3" >> "$dir/mako-modes"; cat "$dir/mako-modes" ;;
  -r) grep -vx "$3" "$dir/mako-modes" > "$dir/mako-modes.new"; mv "$dir/mako-modes.new" "$dir/mako-modes"; cat "$dir/mako-modes" ;;
  *) exit 1 ;;
esac
)";

// A fake dunstctl: paused or not in a file.
constexpr auto kDunstctl = R"(#!/bin/sh
dir=$(dirname "$0")
echo "dunstctl $*" >> "$dir/calls"
[ -f "$dir/dunst-paused" ] || echo false > "$dir/dunst-paused"
case "$1" in
  is-paused) cat "$dir/dunst-paused" ;;
  set-paused) echo "$2" > "$dir/dunst-paused" ;;
  *) exit 1 ;;
esac
)";

} // namespace

class TestE2eDoNotDisturb : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    std::unique_ptr<NotificationServer> m_server;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;
    std::unique_ptr<QTemporaryDir> m_tools;
    QProcessEnvironment m_environment;
    QString m_means;
    QString m_stderrPath;

    QString toolsPath(const QString &name) const { return m_tools->filePath(name); }

    QString readFile(const QString &name) const
    {
        QFile file(toolsPath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }

    QString gsettings(const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(QStringLiteral("gsettings"), arguments);
        process.waitForFinished(settleMs);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    QString banners() const
    {
        return gsettings({QStringLiteral("get"), QStringLiteral("org.gnome.desktop.notifications"),
                          QStringLiteral("show-banners")});
    }
    void setBanners(bool on) const
    {
        gsettings({QStringLiteral("set"), QStringLiteral("org.gnome.desktop.notifications"),
                   QStringLiteral("show-banners"), on ? QStringLiteral("true") : QStringLiteral("false")});
    }

    // Whether other programs' notifications are held back now.
    bool held() const
    {
        if (m_means == QLatin1String("gnome"))
            return banners() == QLatin1String("false");
        if (m_means == QLatin1String("kde"))
            return m_server->isInhibited();
        if (m_means == QLatin1String("mako"))
            return readFile(QStringLiteral("mako-modes"))
                .split(QLatin1Char('\n'))
                .contains(QStringLiteral("do-not-disturb"));
        if (m_means == QLatin1String("dunst"))
            return readFile(QStringLiteral("dunst-paused")) == QLatin1String("true");
        return false;
    }
    // What the user does by hand to let notifications through.
    void letThroughByHand()
    {
        if (m_means == QLatin1String("gnome"))
            setBanners(true);
        else if (m_means == QLatin1String("mako"))
            QProcess::execute(
                toolsPath(QStringLiteral("makoctl")),
                {QStringLiteral("mode"), QStringLiteral("-r"), QStringLiteral("do-not-disturb")});
        else if (m_means == QLatin1String("dunst"))
            QProcess::execute(toolsPath(QStringLiteral("dunstctl")),
                              {QStringLiteral("set-paused"), QStringLiteral("false")});
    }

    void startLumora()
    {
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QProcessEnvironment environment = m_lumora->environment();
        for (const QString &key : m_environment.keys())
            environment.insert(key, m_environment.value(key));
        m_lumora->setEnvironment(environment);
        m_lumora->setStandardErrorFile(m_stderrPath);
        QVERIFY(m_lumora->start());
        QVERIFY(m_lumora->waitUntilIdle());
    }

    // `lumora --start`, waited for with this process's events running: the
    // stand-in notification server lives here and must answer meanwhile.
    QString start(const QString &screen)
    {
        QProcess second;
        second.setProcessEnvironment(m_lumora->environment());
        second.start(LumoraProcess::program(), {QStringLiteral("--start"), screen});
        if (!waitFor([&] { return second.state() == QProcess::NotRunning; }, settleMs * 2))
            return QStringLiteral("--start did not return");
        if (second.exitCode() != 0)
            return QStringLiteral("--start failed: ") + QString::fromLocal8Bit(second.readAllStandardError());
        if (!waitFor([&] { return !LumoraProcess::shownOverlays(m_probe).isEmpty(); }, settleMs))
            return QStringLiteral("no overlay");
        return {};
    }

    int completeNotifications() const
    {
        int n = 0;
        for (const auto &notification : m_server->received())
            if (notification.summary == QLatin1String("Focus Session Complete"))
                ++n;
        return n;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(threeSeconds, 3.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 0));
            context->insert(std::make_unique<FocusScreen>(tenMinutes, 600.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 1));
            context->insert(std::make_unique<AppSettings>());
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
    }

    void init()
    {
        m_tools = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tools->isValid());
        m_stderrPath = m_tools->filePath(QStringLiteral("lumora.err"));
    }

    void cleanup()
    {
        m_lumora.reset();
        m_server.reset();
    }

    void holdsAndReleases_data()
    {
        QTest::addColumn<QString>("means");
        QTest::newRow("GNOME") << "gnome";
        QTest::newRow("KDE Plasma") << "kde";
        QTest::newRow("mako") << "mako";
        QTest::newRow("dunst") << "dunst";
        QTest::newRow("none") << "none";
    }
    void holdsAndReleases()
    {
        QFETCH(QString, means);
        m_means = means;
        m_environment = QProcessEnvironment();
        m_environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), means == QLatin1String("gnome")
                                                                        ? QStringLiteral("GNOME")
                                                                        : QStringLiteral("openbox"));
        // GNOME's settings in a key file of the test's own.
        m_environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
        const QString config = m_tools->filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        QString path = qEnvironmentVariable("PATH");
        if (means == QLatin1String("mako") || means == QLatin1String("dunst")) {
            const QString tool =
                means == QLatin1String("mako") ? QStringLiteral("makoctl") : QStringLiteral("dunstctl");
            QFile script(toolsPath(tool));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(means == QLatin1String("mako") ? kMakoctl : kDunstctl);
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            path = m_tools->path() + QLatin1Char(':') + path;
        }
        m_environment.insert(QStringLiteral("PATH"), path);
        if (means == QLatin1String("gnome")) {
            setBanners(true);
            QCOMPARE(banners(), QStringLiteral("true"));
        }
        m_server = std::make_unique<NotificationServer>();
        m_server->setInhibitable(means == QLatin1String("kde"));
        const QString serverError = m_server->start();
        QVERIFY2(serverError.isEmpty(), qPrintable(serverError));
        startLumora();
        QVERIFY(!held());

        // A session that runs to its end: held back during it, let through
        // at the end, and Lumora's own notification shows.
        QString error = start(threeSeconds);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        if (means != QLatin1String("none"))
            QTRY_VERIFY_WITH_TIMEOUT(held(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(threeSeconds), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(!held(), settleMs);
        QTRY_COMPARE_WITH_TIMEOUT(completeNotifications(), 1, settleMs);

        if (means == QLatin1String("none")) {
            // Said once, on standard error; a second session says nothing more.
            const auto sessionsBefore = m_store->sessions().size();
            error = start(threeSeconds);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QTRY_VERIFY_WITH_TIMEOUT(m_store->sessions().size() == sessionsBefore + 1 &&
                                         m_store->lastSessionEnded(threeSeconds),
                                     settleMs);
            QTRY_COMPARE_WITH_TIMEOUT(completeNotifications(), 2, settleMs);
            QFile err(m_stderrPath);
            QVERIFY(err.open(QIODevice::ReadOnly));
            QCOMPARE(
                QString::fromUtf8(err.readAll()).count(QStringLiteral("Notifications are not held back")), 1);
            // Nothing else told about it: no notification of Lumora's own.
            QCOMPARE(m_server->received().size(), completeNotifications());
            return;
        }

        // Killed during a session: the next start lets them through again.
        error = start(tenMinutes);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(held(), settleMs);
        m_lumora->kill();
        if (means == QLatin1String("kde"))
            QTRY_VERIFY_WITH_TIMEOUT(!held(), settleMs); // the inhibition ends with the process
        else
            QVERIFY(held());
        startLumora();
        QTRY_VERIFY_WITH_TIMEOUT(!held(), settleMs);

        // Changed by the user during a session: left as the user set it.
        if (means == QLatin1String("kde"))
            return;
        error = start(tenMinutes);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(held(), settleMs);
        letThroughByHand();
        QVERIFY(!held());
        const QString callsBefore = readFile(QStringLiteral("calls"));
        QProcess stop;
        stop.setProcessEnvironment(m_lumora->environment());
        stop.start(LumoraProcess::program(), {QStringLiteral("--stop")});
        QVERIFY(waitFor([&] { return stop.state() == QProcess::NotRunning; }, settleMs));
        QCOMPARE(stop.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSessionEnded(tenMinutes), settleMs);
        QVERIFY(!held());
        // Only looked at, never set again.
        const QString callsAfter = readFile(QStringLiteral("calls")).mid(callsBefore.size());
        QVERIFY2(!callsAfter.contains(QStringLiteral("-r")) &&
                     !callsAfter.contains(QStringLiteral("set-paused")),
                 qPrintable(callsAfter));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestE2eDoNotDisturb test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_donotdisturb.moc"
