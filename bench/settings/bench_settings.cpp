// SPDX-License-Identifier: MIT
// The statistics page over a long history: 100,000 sessions (two thirds
// completed, spread over three years, the newest today) and 50 focus
// screens in a real store file. Prints how long the page takes to
// recompute its figures and to refresh all it shows; never fails on a time.
#include "AppModel.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "StatsSettings.h"
#include "Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kSessions = 100'000;
constexpr int kScreens = 50;
constexpr int kRuns = 30;
constexpr double kTargetMs = 20.0;

struct Timing
{
    double median = 0;
    double worst = 0;
};

template<typename F> Timing measure(F &&work)
{
    work(); // warm up
    QList<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.append(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.last()};
}

void report(const char *what, const Timing &t)
{
    std::printf("%-52s median %7.2f ms  worst %7.2f ms  (target < %.0f ms)\n", what, t.median, t.worst,
                kTargetMs);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    qputenv("APP_STORE", dir.filePath(QStringLiteral("bench.store")).toUtf8());

    auto container = Store::makeContainer();
    AppModel model(container.get());
    ModelContext *ctx = model.context();
    ctx->setAutosaveEnabled(false);
    QList<QUuid> screens;
    for (int i = 0; i < kScreens; ++i)
        screens
            << ctx->insert(std::make_unique<FocusScreen>(QStringLiteral("Screen %1").arg(i), 1500.0))->uuid();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < kSessions; ++i) {
        // About a hundred sessions a day over three years, in shuffled order.
        const qint64 minutesAgo = (qint64(i) * 7919) % (3 * 365 * 24 * 60);
        auto *s =
            ctx->insert(std::make_unique<FocusSession>(screens[i % kScreens], now.addSecs(-60 * minutesAgo)));
        if (i % 3 != 0)
            s->complete(s->startTime().addSecs(1500));
        else
            s->setActualDuration(300);
    }
    QString error;
    if (!ctx->save(&error)) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
        return 1;
    }

    QElapsedTimer build;
    build.start();
    StatsSettings page(&model);
    const double buildMs = double(build.nsecsElapsed()) / 1e6;
    page.show();
    QCoreApplication::processEvents();

    std::printf("statistics page over %d sessions (%d completed), %d screens\n", kSessions,
                page.totalSessionsValue()->text().toInt(), kScreens);
    std::printf("%-52s %7.2f ms\n", "build the page (queries, widgets, first figures)", buildMs);
    const QList<FocusSession *> sessions = ctx->fetch<FocusSession>();
    const QDateTime local = QDateTime::currentDateTime();
    report("recompute the figures", measure([&] { (void)StatsSettings::compute(sessions, local); }));
    report("refresh the page (figures, labels, chart, rows)", measure([&] { page.refresh(); }));
    report("a new session arrives (query, refresh, repaint)", measure([&] {
               FocusSession *s = ctx->insert(std::make_unique<FocusSession>(screens[0], now));
               s->complete(now.addSecs(60));
               QCoreApplication::processEvents();
               QCoreApplication::processEvents();
           }));
    return 0;
}
