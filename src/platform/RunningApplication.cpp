#include "RunningApplication.h"

RunningApplication::RunningApplication(QString identity, std::optional<QString> bundleIdentifier,
                                       std::optional<qint32> processIdentifier, QString localizedName)
    : m_identity(std::move(identity)), m_bundleIdentifier(std::move(bundleIdentifier)),
      m_processIdentifier(processIdentifier), m_localizedName(std::move(localizedName))
{}
