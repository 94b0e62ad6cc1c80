// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// A client of the test's Wayland desktop (foot, gtk3-demo, the tests' plain
// Qt window), killed with the test. Its output goes nowhere, its errors to
// the test's.
class WaylandClient
{
public:
    WaylandClient(const QString &program, const QStringList &arguments)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
        m_process.setProcessEnvironment(environment);
        m_process.start(program, arguments);
    }
    // The tests' plain Qt window (waylandwindow.cpp) with this application
    // id; options: --fullscreen.
    static QStringList appWindow(const QString &appId, const QStringList &options = {})
    {
        return QStringList{qEnvironmentVariable("LUMORA_WAYLAND_WINDOW"), appId} + options;
    }
    explicit WaylandClient(const QStringList &command) : WaylandClient(command.value(0), command.mid(1)) {}
    ~WaylandClient()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    WaylandClient(const WaylandClient &) = delete;
    WaylandClient &operator=(const WaylandClient &) = delete;

private:
    QProcess m_process;
};
