// SPDX-License-Identifier: MIT
// Store figures over a large history: 100,000 sessions and 1,000 focus
// screens. Prints timings and peak memory; never fails on a time.
#include "AppModel.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "SessionExport.h"
#include "Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

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

// Child process: exports the store to /dev/null as `lumora --export` does
// (the store opened without loading its records) and prints the time and
// its own peak memory. `since` far ahead exports nothing: the baseline.
int exportChild(const QString &path, const QString &format, bool nothing)
{
    QElapsedTimer t;
    t.start();
    StoreOpenOptions options;
    options.loadRecords = false;
    auto container = ModelContainer::open(path, Store::schema(), nullptr, options);
    if (!container)
        return 1;
    QFile out(QStringLiteral("/dev/null"));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    const auto result = SessionExport::write(
        container->database(),
        format == QLatin1String("json") ? SessionExport::Format::json : SessionExport::Format::csv,
        nothing ? std::optional(QDateTime::currentDateTimeUtc().addYears(10)) : std::nullopt, out);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    std::printf("%lld %.2f %ld %.2f\n", static_cast<long long>(result.sessions),
                double(t.nsecsElapsed()) / 1e6, statusKb("VmHWM:"), cpuMs);
    return result.ok ? 0 : 1;
}

void reportExport(const QString &path, const QString &format)
{
    for (const bool nothing : {true, false}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--export-child"), path, format,
                     nothing ? QStringLiteral("1") : QStringLiteral("0")});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            std::printf("export %s failed\n", qPrintable(format));
            return;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() != 4)
            return;
        const QByteArray what =
            (nothing ? QByteArray("export ") + format.toLatin1() + " of no session (baseline)"
                     : QByteArray("export ") + format.toLatin1() + " of " + figures[0] + " sessions");
        report(what.constData(), figures[1].toDouble(), nothing ? "-" : "< 2000 ms");
        report((what + ", processor time").constData(), figures[3].toDouble(), "-");
        std::printf("%-48s %9.1f MB   (%s)\n", (what + ", peak memory").constData(),
                    figures[2].toDouble() / 1024.0,
                    nothing ? "the program and Qt" : "target: no more than the baseline + 10 MB");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "--export-child") == 0) {
        QCoreApplication app(argc, argv);
        return exportChild(QString::fromLocal8Bit(argv[2]), QString::fromLatin1(argv[3]),
                           qstrcmp(argv[4], "1") == 0);
    }
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
            if (i % 5 == 0)
                s->setNote(QStringLiteral("outline, \"draft\" %1").arg(i));
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

    // Exports read the file row by row in a process of their own.
    reportExport(path, QStringLiteral("csv"));
    reportExport(path, QStringLiteral("json"));
    return 0;
}
