// SPDX-License-Identifier: MIT
// The shell of the real program on a Wayland desktop (headless sway, see
// wayland-session.sh) with a stand-in tray watcher and a stand-in shortcut
// portal on the private bus: the tray item registers as a
// StatusNotifierItem whose title and tooltip show the countdown, the
// stored global shortcut is bound through the GlobalShortcuts portal with
// its combination as the preferred trigger and the portal's Activated opens
// the popover; a declined shortcut or no portal leave Lumora working, said
// once on standard error.
#include "AppSettings.h"
#include "DesktopStandIns.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"
#include "SwayTree.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int settleMs = 20000;
const QString tenSeconds = QStringLiteral("Ten Seconds");

QList<SwayWindow> windowsOf(qint64 pid)
{
    QList<SwayWindow> out;
    for (const auto &window : swayWindows())
        if (window.pid == pid)
            out.append(window);
    return out;
}

} // namespace

class TestE2eWaylandShell : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;
    QTemporaryDir m_logs;

    // A store with one overlay screen and `shortcut` as the stored global
    // shortcut (the settings row's own when empty).
    void makeStore(const QString &shortcut = {})
    {
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            auto *settings = context->insert(std::make_unique<AppSettings>());
            if (!shortcut.isEmpty())
                settings->setGlobalShortcut(shortcut);
            context->insert(std::make_unique<FocusScreen>(tenSeconds, 10.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 0));
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
    }
    void startLumora(const QStringList &arguments = {})
    {
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        m_lumora->setStandardErrorFile(m_logs.filePath(QStringLiteral("stderr.txt")));
        QVERIFY(m_lumora->start(arguments));
        QTRY_COMPARE_WITH_TIMEOUT(m_lumora->status(), QStringLiteral("idle"), settleMs);
    }
    QString standardError() const
    {
        QFile file(m_logs.filePath(QStringLiteral("stderr.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("SWAYSOCK"),
                 "no sway session; run through wayland-session.sh");
        QVERIFY(m_logs.isValid());
    }
    void cleanup()
    {
        m_lumora.reset();
        m_store.reset();
        QFile::remove(m_logs.filePath(QStringLiteral("stderr.txt")));
    }

    // The item registers with the watcher that runs; its title is the
    // program's name at rest and the countdown during a session, its tooltip
    // names the screen and the time left.
    void trayItemShowsTheCountdown()
    {
        StandInTrayWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy registered(&watcher, &StandInTrayWatcher::itemRegistered);
        makeStore();
        startLumora();
        QTRY_VERIFY_WITH_TIMEOUT(!registered.isEmpty(), settleMs);
        const QString item = registered.first().first().toString();
        QCOMPARE(watcher.pidOf(item), uint(m_lumora->pid()));
        QCOMPARE(watcher.property(item, QStringLiteral("Title")).toString(), QStringLiteral("Lumora"));
        QCOMPARE(watcher.property(item, QStringLiteral("Status")).toString(), QStringLiteral("Active"));

        const QString error = m_lumora->startScreen(tenSeconds);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QRegularExpression countdown(QStringLiteral("^00:(0\\d|10)$"));
        QTRY_VERIFY_WITH_TIMEOUT(
            countdown.match(watcher.property(item, QStringLiteral("Title")).toString()).hasMatch(), settleMs);
        const QString title = watcher.toolTipTitle(item);
        QVERIFY2(QRegularExpression(QStringLiteral("^Ten Seconds - 00:(0\\d|10) remaining$"))
                     .match(title)
                     .hasMatch(),
                 qPrintable(title));
        // The icon carries the countdown too: pixmaps are there.
        QVERIFY(watcher.property(item, QStringLiteral("IconPixmap")).isValid());

        // Back to the name once the session is over.
        QTRY_COMPARE_WITH_TIMEOUT(watcher.property(item, QStringLiteral("Title")).toString(),
                                  QStringLiteral("Lumora"), settleMs + 10000);
        QCOMPARE(watcher.toolTipTitle(item), QStringLiteral("Lumora - Focus Sessions"));
    }

    // The stored combination is bound as the preferred trigger; the portal's
    // Activated opens the popover (started quietly, Lumora has no window
    // before).
    void portalShortcutOpensThePopover_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("three modifiers")
            << QStringLiteral("\u2303\u2325\u2318F") << QStringLiteral("CTRL+ALT+LOGO+f");
        QTest::newRow("recorded") << QStringLiteral("\u21E7\u2318K") << QStringLiteral("SHIFT+LOGO+k");
    }
    void portalShortcutOpensThePopover()
    {
        QFETCH(QString, stored);
        QFETCH(QString, trigger);
        StandInTrayWatcher watcher;
        QVERIFY(watcher.start());
        StandInShortcutsPortal portal;
        QVERIFY(portal.start());
        makeStore(stored);
        startLumora({QStringLiteral("--login")});
        QTRY_COMPARE_WITH_TIMEOUT(portal.bindings().size(), 1, settleMs);
        QCOMPARE(portal.preferredTrigger(), trigger);
        QCOMPARE(portal.bindings().first().session, portal.sessions().last());
        QVERIFY(windowsOf(m_lumora->pid()).isEmpty());

        // Another program's session is not Lumora's.
        QVERIFY(portal.activate(QStringLiteral("shortcut-1"),
                                QStringLiteral("/org/freedesktop/portal/desktop/session/1_999/other")));
        QVERIFY(portal.activate());
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(m_lumora->pid()).size(), 1, settleMs);
        QVERIFY(!standardError().contains(QStringLiteral("lumora --popover")));
    }

    // Declined by the user, refused, or no portal at all: Lumora runs on and
    // says once what is missing.
    void shortcutRefused_data()
    {
        QTest::addColumn<int>("response"); // -1: no portal
        QTest::addColumn<QString>("said");
        QTest::newRow("declined") << 1 << QStringLiteral("declined");
        QTest::newRow("failed") << 2 << QStringLiteral("could not bind");
        QTest::newRow("no portal") << -1 << QStringLiteral("no GlobalShortcuts portal");
    }
    void shortcutRefused()
    {
        QFETCH(int, response);
        QFETCH(QString, said);
        std::unique_ptr<StandInShortcutsPortal> portal;
        if (response >= 0) {
            portal = std::make_unique<StandInShortcutsPortal>();
            portal->bindResponse = uint(response);
            QVERIFY(portal->start());
        }
        makeStore();
        startLumora();
        QTRY_VERIFY_WITH_TIMEOUT(standardError().contains(said), settleMs);
        QCOMPARE(standardError().count(QStringLiteral("lumora --popover")), 1);
        // The combination it could not bind is named (the settings' own: Ctrl+Alt+Super+F).
        QVERIFY(standardError().contains(QStringLiteral("Ctrl+Alt+Super+F")) || response < 0);
        // Still working: a session starts and is reported.
        const QString error = m_lumora->startScreen(tenSeconds);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(m_lumora->status() != QStringLiteral("idle"), settleMs);
    }
};

QTEST_GUILESS_MAIN(TestE2eWaylandShell)
#include "tst_e2e_waylandshell.moc"
