// SPDX-License-Identifier: MIT
#include "RunningApplication.h"

RunningApplication::RunningApplication(QString identity, std::optional<QString> appId,
                                       std::optional<qint32> processIdentifier, QString localizedName,
                                       QStringList names)
    : m_identity(std::move(identity)), m_appId(std::move(appId)), m_processIdentifier(processIdentifier),
      m_localizedName(std::move(localizedName)), m_names(std::move(names))
{
    if (m_appId && !m_appId->isEmpty() && !m_names.contains(*m_appId))
        m_names.prepend(*m_appId);
}
