// SPDX-License-Identifier: MIT
// libFuzzer target for gradient descriptions: any bytes give the fallback or a
// linear / radial gradient of two or more opaque colours at even stops, and
// painting the result never fails.
#include "OverlayBackground.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QString &input)
{
    const OverlayBackground bg = parseGradient(input);
    if (bg.isFallback()) {
        if (bg.color() != QColor::fromRgbF(0, 0, 0, 0.9f))
            std::abort();
    } else {
        using Style = OverlayBackground::Style;
        if (bg.style() != Style::linearGradient && bg.style() != Style::radialGradient)
            std::abort();
        const auto &stops = bg.stops();
        if (stops.size() < 2 || stops.first().first != 0.0 || stops.last().first != 1.0)
            std::abort();
        for (qsizetype i = 0; i < stops.size(); ++i) {
            if (!stops[i].second.isValid() || stops[i].second.alphaF() != 1.0f)
                std::abort();
            if (i > 0 && !(stops[i].first > stops[i - 1].first))
                std::abort();
        }
        const QString type = input.split(QLatin1Char(','), Qt::SkipEmptyParts).value(0);
        if (type != QLatin1String(bg.style() == Style::linearGradient ? "linear" : "radial"))
            std::abort();
    }
    static QImage canvas(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&canvas);
    bg.paint(p, QRectF(0, 0, 8, 8));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
