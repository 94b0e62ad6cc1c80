// Prints how fast Lumora starts and how much memory it holds, side by side
// with a minimal Qt 6 Widgets program that shows one window and one tray icon
// (minimal_tray):
//  - start-up: from starting the process to its icon embedded in the tray
//    host and its main window mapped (the median of several runs, the first
//    run of each program made beforehand and not counted, so both read their
//    files from the page cache);
//  - resident memory (RSS, PSS, and RSS split into anonymous memory and
//    mapped files) after 10 s idle, and the store's size;
//  - the cost at rest: CPU time and wake-ups per minute of all the
//    program's threads, from their scheduler statistics
//    (/proc/PID/task/*/schedstat) over a minute, both programs running side
//    by side in the same minute.
// Needs a desktop: run it under tests/e2e/desktop-session.sh (the
// run_bench_shell target does). Never fails on a time.
//   bench_shell [runs, default 5] [idle seconds, default 10] [rest seconds, default 60]
#include "DesktopProbe.h"
#include "LumoraProcess.h"
#include "ScratchStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kPollMs = 1;
constexpr int kReadyTimeoutMs = 15000;
constexpr int kBetweenRunsMs = 500;
constexpr double kStartTargetRatio = 1.4;
constexpr double kRestCpuTargetMs = 4;
constexpr double kRestWakeupTarget = 70;
constexpr double kRssTargetMb = 34;

struct Program
{
    QString name;
    QString path;
    QStringList arguments;
    QProcessEnvironment environment;
    QString wmClass;
};

struct Startup
{
    double trayMs = -1;
    double windowMs = -1;
    double bothMs() const { return std::max(trayMs, windowMs); }
};

struct Memory
{
    double rssMb = 0;
    double pssMb = 0;
    double anonymousMb = 0; // the program's own heap and stacks
    double fileMb = 0;      // mapped files: libraries, fonts, the store
};

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// A field of a /proc file ("VmRSS:   1234 kB"), in MB; 0 when absent.
double procFieldMb(const QString &path, const QByteArray &field)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// CPU time and times scheduled of each of a process's threads.
struct SchedStat
{
    double cpuMs = 0;
    qint64 runs = 0;
};

QHash<QString, SchedStat> schedStats(qint64 pid)
{
    QHash<QString, SchedStat> threads;
    QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // "<ns on the CPU> <ns waiting to run> <times run>"
        const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
        if (fields.size() < 3)
            continue;
        threads.insert(tid, SchedStat{fields.at(0).toDouble() / 1e6, fields.at(2).toLongLong()});
    }
    return threads;
}

// What the threads did between two readings: a thread that started in
// between counts whole, one that ended counts for nothing it did after the
// first reading (its figures are gone with it).
SchedStat between(const QHash<QString, SchedStat> &before, const QHash<QString, SchedStat> &after)
{
    SchedStat total;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const SchedStat start = before.value(it.key());
        total.cpuMs += it->cpuMs - start.cpuMs;
        total.runs += it->runs - start.runs;
    }
    return total;
}

Memory memoryOf(qint64 pid)
{
    const QString status = QStringLiteral("/proc/%1/status").arg(pid);
    return Memory{procFieldMb(status, "VmRSS"),
                  procFieldMb(QStringLiteral("/proc/%1/smaps_rollup").arg(pid), "Pss"),
                  procFieldMb(status, "RssAnon"), procFieldMb(status, "RssFile")};
}

// Polls the tray host and the window manager's client list every
// millisecond, reading each window's class once.
class ReadyWatch
{
public:
    explicit ReadyWatch(const DesktopProbe &probe) : m_probe(probe)
    {
        for (const auto window : probe.findWindowsByTitle(QStringLiteral("panel")))
            if (probe.windowClass(window) == QLatin1String("trayer"))
                m_trayHost = window;
    }
    bool hasTrayHost() const { return m_trayHost != 0; }

    Startup wait(const QString &wmClass, const QElapsedTimer &since)
    {
        Startup out;
        m_classes.clear(); // the server hands a new client the ids of one that has gone
        while (since.elapsed() < kReadyTimeoutMs && (out.trayMs < 0 || out.windowMs < 0)) {
            if (out.trayMs < 0 && found(m_probe.descendants(m_trayHost), wmClass))
                out.trayMs = double(since.nsecsElapsed()) / 1e6;
            if (out.windowMs < 0 && found(m_probe.clientWindows(), wmClass))
                out.windowMs = double(since.nsecsElapsed()) / 1e6;
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        }
        return out;
    }

private:
    bool found(const QList<quint64> &windows, const QString &wmClass)
    {
        for (const auto window : windows) {
            auto name = m_classes.constFind(window);
            if (name == m_classes.constEnd())
                name = m_classes.insert(window, m_probe.windowClass(window));
            // Not cached: a window of the class is there before it is mapped.
            if (*name == wmClass && m_probe.isViewable(window))
                return true;
        }
        return false;
    }

