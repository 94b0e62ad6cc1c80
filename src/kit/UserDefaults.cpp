// SPDX-License-Identifier: MIT
#include "UserDefaults.h"

#include <QDir>

namespace UserDefaults {

QString filePath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/Lumora/Lumora.conf");
}

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(filePath(), QSettings::IniFormat);
}

} // namespace UserDefaults
