// SPDX-License-Identifier: MIT
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
//    by side in the same minute, with the cost of one wake-up; beside them
//    tick_floor, which only wakes once a second, shows what a wake-up costs
//    on this machine whatever the program.
//  - the same program launched on Wayland (a headless sway with a stand-in
//    tray watcher, so that the tray item is there and the comparison holds):
//    start-up to the tray item registered and the main window mapped, and
//    RSS/PSS after the same idle time, side by side with the X11 launch.
//    The X11 run starts the Wayland one itself, as
//    `wayland-session.sh bench_shell --wayland runs idle`, when
//    LUMORA_WAYLAND_SESSION names that script (the run_bench_shell target
//    sets it).
// Needs a desktop: run it under tests/e2e/desktop-session.sh (the
// run_bench_shell target does). Never fails on a time.
//   bench_shell [runs, default 5] [idle seconds, default 10] [rest seconds, default 60]
//   bench_shell --wayland [runs] [idle seconds]   (under wayland-session.sh)
#include "DesktopProbe.h"
#include "DesktopStandIns.h"
#include "LumoraProcess.h"
#include "ScratchStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
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
    // What one wake-up cost on average, in microseconds.
    double usPerWakeup() const { return wakeupsPerMinute > 0 ? cpuMsPerMinute * 1000 / wakeupsPerMinute : 0; }
};

Rest restOf(const SchedStat &spent, double minutes)
{
    Rest out;
    out.cpuMsPerMinute = spent.cpuMs / minutes;
    out.wakeupsPerMinute = double(spent.runs) / minutes;
    return out;
}

// Where tick_floor runs beside the programs at rest, and what it cost.
struct Floor
{
    QProcess process;
    Rest rest;
};

// Starts every program, lets them settle, reads their memory, then their
// scheduler statistics at the start and the end of the same rest period;
// tick_floor is measured over the same period.
QList<Rest> measureRest(const QList<Program> &programs, ReadyWatch &watch, int idleSeconds, int restSeconds,
                        Floor &floor)
{
    QList<Rest> out(programs.size());
    floor.process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tick_floor"),
                        QStringList());
    floor.process.waitForStarted(kReadyTimeoutMs);
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
    const QHash<QString, SchedStat> floorBefore = schedStats(floor.process.processId());
    QElapsedTimer rest;
    rest.start();
    std::this_thread::sleep_for(std::chrono::seconds(restSeconds));
    const double minutes = double(rest.elapsed()) / 60000.0;
    for (int i = 0; i < programs.size(); ++i) {
        const Rest spent = restOf(between(before[i], schedStats(processes[i]->processId())), minutes);
        out[i].cpuMsPerMinute = spent.cpuMsPerMinute;
        out[i].wakeupsPerMinute = spent.wakeupsPerMinute;
    }
    if (floor.process.state() == QProcess::Running)
        floor.rest = restOf(between(floorBefore, schedStats(floor.process.processId())), minutes);
    for (auto &process : processes)
        stop(*process);
    stop(floor.process);
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

// The medians of several start-ups: the tray, the window, and both (the
// later of the two, from the runs that saw both).
struct StartupMedians
{
    double trayMs = -1;
    double windowMs = -1;
    double bothMs = -1;
};

StartupMedians medians(const QList<Startup> &runs)
{
    QList<double> tray, window, both;
    for (const Startup &s : runs) {
        tray.append(s.trayMs);
        window.append(s.windowMs);
        both.append(s.trayMs < 0 || s.windowMs < 0 ? -1 : s.bothMs());
    }
    return {median(tray), median(window), median(both)};
}

// One line of a table: the label left-aligned, then each cell right-aligned
// in its column.
struct Cell
{
    QString text;
    int width = 8;
};

Cell cell(double value, int width = 8, int decimals = 1)
{
    return {QString::number(value, 'f', decimals), width};
}

void printRow(const QString &label, int labelWidth, const QList<Cell> &cells)
{
    QString line = QStringLiteral("  ") + label.leftJustified(labelWidth);
    for (const Cell &c : cells)
        line += QLatin1Char(' ') + c.text.rightJustified(c.width);
    print(line);
}

