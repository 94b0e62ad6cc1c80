// SPDX-License-Identifier: MIT
#include "DisplayText.h"

namespace DisplayText {

QString capped(const QString &text, qsizetype maxChars)
{
    if (text.size() <= maxChars)
        return text;
    qsizetype cut = std::max<qsizetype>(0, maxChars - 1);
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

QString markupEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString asRichText(const QString &text)
{
    QString escaped = capped(text).toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    // "qt" marks the text as markup for every reader that guesses.
    return QLatin1String("<qt>") + escaped + QLatin1String("</qt>");
}

QString withoutMnemonics(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace DisplayText
