// SPDX-License-Identifier: MIT
// Prints how fast a focus session puts its overlay up on GNOME Shell (the
// headless shell of tests/e2e/gnome-session.sh, Lumora's extension enabled):
// from the start request (the StartFocusScreen call a second `lumora --start`
// makes on the session bus) to an overlay window full screen on each of the
// two monitors, on every workspace and out of the switchers, in hideApps and
// overlay mode. The shell is asked through the tests' probe extension, one
// bus round trip per look, so the figures include up to one round trip
// (about a millisecond) of polling. Never fails on a time.
//   bench_session_gnome [trials per mode, default 5]
#include "BenchReport.h"
#include "FocusScreen.h"
#include "GnomeShellProbe.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using BenchReport::print;
using BenchReport::sendStartRequest;

QString figures(const QList<double> &values)
{
    return BenchReport::figures(values, QStringLiteral("no overlay came up"));
}

constexpr int kMapTimeoutMs = 15000;
constexpr int kShortSessionSeconds = 2;
constexpr int kBetweenTrialsMs = 500;

struct Mode
{
    const char *name;
    LockMode lockMode;
    QString screen;
};

const QList<Mode> kModes{
    {"hideApps", LockMode::hideApps, QStringLiteral("Bench Hide")},
    {"overlay", LockMode::overlay, QStringLiteral("Bench Cover")},
};

template<typename Check> bool waitFor(Check check, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!check()) {
        if (clock.hasExpired(timeoutMs))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trials = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5;

    if (GnomeShellProbe::probe(QStringLiteral("Panel")).type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "bench_session_gnome: no GNOME Shell with the probe; run it under "
                             "tests/e2e/gnome-session.sh\n");
        return 1;
    }
    ScratchStore store;
    const QString error = store.fill([](ModelContext *context) {
        qint64 order = 0;
        for (const Mode &mode : kModes)
            context->insert(std::make_unique<FocusScreen>(mode.screen, kShortSessionSeconds, QStringList{},
                                                          QStringList{}, mode.lockMode, false, order++));
    });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "bench_session_gnome: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("APP_STORE", store.path().toLocal8Bit());

    // Something for hideApps to hide.
    QProcess foot;
    foot.start(QStringLiteral("foot"), {QStringLiteral("-a"), QStringLiteral("bench-foot")});

    LumoraProcess lumora(store);
    if (!lumora.start({QStringLiteral("--login")}) || !lumora.waitUntilIdle()) {
        std::fprintf(stderr, "bench_session_gnome: lumora did not come up (%s)\n",
                     qPrintable(LumoraProcess::program()));
        return 1;
    }
    print(QStringLiteral("bench_session_gnome: %1, %2 trials per mode")
              .arg(LumoraProcess::program())
              .arg(trials));
    print(QStringLiteral("\nGNOME Shell: start request -> overlay windows covering both monitors, ms"));
    for (const Mode &mode : kModes) {
        QList<double> times;
        for (int i = 0; i < trials; ++i) {
            QElapsedTimer since;
            since.start();
            sendStartRequest(mode.screen);
            if (waitFor([] { return GnomeShellProbe::overlaysCoverBothMonitors(); }, kMapTimeoutMs))
                times.append(double(since.nsecsElapsed()) / 1e6);
            // The short session ends by itself.
            waitFor([] { return GnomeShellProbe::overlays().isEmpty(); }, kMapTimeoutMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenTrialsMs));
        }
        print(QStringLiteral("  %1 %2").arg(QLatin1String(mode.name), -10).arg(figures(times)));
    }
    foot.kill();
    foot.waitForFinished();
    return 0;
}
