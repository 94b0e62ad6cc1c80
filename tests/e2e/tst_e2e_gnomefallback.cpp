// SPDX-License-Identifier: MIT
// The real program on GNOME Shell where Lumora's extension cannot help: not
// there at all (LUMORA_GNOME_EXTENSION=none), or of another version
// (LUMORA_GNOME_EXTENSION_VERSION). A hideApps session then hides nothing
// but still covers both monitors with its overlays (plain full-screen
// windows), and Lumora says why once, with what the extension would give or
// which versions differ; the top bar shows no item of Lumora's.
#include "FocusScreen.h"
#include "GnomeShellProbe.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"
#include "Version.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace GnomeShellProbe;

namespace {

constexpr int settleMs = 10000;
const QString threeSeconds = QStringLiteral("Three Seconds");
const QString footClass = QStringLiteral("lumora-test-foot");

std::optional<ShellWindow> windowOf(const QString &name)
{
    for (const auto &w : shellWindows())
        if (w.is(name))
            return w;
    return std::nullopt;
}

// Full screen on each monitor; nothing more asked of the shell.
bool overlaysFullScreenOnBothMonitors()
{
    const auto shown = overlays();
    if (shown.size() != monitors.size())
        return false;
    return std::all_of(monitors.cbegin(), monitors.cend(), [&](const QRect &monitor) {
        return std::count_if(shown.cbegin(), shown.cend(),
                             [&](const ShellWindow &w) { return w.fullscreen && w.rect == monitor; }) == 1;
    });
}

} // namespace

class TestE2eGnomeFallback : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hidesNothingCoversAndSaysWhyOnce()
    {
        QVERIFY2(probe(QStringLiteral("Panel")).type() == QDBusMessage::ReplyMessage,
                 "no GNOME Shell with the tests' probe; run through gnome-session.sh");
        const QString otherVersion = qEnvironmentVariable("LUMORA_GNOME_EXTENSION_VERSION");
        const QString why = otherVersion.isEmpty()
                                ? QStringLiteral("GNOME Shell needs Lumora's extension for this")
                                : QStringLiteral("extension is version %1, Lumora %2")
                                      .arg(otherVersion, QString::fromLatin1(Version::kText));

        QProcess foot;
        // A command of its own: the desktop's user has no login shell.
        foot.start(QStringLiteral("foot"),
                   {QStringLiteral("-a"), footClass, QStringLiteral("sleep"), QStringLiteral("600")});
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(footClass).has_value(), settleMs);

        ScratchStore store;
        QVERIFY(store.isValid());
        const QString fillError = store.fill([&](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(threeSeconds, 3.0, QStringList{}, QStringList{},
                                                          LockMode::hideApps, false, 0));
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        QTemporaryDir logs;
        const QString output = logs.filePath(QStringLiteral("output.txt"));
        LumoraProcess lumora(store);
        lumora.setOutputFile(output);
        QVERIFY(lumora.start({QStringLiteral("--login")}));
        QVERIFY(lumora.waitUntilIdle());

        for (int round = 0; round < 2; ++round) {
            QVERIFY(lumora.startScreen(threeSeconds).isEmpty());
            QTRY_VERIFY_WITH_TIMEOUT(overlaysFullScreenOnBothMonitors(), settleMs);
            QVERIFY(!windowOf(footClass)->minimized);
            QCOMPARE(probe(QStringLiteral("Panel"))
                         .arguments()
                         .value(0)
                         .toString()
                         .contains(QStringLiteral("\"shown\":true")),
                     false);
            QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs + 5000);
        }
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString said = QString::fromUtf8(file.readAll());
        QVERIFY2(said.count(why) == 1, qPrintable(said));
        foot.kill();
        foot.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestE2eGnomeFallback)
#include "tst_e2e_gnomefallback.moc"