// One row of the X11/Wayland table.
void printLaunch(const QString &label, const StartupMedians &startup, const Memory &memory)
{
    printRow(label, 20,
             {cell(startup.trayMs), cell(startup.windowMs), cell(startup.bothMs), cell(memory.rssMb),
              cell(memory.pssMb)});
}

// Start-up on Wayland: the item registered with the stand-in watcher, and a
// window of the process mapped, as sway's window events report it.
class WaylandReadyWatch
{
public:
    WaylandReadyWatch()
    {
        m_events.setProcessChannelMode(QProcess::SeparateChannels);
        m_events.start(QStringLiteral("swaymsg"),
                       {QStringLiteral("-m"), QStringLiteral("-r"), QStringLiteral("-t"),
                        QStringLiteral("subscribe"), QStringLiteral("[\"window\"]")});
    }
    ~WaylandReadyWatch()
    {
        m_events.kill();
        m_events.waitForFinished(5000);
    }
    bool isReady() { return m_watcher.start() && m_events.waitForStarted(5000); }

    Startup wait(qint64 pid, const QElapsedTimer &since)
    {
        Startup out;
        while (since.elapsed() < kReadyTimeoutMs && (out.trayMs < 0 || out.windowMs < 0)) {
            QCoreApplication::processEvents();
            if (out.trayMs < 0) {
                for (const QString &item : m_watcher.registeredItems())
                    if (!m_seenItems.contains(item) && m_watcher.pidOf(item) == uint(pid)) {
                        out.trayMs = double(since.nsecsElapsed()) / 1e6;
                        m_seenItems.append(item);
                    }
            }
            m_events.waitForReadyRead(kPollMs);
            while (m_events.canReadLine()) {
                const QJsonObject event = QJsonDocument::fromJson(m_events.readLine()).object();
                const QJsonObject container = event.value(QLatin1String("container")).toObject();
                if (out.windowMs < 0 &&
                    event.value(QLatin1String("change")).toString() == QLatin1String("new") &&
                    container.value(QLatin1String("pid")).toInteger() == pid)
                    out.windowMs = double(since.nsecsElapsed()) / 1e6;
            }
        }
        return out;
    }

private:
    StandInTrayWatcher m_watcher;
    QProcess m_events;
    QStringList m_seenItems;
};

struct WaylandFigures
{
    StartupMedians startup;
    Memory memory;
};

// Each program started `runs` times (after one uncounted start), then all
// side by side for `idleSeconds` before their memory is read.
QList<WaylandFigures> measureWayland(const QList<Program> &programs, int runs, int idleSeconds)
{
    WaylandReadyWatch watch;
    QList<WaylandFigures> out(programs.size());
    if (!watch.isReady())
        return out;
    const auto startOnceHere = [&watch](const Program &program) {
        QProcess process;
        QElapsedTimer since;
        since.start();
        launch(process, program);
        const Startup startup = watch.wait(process.processId(), since);
        stop(process);
        std::this_thread::sleep_for(std::chrono::milliseconds(kBetweenRunsMs));
        return startup;
    };
    QList<QList<Startup>> startups(programs.size());
    for (const Program &program : programs)
        startOnceHere(program);
    for (int run = 0; run < runs; ++run)
        for (int i = 0; i < programs.size(); ++i) {
            const int at = (run + i) % programs.size();
            startups[at].append(startOnceHere(programs.at(at)));
        }
    for (int i = 0; i < programs.size(); ++i)
        out[i].startup = medians(startups.at(i));
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const Program &program : programs) {
        processes.push_back(std::make_unique<QProcess>());
        QElapsedTimer since;
        since.start();
        launch(*processes.back(), program);
        watch.wait(processes.back()->processId(), since);
    }
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    for (int i = 0; i < programs.size(); ++i)
        out[i].memory = memoryOf(processes[i]->processId());
    for (auto &process : processes)
        stop(*process);
    return out;
}

