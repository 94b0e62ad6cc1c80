// SPDX-License-Identifier: MIT
#include "LoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

XdgAutostartLoginItem::XdgAutostartLoginItem(QString program) : m_program(std::move(program)) {}

QString XdgAutostartLoginItem::autostartFilePath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/autostart/lumora.desktop");
}

QString XdgAutostartLoginItem::entryText() const
{
    // Exec quoting per the desktop entry rules: the path goes in double
    // quotes with ", `, $ and \ escaped.
    QString quoted = m_program;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\\\\\"));
    for (const char *c : {"\"", "`", "$"})
        quoted.replace(QLatin1String(c), QStringLiteral("\\\\") + QLatin1String(c));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Lumora\n"
                          "Comment=Focus timer\n"
                          "Exec=\"%1\" %2\n"
                          "Icon=lumora\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoted, QLatin1String(kLoginArgument));
}

bool XdgAutostartLoginItem::registerItem(QString *error)
{
    const QString path = autostartFilePath();
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(QFileInfo(path).path());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(entryText().toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool XdgAutostartLoginItem::unregisterItem(QString *error)
{
    QFile file(autostartFilePath());
    if (!file.exists())
        return true;
    if (!file.remove()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool XdgAutostartLoginItem::isRegistered() const
{
    return QFileInfo::exists(autostartFilePath());
}