    const DesktopProbe &m_probe;
    quint64 m_trayHost = 0;
    QHash<quint64, QString> m_classes;
};

bool stop(QProcess &process)
{
    process.terminate();
    if (process.waitForFinished(5000))
        return true;
    process.kill();
    return process.waitForFinished(5000);
}

void launch(QProcess &process, const Program &program)
{
    process.setProcessEnvironment(program.environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program.path, program.arguments);
}

Startup startOnce(const Program &program, ReadyWatch &watch)
{
    QProcess process;
    QElapsedTimer since;
    since.start();
    launch(process, program);
    const Startup startup = watch.wait(program.wmClass, since);
    stop(process);
    std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenRunsMs));
    return startup;
}

struct Rest
{
    Memory memory;
    double cpuMsPerMinute = -1;
    double wakeupsPerMinute = -1;
};

// Starts every program, lets them settle, reads their memory, then their
// scheduler statistics at the start and the end of the same rest period.
QList<Rest> measureRest(const QList<Program> &programs, ReadyWatch &watch, int idleSeconds, int restSeconds)
{
    QList<Rest> out(programs.size());
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const Program &program : programs) {
        processes.push_back(std::make_unique<QProcess>());
        QElapsedTimer since;
        since.start();
        launch(*processes.back(), program);
        watch.wait(program.wmClass, since);
    }
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    QList<QHash<QString, SchedStat>> before;
    for (int i = 0; i < programs.size(); ++i) {
        out[i].memory = memoryOf(processes[i]->processId());
        before.append(schedStats(processes[i]->processId()));
    }
    QElapsedTimer rest;
    rest.start();
    std::this_thread::sleep_for(std::chrono::seconds(restSeconds));
    const double minutes = double(rest.elapsed()) / 60000.0;
    for (int i = 0; i < programs.size(); ++i) {
        const SchedStat spent = between(before[i], schedStats(processes[i]->processId()));
        out[i].cpuMsPerMinute = spent.cpuMs / minutes;
        out[i].wakeupsPerMinute = double(spent.runs) / minutes;
    }
    for (auto &process : processes)
        stop(*process);
    return out;
}

