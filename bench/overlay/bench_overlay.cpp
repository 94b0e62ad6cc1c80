// SPDX-License-Identifier: MIT
// Prints how long the overlay's image work takes and how much memory it needs:
// blurring a screen grab, reading wallpapers scaled to the display, and
// turning away a decompression bomb.
#include "OverlayBackground.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

namespace {

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QImage picture(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, Qt::darkBlue);
    g.setColorAt(1, Qt::darkYellow);
    p.fillRect(img.rect(), g);
    for (int i = 0; i < 200; ++i)
        p.fillRect(QRect((i * 97) % size.width(), (i * 61) % size.height(), 120, 80),
                   QColor::fromHsv(i % 360, 200, 220));
    return img;
}

quint32 crc32(const char *data, qsizetype size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(QByteArray &bytes, qsizetype at, quint32 v)
{
    bytes[at + 0] = char(v >> 24);
    bytes[at + 1] = char(v >> 16);
    bytes[at + 2] = char(v >> 8);
    bytes[at + 3] = char(v);
}

template<typename F> double millis(int runs, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i)
        f();
    return double(t.nsecsElapsed()) / 1e6 / runs;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    for (const QSize grab : {QSize(1920, 1080), QSize(3840, 2160)}) {
        const QImage img = picture(grab);
        const double ms = millis(10, [&] { (void)OverlayBackground::blurred(img); });
        out << "blur " << grab.width() << "x" << grab.height() << ": " << QString::number(ms, 'f', 1)
            << " ms\n";
    }

    const QImage big = picture(QSize(6000, 4000));
    for (const char *format : {"JPG", "PNG"}) {
        const QString path = dir.filePath(QStringLiteral("wall.") + QString::fromLatin1(format).toLower());
        big.save(path, format);
        const double ms =
            millis(3, [&] { (void)OverlayBackground::loadImageToFill(path, QSize(1920, 1080)); });
        out << "read 6000x4000 " << format << " to fill 1920x1080: " << QString::number(ms, 'f', 1)
            << " ms\n";
    }

    // A PNG whose header claims 30000 x 30000 pixels (3.6 GB decoded).
    QFile bomb(dir.filePath(QStringLiteral("bomb.png")));
    bomb.open(QIODevice::WriteOnly);
    const QByteArray png = [] {
        QImage img(64, 64, QImage::Format_RGB32);
        img.fill(Qt::red);
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG");
        return bytes;
    }();
    QByteArray patched = png;
    const qsizetype type = patched.indexOf("IHDR");
    putBigEndian(patched, type + 4, 30000);
    putBigEndian(patched, type + 8, 30000);
    putBigEndian(patched, type + 4 + 13, crc32(patched.constData() + type, 4 + 13));
    bomb.write(patched);
    bomb.close();
    const long before = peakRssMb();
    const double ms =
        millis(3, [&] { (void)OverlayBackground::loadImageToFill(bomb.fileName(), QSize(1920, 1080)); });
    out << "turn away a 30000x30000 PNG header: " << QString::number(ms, 'f', 2) << " ms, peak memory +"
        << (peakRssMb() - before) << " MB\n";
    out << "peak memory of the whole run: " << peakRssMb() << " MB\n";
    return 0;
}
