#include "RunningApplication.h"

#include <QCoreApplication>
#include <QGuiApplication>

RunningApplication::RunningApplication(QString identity, std::optional<QString> bundleIdentifier,
                                       std::optional<qint32> processIdentifier, QString localizedName,
                                       QStringList names)
    : m_identity(std::move(identity)), m_bundleIdentifier(std::move(bundleIdentifier)),
      m_processIdentifier(processIdentifier), m_localizedName(std::move(localizedName)),
      m_names(std::move(names))
{
    if (m_bundleIdentifier && !m_bundleIdentifier->isEmpty() && !m_names.contains(*m_bundleIdentifier))
        m_names.prepend(*m_bundleIdentifier);
}

RunningApplication RunningApplication::thisProgram()
{
    auto name = QGuiApplication::desktopFileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    return RunningApplication(QStringLiteral("pid:%1").arg(pid), name, pid, name,
                              {name, QCoreApplication::applicationName()});
}
