// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"

#include <QColor>
#include <QGradientStops>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

class QPainter;

// The hex colour format of backgrounds ("#1A1A2E", "1a1a2e", "FFF",
// "1A1A2E80", "0x1A2B3C"): surrounding blanks and every "#" are removed, a
// hexadecimal number is scanned from the start (an optional 0x / 0X prefix,
// then as many hex digits as follow), and the number of characters left
// decides how it is read: 3 (one digit per channel), 6 or 8 (one byte per
// channel, the fourth byte ignored). Always opaque sRGB.
namespace Color {
std::optional<QColor> fromHex(const QString &hex);
} // namespace Color

// What the overlay draws under its content, decided once from the focus
// screen's background kind and value. Every bad value becomes the fallback,
// black at 0.9, without a word.
class OverlayBackground
{
public:
    enum class Style { color, linearGradient, radialGradient, image, screen };

    static constexpr qreal kFallbackOpacity = 0.9;
    static constexpr qreal kScreenDimOpacity = 0.85;
    static constexpr qreal kRadialEndRadius = 500.0;
    // Largest image the loader decodes (4 bytes a pixel: 128 MB, room for an
    // 8K picture), and the allocation limit it sets for the image readers.
    static constexpr qint64 kMaxDecodedPixels = 32LL * 1024 * 1024;
    static constexpr int kAllocationLimitMB = 128;

    // The fallback.
    OverlayBackground();

    static OverlayBackground fallback();
    static OverlayBackground solid(const QColor &color);
    static OverlayBackground gradient(Style style, const QList<QColor> &colors);
    // The image, already scaled and cropped to fill the area it is drawn in.
    static OverlayBackground picture(const QImage &image);
    // The screen as it was, blurred, under black at 0.85; just the black
    // when there was no grab.
    static OverlayBackground screen(const QImage &blurredGrab);

    // The background for a kind and value, images read at pixelSize (the
    // display's size in device pixels) and the system kind made from the
    // already blurred grab.
    static OverlayBackground make(OverlayBackgroundType type, const std::optional<QString> &value,
                                  const QSize &pixelSize, const QImage &blurredGrab = {});

    Style style() const { return m_style; }
    bool isFallback() const { return m_fallback; }
    QColor color() const { return m_color; }
    const QGradientStops &stops() const { return m_stops; }
    const QImage &image() const { return m_image; }

    void paint(QPainter &painter, const QRectF &rect) const;

    // An image read from path scaled to fill pixelSize with its aspect ratio
    // kept and the overflow cropped evenly; null when nothing usable can be
    // read. Never decodes more than kMaxDecodedPixels. A path starting with
    // "~/" is taken under the home folder.
    static QImage loadImageToFill(const QString &path, const QSize &pixelSize);

    // A soft blur of the whole image, cheap enough for a full-HD grab.
    static QImage blurred(const QImage &source);

private:
    Style m_style = Style::color;
    bool m_fallback = false;
    QColor m_color;
    QGradientStops m_stops;
    QImage m_image;
};

// "linear|radial,color1,color2,...": a gradient of at least two valid hex
// colours, or the fallback.
OverlayBackground parseGradient(const QString &description);
