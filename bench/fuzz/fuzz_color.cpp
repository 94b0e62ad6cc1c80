// SPDX-License-Identifier: MIT
// libFuzzer target for the hex colour format: any bytes, as UTF-8 and as
// UTF-16, must give either no colour or an opaque, valid one, and only for
// 3, 6 or 8 characters left after trimming and removing "#".
#include "OverlayBackground.h"

#include <QTextBoundaryFinder>

#include <cstdint>
#include <cstdlib>

namespace {

qsizetype characters(const QString &s)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    qsizetype n = 0;
    while (finder.toNextBoundary() > 0)
        ++n;
    return n;
}

void check(const QString &input)
{
    const auto color = Color::fromHex(input);
    if (!color)
        return;
    if (!color->isValid() || color->alphaF() != 1.0f)
        std::abort();
    QString left = input.trimmed();
    left.remove(QLatin1Char('#'));
    const qsizetype n = characters(left);
    if (n != 3 && n != 6 && n != 8)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    check(QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2)));
    return 0;
}
