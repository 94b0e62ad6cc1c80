// SPDX-License-Identifier: MIT
#include "HomePath.h"

#include <QDir>

namespace HomePath {

QString abbreviate(const QString &path)
{
    const QString home = QDir::homePath();
    if (home.isEmpty() || home == u'/')
        return path;
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + u'/'))
        return u'~' + path.mid(home.size());
    return path;
}

QString expand(const QString &typed)
{
    return typed.startsWith(QLatin1String("~/")) ? QDir::homePath() + typed.mid(1) : typed;
}

} // namespace HomePath
