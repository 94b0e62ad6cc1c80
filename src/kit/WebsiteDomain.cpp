// SPDX-License-Identifier: MIT
#include "WebsiteDomain.h"

#include <QSet>
#include <QUrl>

namespace WebsiteDomain {

namespace {

constexpr qsizetype kMaxLabel = 63;
constexpr qsizetype kMaxDomain = 253;

bool isLabel(QStringView label)
{
    if (label.isEmpty() || label.size() > kMaxLabel || label.front() == u'-' || label.back() == u'-')
        return false;
    for (QChar c : label) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-'))
            return false;
    }
    return true;
}

} // namespace

std::optional<QString> normalized(QStringView entry)
{
    QStringView host = entry.trimmed();
    // A scheme ("https://"), then everything after the host: path, query,
    // fragment; then a user ("user@") and a port (":8080").
    if (const qsizetype scheme = host.indexOf(u"://"); scheme >= 0)
        host = host.mid(scheme + 3);
    for (const QChar end : {u'/', u'?', u'#'}) {
        if (const qsizetype at = host.indexOf(end); at >= 0)
            host = host.left(at);
    }
    if (const qsizetype at = host.lastIndexOf(u'@'); at >= 0)
        host = host.mid(at + 1);
    if (const qsizetype colon = host.indexOf(u':'); colon >= 0) {
        const QStringView port = host.mid(colon + 1);
        bool number = false;
        [[maybe_unused]] const uint value = port.toUInt(&number);
        if (!number && !port.isEmpty())
            return std::nullopt;
        host = host.left(colon);
    }
    if (host.endsWith(u'.'))
        host.chop(1);

    QString lower = host.toString().toLower();
    for (const QLatin1String prefix : {QLatin1String("*."), QLatin1String("www.")}) {
        if (lower.startsWith(prefix) && lower.size() > prefix.size())
            lower.remove(0, prefix.size());
    }
    // International names in the form browsers compare (lower case ASCII).
    const QString domain = QString::fromLatin1(QUrl::toAce(lower));
    if (domain.isEmpty())
        return std::nullopt;
    if (domain.size() > kMaxDomain)
        return std::nullopt;
    for (QStringView label : QStringView(domain).split(u'.')) {
        if (!isLabel(label))
            return std::nullopt;
    }
    return domain;
}

QStringList domains(const QStringList &entries)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &entry : entries) {
        std::optional<QString> domain = normalized(entry);
        if (domain && !seen.contains(*domain)) {
            seen.insert(*domain);
            out.append(std::move(*domain));
        }
    }
    return out;
}

QStringList invalidEntries(const QStringList &entries)
{
    QStringList out;
    for (const QString &entry : entries) {
        if (!normalized(entry))
            out.append(entry.trimmed());
    }
    return out;
}

} // namespace WebsiteDomain
