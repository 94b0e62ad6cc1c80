// SPDX-License-Identifier: MIT
#include "TerminalText.h"

#include <cstdio>

namespace {

// Marks that change the direction of the text after them.
bool isBidiControl(char16_t u)
{
    return u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) ||
           (u >= 0x2066 && u <= 0x2069);
}

void print(const QString &line, std::FILE *stream)
{
    std::fputs((TerminalText::escaped(line) + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

namespace TerminalText {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\') {
            out += QLatin1String("\\\\");
        } else if (u < 0x20 || u == 0x7f) {
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        } else if ((u >= 0x80 && u < 0xa0) || u == 0x2028 || u == 0x2029 || isBidiControl(u)) {
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

void printError(const QString &line)
{
    print(line, stderr);
}

void printLine(const QString &line)
{
    print(line, stdout);
}

} // namespace TerminalText
