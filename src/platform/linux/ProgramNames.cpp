// SPDX-License-Identifier: MIT
#include "ProgramNames.h"

#include "DesktopEntries.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace ProgramNames {

QStringList of(qint32 pid)
{
    QStringList out;
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    const QString exe = QFileInfo(proc + QStringLiteral("exe")).symLinkTarget();
    if (!exe.isEmpty())
        out << QFileInfo(exe).fileName();
    QFile cmdline(proc + QStringLiteral("cmdline"));
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray first = cmdline.read(4096).split('\0').value(0);
        const QString argv0 = QFileInfo(QString::fromLocal8Bit(first)).fileName();
        if (!argv0.isEmpty() && !out.contains(argv0))
            out << argv0;
    }
    return out;
}

QStringList applicationNames(const QStringList &statedIds, const QStringList &windowNames,
                             std::optional<qint32> pid, qint32 ownPid)
{
    QStringList names = statedIds;
    for (const QString &name : windowNames)
        if (!name.isEmpty())
            names << name;
    if (pid && *pid != ownPid)
        names << of(*pid);
    QStringList entryIds;
    for (const DesktopEntry &entry : DesktopEntries::entriesFor(names))
        entryIds << entry.id;
    names = entryIds + names;
    names.removeDuplicates();
    return names;
}

RunningApplication thisProgram()
{
    auto name = QGuiApplication::desktopFileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    return RunningApplication(QStringLiteral("pid:%1").arg(pid), name, pid, name,
                              {name, QCoreApplication::applicationName()});
}

} // namespace ProgramNames
