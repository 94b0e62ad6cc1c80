// SPDX-License-Identifier: MIT
#include "OverlayBackground.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTextBoundaryFinder>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The blur works on a copy shrunk by this factor, then drawn scaled up again:
// three box passes there give a soft, even blur for the price of a thumbnail.
constexpr int kBlurDownscale = 8;
constexpr int kBlurRadius = 3;
constexpr int kBlurPasses = 3;
// JPEG decodes straight to a smaller size, down to an eighth of each side.
constexpr qint64 kMinScaledDecodeDivisor = 64;

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// A hexadecimal scanner as the platform's: blanks are skipped, an optional
// 0x / 0X prefix is taken only when a hex digit follows it (otherwise the "0"
// alone is the number), then every following hex digit is read. Values past
// 64 bits saturate.
std::optional<quint64> scanHex(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    if (i + 2 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X') && hexDigit(s[i + 2]) >= 0)
        i += 2;
    quint64 value = 0;
    bool any = false;
    bool overflow = false;
    for (; i < s.size(); ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0)
            break;
        any = true;
        if (value > (std::numeric_limits<quint64>::max() >> 4))
            overflow = true;
        value = (value << 4) | quint64(d);
    }
    if (!any)
        return std::nullopt;
    return overflow ? std::numeric_limits<quint64>::max() : value;
}

// Characters as a reader counts them: "e" plus a combining accent is one.
qsizetype characterCount(const QString &s)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

QImage toFastFormat(QImage image)
{
    return image.hasAlphaChannel() ? std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                   : std::move(image).convertToFormat(QImage::Format_RGB32);
}

// One horizontal box pass over every row of a premultiplied ARGB image.
void boxBlurRows(QImage &img, int radius)
{
    const int w = img.width();
    const int h = img.height();
    const int window = 2 * radius + 1;
    std::vector<quint32> row(size_t(w), 0);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<quint32 *>(img.scanLine(y));
        std::copy(line, line + w, row.begin());
        int sum[4] = {0, 0, 0, 0};
        const auto add = [&](int x, int sign) {
            const quint32 px = row[size_t(std::clamp(x, 0, w - 1))];
            for (int c = 0; c < 4; ++c)
                sum[c] += sign * int((px >> (8 * c)) & 0xFF);
        };
        for (int x = -radius; x <= radius; ++x)
            add(x, 1);
        for (int x = 0; x < w; ++x) {
            quint32 out = 0;
            for (int c = 0; c < 4; ++c)
                out |= quint32(sum[c] / window) << (8 * c);
            line[x] = out;
            add(x + radius + 1, 1);
            add(x - radius, -1);
        }
    }
}

} // namespace

namespace Color {

std::optional<QColor> fromHex(const QString &hex)
{
    QString s = hex.trimmed();
    s.remove(QLatin1Char('#'));
    const qsizetype length = characterCount(s);
    if (length != 3 && length != 6 && length != 8)
        return std::nullopt;
    const auto scanned = scanHex(s);
    if (!scanned)
        return std::nullopt;
    const quint64 v = *scanned;
    qreal r = 0;
    qreal g = 0;
    qreal b = 0;
    if (length == 3) {
        r = qreal((v >> 8) & 0xF) / 15.0;
        g = qreal((v >> 4) & 0xF) / 15.0;
        b = qreal(v & 0xF) / 15.0;
    } else if (length == 6) {
        r = qreal((v >> 16) & 0xFF) / 255.0;
        g = qreal((v >> 8) & 0xFF) / 255.0;
        b = qreal(v & 0xFF) / 255.0;
    } else {
        r = qreal((v >> 24) & 0xFF) / 255.0;
        g = qreal((v >> 16) & 0xFF) / 255.0;
        b = qreal((v >> 8) & 0xFF) / 255.0;
    }
    return QColor::fromRgbF(float(r), float(g), float(b), 1.0f);
}

} // namespace Color

OverlayBackground::OverlayBackground()
    : m_fallback(true), m_color(QColor::fromRgbF(0, 0, 0, kFallbackOpacity))
{}

OverlayBackground OverlayBackground::fallback()
{
    return OverlayBackground();
}

OverlayBackground OverlayBackground::solid(const QColor &color)
{
    OverlayBackground bg;
    bg.m_fallback = false;
    bg.m_style = Style::color;
    bg.m_color = color;
    return bg;
}

OverlayBackground OverlayBackground::gradient(Style style, const QList<QColor> &colors)
{
    if ((style != Style::linearGradient && style != Style::radialGradient) || colors.size() < 2)
        return fallback();
    OverlayBackground bg;
    bg.m_fallback = false;
    bg.m_style = style;
    bg.m_color = QColor();
    const qsizetype last = colors.size() - 1;
    for (qsizetype i = 0; i <= last; ++i)
        bg.m_stops.append({qreal(i) / qreal(last), colors[i]});
    return bg;
}

OverlayBackground OverlayBackground::picture(const QImage &image)
{
    if (image.isNull())
        return fallback();
    OverlayBackground bg;
    bg.m_fallback = false;
    bg.m_style = Style::image;
    bg.m_color = QColor();
    bg.m_image = image;
    return bg;
}

OverlayBackground OverlayBackground::screen(const QImage &blurredGrab)
{
    OverlayBackground bg;
    bg.m_fallback = false;
    bg.m_style = Style::screen;
    bg.m_color = QColor::fromRgbF(0, 0, 0, kScreenDimOpacity);
    bg.m_image = blurredGrab;
    return bg;
}

