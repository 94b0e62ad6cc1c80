// SPDX-License-Identifier: MIT
#include "ProgramNames.h"

#include <climits>
#include <unistd.h>

// X11 last: their macros (None, Bool, Status, ...) must not reach Qt's.
#include "X11WindowInspector.h"

#include <X11/Xatom.h>

X11WindowInspector::X11WindowInspector(const X11Connection &connection)
    : m_connection(connection), m_ownPid(static_cast<qint32>(::getpid()))
{
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) == 0)
        m_hostName = QString::fromLocal8Bit(host);
}

std::optional<X11WindowInfo> X11WindowInspector::inspect(Window window) const
{
    if (isDockOrDesktop(window))
        return std::nullopt;
    X11WindowInfo info;
    info.pid = queryPid(window);
    const auto [instanceName, className] = classHint(window);
    info.className = className;
    info.names = statedDesktopIds(window);
    if (!info.names.isEmpty())
        info.appId = info.names.first();
    else if (!info.className.isEmpty())
        info.appId = info.className;
    info.names = namesOf(info, instanceName);
    info.appKey = appKeyOf(window, info);
    info.iconic = m_connection.readIconic(window);
    return info;
}

bool X11WindowInspector::isDockOrDesktop(Window window) const
{
    const X11Atoms &atoms = m_connection.atoms();
    const auto types = m_connection.readLongs(window, atoms.windowType, XA_ATOM);
    return types && (types->contains(atoms.windowTypeDock) || types->contains(atoms.windowTypeDesktop));
}

std::optional<qint32> X11WindowInspector::queryPid(Window window) const
{
    if (!m_connection.usable())
        return std::nullopt;
    if (const auto pid = pidFromServer(window))
        return pid;
    return pidFromClient(window);
}

// The server knows the process of a local client for certain.
std::optional<qint32> X11WindowInspector::pidFromServer(Window window) const
{
    if (!m_connection.hasXRes())
        return std::nullopt;
    std::optional<qint32> pid;
    for (XResClientIdValue &value : X11ClientIds(m_connection.display(), {window, XRES_CLIENT_ID_PID_MASK})) {
        if (XResGetClientIdType(&value) != XRES_CLIENT_ID_PID)
            continue;
        const pid_t found = XResGetClientPid(&value);
        if (found > 0)
            pid = static_cast<qint32>(found);
    }
    return pid;
}

// What the client says, believed only for a client on this machine.
std::optional<qint32> X11WindowInspector::pidFromClient(Window window) const
{
    const X11Atoms &atoms = m_connection.atoms();
    const auto machine = m_connection.readBytes(window, atoms.clientMachine);
    if (!machine || QString::fromLocal8Bit(*machine).remove(QChar(0)) != m_hostName)
        return std::nullopt;
    const auto values = m_connection.readLongs(window, atoms.wmPid, XA_CARDINAL);
    if (!values || values->isEmpty() || values->first() == 0 || values->first() > INT_MAX)
        return std::nullopt;
    return static_cast<qint32>(values->first());
}

QString X11WindowInspector::classOf(Window window) const
{
    return classHint(window).second;
}

std::pair<QString, QString> X11WindowInspector::classHint(Window window) const
{
    if (!m_connection.usable())
        return {};
    const X11ClassHint hint(m_connection.display(), window);
    return {hint.instanceName(), hint.className()};
}

QStringList X11WindowInspector::statedDesktopIds(Window window) const
{
    QStringList out;
    const X11Atoms &atoms = m_connection.atoms();
    for (const Atom property : {atoms.gtkApplicationId, atoms.kdeDesktopFile}) {
        const auto id = m_connection.readBytes(window, property);
        if (!id)
            continue;
        auto text = QString::fromUtf8(*id).remove(QChar(0)).trimmed();
        if (text.endsWith(QLatin1String(".desktop")))
            text.chop(8);
        if (!text.isEmpty())
            out << text;
    }
    return out;
}

// The stated ids, the class and instance names and the program's names, led
// by the ids of the desktop entries that describe the application.
QStringList X11WindowInspector::namesOf(const X11WindowInfo &info, const QString &instanceName) const
{
    return ProgramNames::applicationNames(info.names, {info.className, instanceName}, info.pid, m_ownPid);
}

QString X11WindowInspector::appKeyOf(Window window, const X11WindowInfo &info) const
{
    if (info.pid)
        return QStringLiteral("pid:%1").arg(*info.pid);
    const auto leader = m_connection.readLongs(window, m_connection.atoms().clientLeader, XA_WINDOW);
    if (leader && !leader->isEmpty() && leader->first() != 0)
        return QStringLiteral("leader:0x%1").arg(leader->first(), 0, 16);
    if (!info.className.isEmpty())
        return QStringLiteral("class:") + info.className;
    return QStringLiteral("window:0x%1").arg(window, 0, 16);
}