double median(QList<double> values)
{
    values.removeIf([](double v) { return v < 0; });
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5;
    const int idleSeconds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 10;
    const int restSeconds = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 60;

    DesktopProbe probe;
    if (!probe.isOpen()) {
        std::fprintf(stderr, "bench_shell: no X display; run it under tests/e2e/desktop-session.sh\n");
        return 1;
    }
    ReadyWatch watch(probe);
    if (!watch.hasTrayHost()) {
        std::fprintf(stderr, "bench_shell: no tray host (trayer) on this desktop\n");
        return 1;
    }

    // Lumora on a scratch store with the sample screens (seeded by its first run).
    ScratchStore store;
    const LumoraProcess lumoraOnStore(store, true); // not started: its environment is used
    const QList<Program> programs{
        {QStringLiteral("minimal Qt"),
         QCoreApplication::applicationDirPath() + QStringLiteral("/minimal_tray"),
         {},
         QProcessEnvironment::systemEnvironment(),
         QStringLiteral("LumoraBenchMinimal")},
        // The same with a one-second timer that does nothing: what a tick costs here.
        {QStringLiteral("minimal+tick"),
         QCoreApplication::applicationDirPath() + QStringLiteral("/minimal_tray"),
         {QStringLiteral("--tick")},
         QProcessEnvironment::systemEnvironment(),
         QStringLiteral("LumoraBenchMinimal")},
        {QStringLiteral("lumora"),
         LumoraProcess::program(),
         {},
         lumoraOnStore.environment(),
         QLatin1String(LumoraProcess::kWindowClass)},
    };

    print(
        QStringLiteral("bench_shell: %1 runs per program, %2 s idle before the memory reading, %3 s at rest")
            .arg(runs)
            .arg(idleSeconds)
            .arg(restSeconds));
    QHash<QString, QList<Startup>> startups;
    for (const Program &program : programs) {
        const Startup first = startOnce(program, watch);
        if (first.trayMs < 0 || first.windowMs < 0) {
            std::fprintf(stderr, "bench_shell: %s did not show its tray icon (%s) and main window (%s)\n",
                         qPrintable(program.path), first.trayMs < 0 ? "missing" : "shown",
                         first.windowMs < 0 ? "missing" : "shown");
            return 1;
        }
    }
    for (int run = 0; run < runs; ++run) {
        // Alternating, so that neither always runs right after the other.
        for (int i = 0; i < programs.size(); ++i) {
            const Program &program = programs.at((run + i) % programs.size());
            startups[program.name].append(startOnce(program, watch));
        }
    }
    const QList<Rest> rest = measureRest(programs, watch, idleSeconds, restSeconds);

    print(QStringLiteral(
        "\nstart-up, process start to tray icon embedded and main window mapped (median, ms)"));
    print(QStringLiteral("  %1 %2 %3 %4")
              .arg(QString(), -12)
              .arg(QStringLiteral("tray"), 8)
              .arg(QStringLiteral("window"), 8)
              .arg(QStringLiteral("both"), 8));
    QHash<QString, double> both;
    for (const Program &program : programs) {
        QList<double> tray, window, all;
        for (const Startup &s : startups.value(program.name)) {
            tray.append(s.trayMs);
            window.append(s.windowMs);
            all.append(s.trayMs < 0 || s.windowMs < 0 ? -1 : s.bothMs());
        }
        both.insert(program.name, median(all));
        print(QStringLiteral("  %1 %2 %3 %4")
                  .arg(program.name, -12)
                  .arg(median(tray), 8, 'f', 1)
                  .arg(median(window), 8, 'f', 1)
                  .arg(median(all), 8, 'f', 1));
    }
    const double minimalStart = both.value(programs.first().name);
    const double lumoraStart = both.value(programs.last().name);
    print(QStringLiteral("  lumora / minimal: %1 (target <= %2)")
              .arg(minimalStart > 0 ? lumoraStart / minimalStart : 0.0, 0, 'f', 2)
              .arg(kStartTargetRatio));

    print(QStringLiteral("\nat rest, side by side: memory after %1 s idle (MB), then CPU over %2 s")
              .arg(idleSeconds)
              .arg(restSeconds));
    print(QStringLiteral("  %1 %2 %3 %4 %5 %6 %7")
              .arg(QString(), -12)
              .arg(QStringLiteral("RSS"), 8)
              .arg(QStringLiteral("PSS"), 8)
              .arg(QStringLiteral("anon"), 8)
              .arg(QStringLiteral("file"), 8)
              .arg(QStringLiteral("CPU ms/min"), 11)
              .arg(QStringLiteral("wakeups/min"), 12));
    for (int i = 0; i < programs.size(); ++i) {
        const Memory &m = rest.at(i).memory;
        print(QStringLiteral("  %1 %2 %3 %4 %5 %6 %7")
                  .arg(programs.at(i).name, -12)
                  .arg(m.rssMb, 8, 'f', 1)
                  .arg(m.pssMb, 8, 'f', 1)
                  .arg(m.anonymousMb, 8, 'f', 1)
                  .arg(m.fileMb, 8, 'f', 1)
                  .arg(rest.at(i).cpuMsPerMinute, 11, 'f', 1)
                  .arg(rest.at(i).wakeupsPerMinute, 12, 'f', 0));
    }
    const Rest &lumora = rest.last();
    const auto verdict = [](bool met) { return met ? QStringLiteral("met") : QStringLiteral("NOT met"); };
    print(
        QStringLiteral("  lumora targets: RSS <= %1 MB (%2), CPU <= %3 ms/min (%4), wake-ups <= %5/min (%6)")
            .arg(kRssTargetMb)
            .arg(verdict(lumora.memory.rssMb <= kRssTargetMb))
            .arg(kRestCpuTargetMs)
            .arg(verdict(lumora.cpuMsPerMinute <= kRestCpuTargetMs))
            .arg(kRestWakeupTarget)
            .arg(verdict(lumora.wakeupsPerMinute <= kRestWakeupTarget)));
    print(QStringLiteral("  store on disk %1 MB")
              .arg(double(store.sizeOnDisk()) / (1024.0 * 1024.0), 0, 'f', 2));
    return 0;
}
