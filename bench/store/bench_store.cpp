// SPDX-License-Identifier: MIT
// Store figures over a large history: 100,000 sessions and 1,000 focus
// screens. Prints timings and peak memory; never fails on a time.
#include "AppModel.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}

void report(const char *what, double ms, const char *target)
{
    std::printf("%-48s %9.2f ms   (target %s)\n", what, ms, target);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kSessions = 100'000;
    constexpr int kScreens = 1'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.store"));

    {
        QElapsedTimer t;
        t.start();
        auto container = ModelContainer::open(path, Store::schema(), nullptr);
        ModelContext *ctx = container->mainContext();
        ctx->setAutosaveEnabled(false);
        QList<QUuid> screens;
        for (int i = 0; i < kScreens; ++i)
            screens << ctx->insert(
                              std::make_unique<FocusScreen>(QStringLiteral("Screen %1").arg(i), 600.0 + i))
                           ->uuid();
        const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-800);
        for (int i = 0; i < kSessions; ++i) {
            // Start times are shuffled so the sort has real work to do.
            const qint64 offset = (qint64(i) * 7919) % kSessions;
            auto *s = ctx->insert(
                std::make_unique<FocusSession>(screens[i % kScreens], base.addSecs(offset * 600)));
            if (i % 3 != 0)
                s->complete(s->startTime().addSecs(1500));
        }
        QString error;
        if (!ctx->save(&error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
            return 1;
        }
        report("insert 101,000 records + save (setup)", double(t.nsecsElapsed()) / 1e6, "-");
    }
    const long rssBefore = statusKb("VmRSS:");

    QElapsedTimer t;
    t.start();
    auto container = ModelContainer::open(path, Store::schema(), nullptr);
    const double openMs = double(t.nsecsElapsed()) / 1e6;
    if (!container)
        return 1;
    ModelContext *ctx = container->mainContext();
    ctx->setAutosaveEnabled(false);
    AppModel model(container.get());
    report("open and load (100,000 sessions, 1,000 screens)", openMs, "< 300 ms");

    t.restart();
    const QList<FocusSession *> sessions = model.sessions();
    report("fetch all sessions newest first", double(t.nsecsElapsed()) / 1e6, "< 30 ms");

    t.restart();
    const QList<FocusScreen *> screens = model.focusScreens();
    report("fetch all focus screens in list order", double(t.nsecsElapsed()) / 1e6, "-");

    // One save of one changed field, averaged over several edits.
    constexpr int kEdits = 20;
    double worst = 0;
    t.restart();
    for (int i = 0; i < kEdits; ++i) {
        QElapsedTimer one;
        one.start();
        screens.at(i)->setName(QStringLiteral("Edited %1").arg(i));
        ctx->save();
        worst = std::max(worst, double(one.nsecsElapsed()) / 1e6);
    }
    const double totalMs = double(t.nsecsElapsed()) / 1e6;
    report("one field change + save (mean of 20)", totalMs / kEdits, "< 10 ms");
    report("one field change + save (worst of 20)", worst, "-");

    std::printf("%-48s %9.1f MB   (target < 80 MB)\n", "peak resident memory (VmHWM)",
                double(statusKb("VmHWM:")) / 1024.0);
    std::printf("%-48s %9.1f MB\n", "resident memory before opening", double(rssBefore) / 1024.0);
    std::printf("%-48s %9.1f MB\n", "resident memory with the store loaded",
                double(statusKb("VmRSS:")) / 1024.0);
    std::printf("%-48s %9lld\n", "sessions loaded", static_cast<long long>(sessions.size()));
    return 0;
}
