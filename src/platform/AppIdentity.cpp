// SPDX-License-Identifier: MIT
#include "AppIdentity.h"

#include "RunningApplication.h"

#include <algorithm>

namespace AppIdentity {

QString normalized(QStringView name)
{
    static const QLatin1String suffix(".desktop");
    QStringView bare = name.trimmed();
    if (bare.endsWith(suffix, Qt::CaseInsensitive))
        bare.chop(suffix.size());
    return bare.trimmed().toString().toCaseFolded();
}

QSet<QString> normalizedSet(const QStringList &names)
{
    QSet<QString> out;
    for (const QString &name : names) {
        QString n = normalized(name);
        if (!n.isEmpty())
            out.insert(std::move(n));
    }
    return out;
}

bool matchesAny(const QStringList &names, const QSet<QString> &normalizedNames)
{
    if (normalizedNames.isEmpty())
        return false;
    return std::any_of(names.cbegin(), names.cend(), [&](const QString &name) {
        const QString n = normalized(name);
        return !n.isEmpty() && normalizedNames.contains(n);
    });
}

bool matchesAny(const RunningApplication &app, const QSet<QString> &normalizedNames)
{
    return matchesAny(app.names(), normalizedNames);
}

bool names(const QString &entry, const RunningApplication &app)
{
    return matchesAny(app, normalizedSet({entry}));
}

} // namespace AppIdentity
