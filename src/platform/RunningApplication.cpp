#include "RunningApplication.h"

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
