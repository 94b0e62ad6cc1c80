#include "ProgramNames.h"

#include "DesktopEntries.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace ProgramNames