// The programs compared: a minimal Qt program with a window and a tray
// icon, and Lumora on a scratch store with the sample screens.
QList<Program> comparedPrograms(const LumoraProcess &lumoraOnStore, bool withTick)
{
    QList<Program> programs{{QStringLiteral("minimal Qt"),
                             QCoreApplication::applicationDirPath() + QStringLiteral("/minimal_tray"),
                             {},
                             QProcessEnvironment::systemEnvironment(),
                             QStringLiteral("LumoraBenchMinimal")}};
    // The same with a one-second timer that does nothing: what a tick costs here.
    if (withTick)
        programs.append({QStringLiteral("minimal+tick"),
                         QCoreApplication::applicationDirPath() + QStringLiteral("/minimal_tray"),
                         {QStringLiteral("--tick")},
                         QProcessEnvironment::systemEnvironment(),
                         QStringLiteral("LumoraBenchMinimal")});
    programs.append({QStringLiteral("lumora"),
                     LumoraProcess::program(),
                     {},
                     lumoraOnStore.environment(),
                     QLatin1String(LumoraProcess::kWindowClass)});
    return programs;
}

constexpr const char *kWaylandLine = "wayland-figures";

// The Wayland part, under wayland-session.sh: one line of figures per
// program for the X11 run that started it.
int runWayland(int runs, int idleSeconds)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("SWAYSOCK")) {
        std::fprintf(stderr, "bench_shell: --wayland needs a sway session (wayland-session.sh)\n");
        return 1;
    }
    ScratchStore store;
    const LumoraProcess lumoraOnStore(store, true);
    const QList<Program> programs = comparedPrograms(lumoraOnStore, false);
    const QList<WaylandFigures> figures = measureWayland(programs, runs, idleSeconds);
    for (int i = 0; i < programs.size(); ++i) {
        const WaylandFigures &f = figures.at(i);
        print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                  .arg(QLatin1String(kWaylandLine), programs.at(i).name.split(QLatin1Char(' ')).first())
                  .arg(f.startup.trayMs, 0, 'f', 1)
                  .arg(f.startup.windowMs, 0, 'f', 1)
                  .arg(f.startup.bothMs, 0, 'f', 1)
                  .arg(f.memory.rssMb, 0, 'f', 1)
                  .arg(f.memory.pssMb, 0, 'f', 1));
    }
    return 0;
}

