// SPDX-License-Identifier: MIT
#include "LumoraProcess.h"

#include "DesktopProbe.h"
#include "ScratchStore.h"

#include <QDir>

namespace {

// Less than the one second the rapid exit allows between presses.
constexpr int kEscDelayMs = 120;
constexpr int kStopMs = 5000;

quint64 shownWindowTitled(const DesktopProbe &probe, const QString &title)
{
    for (const auto window : probe.findWindowsByTitle(title))
        if (probe.isViewable(window))
            return window;
    return 0;
}

} // namespace

LumoraProcess::LumoraProcess(const ScratchStore &store, bool seed)
    : m_environment(QProcessEnvironment::systemEnvironment())
{
    m_environment.insert(QStringLiteral("APP_STORE"), store.path());
    if (seed)
        m_environment.insert(QStringLiteral("APP_SEED"), QStringLiteral("1"));
    else
        m_environment.remove(QStringLiteral("APP_SEED"));
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                         QDir(store.folder()).filePath(QStringLiteral("config")));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"),
                         QDir(store.folder()).filePath(QStringLiteral("data")));
    // The tests read the English texts, whatever the developer's language.
    m_environment.remove(QStringLiteral("LANGUAGE"));
    m_environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    m_process.setProcessEnvironment(m_environment);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
}

LumoraProcess::~LumoraProcess()
{
    stop();
}

QString LumoraProcess::program()
{
    const QString path = qEnvironmentVariable("LUMORA_BIN");
    return path.isEmpty() ? QStringLiteral("lumora") : path;
}

void LumoraProcess::setEnvironment(const QProcessEnvironment &environment)
{
    m_environment = environment;
    m_process.setProcessEnvironment(m_environment);
}

void LumoraProcess::useUserStore()
{
    m_environment.remove(QStringLiteral("APP_STORE"));
    m_process.setProcessEnvironment(m_environment);
}

void LumoraProcess::setStandardErrorFile(const QString &path)
{
    m_process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    m_process.setStandardErrorFile(path);
}

void LumoraProcess::setOutputFile(const QString &path)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(path);
}

bool LumoraProcess::start(const QStringList &arguments)
{
    m_process.start(program(), arguments);
    return m_process.waitForStarted();
}

bool LumoraProcess::waitUntilReady(const DesktopProbe &probe, int timeoutMs) const
{
    return waitFor([&] { return isRunning() && probe.findTrayIcon(QLatin1String(kWindowClass)) != 0; },
                   timeoutMs);
}

bool LumoraProcess::waitUntilIdle(int timeoutMs) const
{
    return waitFor([&] { return isRunning() && status() == QLatin1String("idle"); }, timeoutMs);
}

void LumoraProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(kStopMs))
        kill();
}

void LumoraProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(kStopMs);
}

LumoraProcess::Result LumoraProcess::run(const QStringList &arguments, int timeoutMs) const
{
    return run(m_environment, arguments, timeoutMs);
}

LumoraProcess::Result LumoraProcess::run(const QProcessEnvironment &environment, const QStringList &arguments,
                                         int timeoutMs)
{
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program(), arguments);
    Result result;
    result.finished = second.waitForFinished(timeoutMs) && second.exitStatus() == QProcess::NormalExit;
    if (!result.finished)
        second.kill();
    result.exitCode = second.exitCode();
    result.out = QString::fromLocal8Bit(second.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(second.readAllStandardError());
    return result;
}

QString LumoraProcess::status() const
{
    return run({QStringLiteral("--status")}).out.trimmed();
}

QString LumoraProcess::startScreen(const QString &screen) const
{
    const Result started = run({QStringLiteral("--start"), screen});
    if (!started.finished || started.exitCode != 0)
        return QStringLiteral("--start %1 failed: %2").arg(screen, started.err);
    return {};
}

QList<quint64> LumoraProcess::shownOverlays(const DesktopProbe &probe)
{
    QList<quint64> out;
    for (const auto window : probe.findWindowsByTitle(QLatin1String(kOverlayTitle)))
        if (probe.isViewable(window))
            out.append(window);
    return out;
}

QString LumoraProcess::openExitConfirmation(DesktopProbe &probe)
{
    const auto overlays = shownOverlays(probe);
    if (overlays.isEmpty())
        return QStringLiteral("no overlay on screen");
    if (!overlays.contains(probe.focusWindow())) {
        // The overlay is in no window list; the keyboard goes back to it
        // as a press on it would send it.
        xdotool({QStringLiteral("windowfocus"), QString::number(overlays.first())});
        if (!waitFor([&] { return overlays.contains(probe.focusWindow()); }, kSettleMs))
            return QStringLiteral("the overlay did not take the focus");
    }
    if (!xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QString::number(kEscDelayMs),
                  QStringLiteral("Escape"), QStringLiteral("Escape"), QStringLiteral("Escape")}))
        return QStringLiteral("xdotool failed");
    quint64 box = 0;
    if (!waitFor([&] { return (box = shownWindowTitled(probe, QLatin1String(kConfirmationTitle))) != 0; },
                 kSettleMs))
        return QStringLiteral("three presses of Esc showed no confirmation");
    if (!waitFor([&] { return probe.focusWindow() == box; }, kSettleMs))
        return QStringLiteral("the confirmation did not take the focus");
    return {};
}

QString LumoraProcess::answerExitConfirmation(DesktopProbe &probe, bool endSession)
{
    // Esc answers "Keep Focusing"; the one other button, "Cancel Focus
    // Session", is reached with Tab and pressed with the space bar (Return
    // would press the default, "Keep Focusing").
    const QStringList keys = endSession ? QStringList{QStringLiteral("Tab"), QStringLiteral("space")}
                                        : QStringList{QStringLiteral("Escape")};
    if (!xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100")} + keys))
        return QStringLiteral("xdotool failed");
    if (!waitFor([&] { return shownWindowTitled(probe, QLatin1String(kConfirmationTitle)) == 0; }, kSettleMs))
        return QStringLiteral("the confirmation stayed up");
    if (endSession && !waitFor([&] { return shownOverlays(probe).isEmpty(); }, kSettleMs))
        return QStringLiteral("the overlay stayed up after the session was cancelled");
    return {};
}

QString LumoraProcess::exitSessionEarly(DesktopProbe &probe)
{
    const QString error = openExitConfirmation(probe);
    return error.isEmpty() ? answerExitConfirmation(probe, true) : error;
}
