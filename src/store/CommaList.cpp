// SPDX-License-Identifier: MIT
#include "CommaList.h"

QString commaListText(const QStringList &list)
{
    return list.join(QStringLiteral(", "));
}

QStringList parseCommaList(QStringView text)
{
    QStringList out;
    for (QStringView piece : text.split(u',', Qt::SkipEmptyParts)) {
        qsizetype begin = 0;
        qsizetype end = piece.size();
        const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
        while (begin < end && blank(piece[begin]))
            ++begin;
        while (end > begin && blank(piece[end - 1]))
            --end;
        if (end > begin)
            out.append(piece.mid(begin, end - begin).toString());
    }
    return out;
}