OverlayBackground OverlayBackground::make(OverlayBackgroundType type, const std::optional<QString> &value,
                                          const QSize &pixelSize, const QImage &blurredGrab)
{
    switch (type) {
    case OverlayBackgroundType::system:
        return screen(blurredGrab);
    case OverlayBackgroundType::solid:
        if (value)
            if (const auto c = Color::fromHex(*value))
                return solid(*c);
        return fallback();
    case OverlayBackgroundType::gradient:
        return value ? parseGradient(*value) : fallback();
    case OverlayBackgroundType::image:
        return value ? picture(loadImageToFill(*value, pixelSize)) : fallback();
    }
    return fallback();
}

void OverlayBackground::paint(QPainter &painter, const QRectF &rect) const
{
    painter.save();
    switch (m_style) {
    case Style::color:
        painter.fillRect(rect, m_color);
        break;
    case Style::linearGradient: {
        QLinearGradient g(rect.topLeft(), rect.bottomRight());
        g.setStops(m_stops);
        painter.fillRect(rect, g);
        break;
    }
    case Style::radialGradient: {
        QRadialGradient g(rect.center(), kRadialEndRadius);
        g.setStops(m_stops);
        painter.fillRect(rect, g);
        break;
    }
    case Style::image:
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect, m_image);
        break;
    case Style::screen:
        if (!m_image.isNull()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(rect, m_image);
        }
        painter.fillRect(rect, m_color);
        break;
    }
    painter.restore();
}

QImage OverlayBackground::loadImageToFill(const QString &typedPath, const QSize &pixelSize)
{
    // "~/Pictures/x.jpg" is under the home folder, as in a shell.
    const QString path =
        typedPath.startsWith(QLatin1String("~/")) ? QDir::homePath() + typedPath.mid(1) : typedPath;
    if (path.isEmpty() || path.contains(QChar(0)) || pixelSize.isEmpty())
        return {};
    // Only regular files: a directory, a pipe or a device is no image (and a
    // pipe would block the reader).
    if (!QFileInfo(path).isFile())
        return {};
    if (QImageReader::allocationLimit() <= 0 || QImageReader::allocationLimit() > kAllocationLimitMB)
        QImageReader::setAllocationLimit(kAllocationLimitMB);

    QImageReader reader(path);
    reader.setAutoTransform(false); // orientation is applied below, after the crop
    const QSize stored = reader.size();
    if (!reader.canRead() || stored.isEmpty())
        return {};
    const qint64 storedPixels = qint64(stored.width()) * stored.height();
    // Only these decode straight to a smaller size; others (PNG among them)
    // accept a scaled size but decode the whole image first.
    const QByteArray format = reader.format();
    const bool scalesWhileDecoding =
        format == "jpeg" || format == "jpg" || format == "svg" || format == "svgz";
    const qint64 decodedPixels = scalesWhileDecoding ? storedPixels / kMinScaledDecodeDivisor : storedPixels;
    if (decodedPixels > kMaxDecodedPixels)
        return {};

    // Fill: scale so that both sides cover the target, crop the overflow
    // evenly. A centred crop stays centred under the stored orientation, so
    // the crop is made in stored coordinates with the target turned to match.
    const QImageIOHandler::Transformations orientation = reader.transformation();
    const bool turned = orientation.testFlag(QImageIOHandler::TransformationRotate90);
    const QSize target = turned ? pixelSize.transposed() : pixelSize;
    const qreal scale =
        std::max(qreal(target.width()) / stored.width(), qreal(target.height()) / stored.height());
    const int cropW = std::clamp(int(std::lround(target.width() / scale)), 1, stored.width());
    const int cropH = std::clamp(int(std::lround(target.height() / scale)), 1, stored.height());
    reader.setClipRect(QRect((stored.width() - cropW) / 2, (stored.height() - cropH) / 2, cropW, cropH));
    reader.setScaledSize(target);

    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (orientation & (QImageIOHandler::TransformationMirror | QImageIOHandler::TransformationFlip)) {
        image = std::move(image).mirrored(orientation.testFlag(QImageIOHandler::TransformationMirror),
                                          orientation.testFlag(QImageIOHandler::TransformationFlip));
    }
    if (turned)
        image = image.transformed(QTransform().rotate(90));
    if (image.size() != pixelSize)
        image = image.scaled(pixelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return toFastFormat(std::move(image));
}

QImage OverlayBackground::blurred(const QImage &source)
{
    if (source.isNull())
        return {};
    const QSize small(std::max(1, source.width() / kBlurDownscale),
                      std::max(1, source.height() / kBlurDownscale));
    QImage img = source.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < kBlurPasses; ++pass) {
        boxBlurRows(img, kBlurRadius);
        img = img.transformed(QTransform().rotate(90));
        boxBlurRows(img, kBlurRadius);
        img = img.transformed(QTransform().rotate(-90));
    }
    return img;
}

OverlayBackground parseGradient(const QString &description)
{
    const QStringList pieces = description.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (pieces.size() < 3)
        return OverlayBackground::fallback();
    QList<QColor> colors;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        if (const auto c = Color::fromHex(pieces[i]))
            colors.append(*c);
    }
    if (colors.size() < 2)
        return OverlayBackground::fallback();
    if (pieces.first() == QLatin1String("linear"))
        return OverlayBackground::gradient(OverlayBackground::Style::linearGradient, colors);
    if (pieces.first() == QLatin1String("radial"))
        return OverlayBackground::gradient(OverlayBackground::Style::radialGradient, colors);
    return OverlayBackground::fallback();
}