// Runs the Wayland part in a desktop of its own and reads its figures,
// by the first word of the program's name.
QHash<QString, WaylandFigures> waylandFigures(int runs, int idleSeconds)
{
    QHash<QString, WaylandFigures> out;
    const QString session = qEnvironmentVariable("LUMORA_WAYLAND_SESSION");
    if (session.isEmpty())
        return out;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(session, {QCoreApplication::applicationFilePath(), QStringLiteral("--wayland"),
                          QString::number(runs), QString::number(idleSeconds)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_shell: the Wayland run failed (%d)\n", child.exitCode());
        return out;
    }
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() != 7 || fields.first() != kWaylandLine)
            continue;
        WaylandFigures figures;
        figures.startup = {fields.at(2).toDouble(), fields.at(3).toDouble(), fields.at(4).toDouble()};
        figures.memory.rssMb = fields.at(5).toDouble();
        figures.memory.pssMb = fields.at(6).toDouble();
        out.insert(QString::fromUtf8(fields.at(1)), figures);
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() > 1 && args.at(1) == QLatin1String("--wayland")) {
        args.removeAt(1);
        return runWayland(args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5,
                          args.size() > 2 ? std::max(1, args.at(2).toInt()) : 10);
    }
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
    const QList<Program> programs = comparedPrograms(lumoraOnStore, true);

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
    Floor floor;
    const QList<Rest> rest = measureRest(programs, watch, idleSeconds, restSeconds, floor);

    print(QStringLiteral(
        "\nstart-up, process start to tray icon embedded and main window mapped (median, ms)"));
    printRow(QString(), 12, {{QStringLiteral("tray")}, {QStringLiteral("window")}, {QStringLiteral("both")}});
    QHash<QString, double> both;
    for (const Program &program : programs) {
        const StartupMedians m = medians(startups.value(program.name));
        both.insert(program.name, m.bothMs);
        printRow(program.name, 12, {cell(m.trayMs), cell(m.windowMs), cell(m.bothMs)});
    }
    const double minimalStart = both.value(programs.first().name);
    const double lumoraStart = both.value(programs.last().name);
    // Each run of Lumora against the run of the minimal program made in the
    // same round, so that the machine getting slower or faster for a while
    // counts for both.
    const QList<Startup> &lumoraRuns = startups[programs.last().name];
    const QList<Startup> &minimalRuns = startups[programs.first().name];
    QList<double> ratios;
    for (qsizetype i = 0; i < std::min(lumoraRuns.size(), minimalRuns.size()); ++i)
        if (lumoraRuns.at(i).bothMs() > 0 && minimalRuns.at(i).bothMs() > 0)
            ratios.append(lumoraRuns.at(i).bothMs() / minimalRuns.at(i).bothMs());
    print(QStringLiteral("  lumora / minimal: %1 of the medians, %2 the median of the rounds (target <= %3)")
              .arg(minimalStart > 0 ? lumoraStart / minimalStart : 0.0, 0, 'f', 2)
              .arg(median(ratios), 0, 'f', 2)
              .arg(kStartTargetRatio));

    print(QStringLiteral("\nat rest, side by side: memory after %1 s idle (MB), then CPU over %2 s")
              .arg(idleSeconds)
              .arg(restSeconds));
    const auto cpuCells = [](const Rest &r) {
        return QList<Cell>{cell(r.cpuMsPerMinute, 11), cell(r.wakeupsPerMinute, 12, 0),
                           cell(r.usPerWakeup(), 10, 0)};
    };
    printRow(QString(), 12,
             {{QStringLiteral("RSS")},
              {QStringLiteral("PSS")},
              {QStringLiteral("anon")},
              {QStringLiteral("file")},
              {QStringLiteral("CPU ms/min"), 11},
              {QStringLiteral("wakeups/min"), 12},
              {QStringLiteral("us/wakeup"), 10}});
    for (int i = 0; i < programs.size(); ++i) {
        const Memory &m = rest.at(i).memory;
        printRow(programs.at(i).name, 12,
                 QList<Cell>{cell(m.rssMb), cell(m.pssMb), cell(m.anonymousMb), cell(m.fileMb)} +
                     cpuCells(rest.at(i)));
    }
    // For scale: what this machine charges for a wake-up at all (no memory
    // columns: the label spans them).
    if (floor.rest.wakeupsPerMinute > 0)
        printRow(QStringLiteral("tick floor (C, no Qt, once a second)"), 12 + 4 * 9, cpuCells(floor.rest));
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

    const QHash<QString, WaylandFigures> wayland = waylandFigures(runs, idleSeconds);
    if (wayland.isEmpty())
        return 0;
    print(QStringLiteral(
              "\nX11 and Wayland launches side by side: start-up to tray item and main window (median "
              "ms), memory after %1 s idle (MB)")
              .arg(idleSeconds));
    printRow(QString(), 20,
             {{QStringLiteral("tray")},
              {QStringLiteral("window")},
              {QStringLiteral("both")},
              {QStringLiteral("RSS")},
              {QStringLiteral("PSS")}});
    for (int i = 0; i < programs.size(); ++i) {
        const QString &name = programs.at(i).name;
        const auto onWayland = wayland.constFind(name.split(QLatin1Char(' ')).first());
        if (onWayland == wayland.constEnd() || name.contains(QLatin1Char('+')))
            continue;
        printLaunch(name + QStringLiteral(", X11"), medians(startups.value(name)), rest.at(i).memory);
        printLaunch(name + QStringLiteral(", Wayland"), onWayland->startup, onWayland->memory);
    }
    return 0;
}
