// Prints how fast Lumora starts and how much memory it holds, side by side
// with a minimal Qt 6 Widgets program that shows one window and one tray icon
// (minimal_tray):
//  - start-up: from starting the process to its icon embedded in the tray
//    host and its main window mapped (the median of several runs, the first
//    run of each program made beforehand and not counted, so both read their
//    files from the page cache);
//  - resident memory (RSS, PSS, and RSS split into anonymous memory and
//    mapped files) after 10 s idle, and the store's size.
// Needs a desktop: run it under tests/e2e/desktop-session.sh (the
// run_bench_shell target does). Never fails on a time.
//   bench_shell [runs, default 5] [idle seconds, default 10]
#include "DesktopProbe.h"
#include "LumoraProcess.h"
#include "ScratchStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kPollMs = 1;
constexpr int kReadyTimeoutMs = 15000;
constexpr int kBetweenRunsMs = 500;
constexpr double kStartTargetRatio = 1.5;
constexpr double kMemoryTargetRatio = 1.3;

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

Startup startOnce(const Program &program, ReadyWatch &watch, std::optional<Memory> *memory, int idleSeconds)
{
    QProcess process;
    process.setProcessEnvironment(program.environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer since;
    since.start();
    process.start(program.path, program.arguments);
    const Startup startup = watch.wait(program.wmClass, since);
    if (memory && startup.trayMs >= 0 && startup.windowMs >= 0) {
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        const qint64 pid = process.processId();
        const QString status = QStringLiteral("/proc/%1/status").arg(pid);
        *memory = Memory{procFieldMb(status, "VmRSS"),
                         procFieldMb(QStringLiteral("/proc/%1/smaps_rollup").arg(pid), "Pss"),
                         procFieldMb(status, "RssAnon"), procFieldMb(status, "RssFile")};
    }
    stop(process);
    std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenRunsMs));
    return startup;
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
        {QStringLiteral("lumora"),
         LumoraProcess::program(),
         {},
         lumoraOnStore.environment(),
         QLatin1String(LumoraProcess::kWindowClass)},
    };

    print(QStringLiteral("bench_shell: %1 runs per program, %2 s idle before the memory reading")
              .arg(runs)
              .arg(idleSeconds));
    QHash<QString, QList<Startup>> startups;
    for (const Program &program : programs) {
        const Startup first = startOnce(program, watch, nullptr, idleSeconds);
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
            startups[program.name].append(startOnce(program, watch, nullptr, idleSeconds));
        }
    }
    QHash<QString, Memory> memory;
    for (const Program &program : programs) {
        std::optional<Memory> reading;
        startOnce(program, watch, &reading, idleSeconds);
        memory.insert(program.name, reading.value_or(Memory{}));
    }

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

    print(QStringLiteral("\nresident memory after %1 s idle (MB)").arg(idleSeconds));
    print(QStringLiteral("  %1 %2 %3 %4 %5")
              .arg(QString(), -12)
              .arg(QStringLiteral("RSS"), 8)
              .arg(QStringLiteral("PSS"), 8)
              .arg(QStringLiteral("anon"), 8)
              .arg(QStringLiteral("file"), 8));
    for (const Program &program : programs) {
        const Memory m = memory.value(program.name);
        print(QStringLiteral("  %1 %2 %3 %4 %5")
                  .arg(program.name, -12)
                  .arg(m.rssMb, 8, 'f', 1)
                  .arg(m.pssMb, 8, 'f', 1)
                  .arg(m.anonymousMb, 8, 'f', 1)
                  .arg(m.fileMb, 8, 'f', 1));
    }
    const double storeMb = double(store.sizeOnDisk()) / (1024.0 * 1024.0);
    const double minimalRss = memory.value(programs.first().name).rssMb;
    const double lumoraRss = memory.value(programs.last().name).rssMb;
    const double budget = kMemoryTargetRatio * minimalRss + storeMb;
    print(QStringLiteral("  store on disk %1 MB; budget %2 x minimal + store = %3 MB; lumora uses %4 of it")
              .arg(storeMb, 0, 'f', 2)
              .arg(kMemoryTargetRatio)
              .arg(budget, 0, 'f', 1)
              .arg(budget > 0 ? lumoraRss / budget : 0.0, 0, 'f', 2));
    return 0;
}
