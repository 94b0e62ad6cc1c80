// SPDX-License-Identifier: MIT
#include "ItemTitle.h"

#include <QCoreApplication>
#include <QStringList>

namespace ItemTitle {

namespace {
bool isWhiteSpace(char32_t c)
{
    // Unicode White_Space property. QChar::isSpace() misses U+0085 on some
    // versions and includes nothing extra, so the list is spelled out.
    switch (c) {
    case 0x0009:
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0020:
    case 0x0085:
    case 0x00A0:
    case 0x1680:
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
    case 0x2004:
    case 0x2005:
    case 0x2006:
    case 0x2007:
    case 0x2008:
    case 0x2009:
    case 0x200A:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return false;
    }
}
} // namespace

QString clean(QStringView s)
{
    QString out;
    out.reserve(s.size());
    QString word;
    const auto flush = [&] {
        if (word.isEmpty())
            return;
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += word;
        word.clear();
    };
    for (char32_t c : s.toUcs4()) {
        if (isWhiteSpace(c))
            flush();
        else
            word += QString::fromUcs4(&c, 1);
    }
    flush();
    return out.isEmpty() ? QCoreApplication::translate("ItemTitle", "New Item") : out;
}

} // namespace ItemTitle
