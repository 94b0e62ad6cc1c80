// SPDX-License-Identifier: MIT
// Image backgrounds and the blur: bad files of every kind fall back without
// a crash and without large allocations; good ones fill the display.
#include "TestOverlay.h"

#include "FocusOverlayView.h"
#include "OverlayBackground.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

// A well-formed PNG header claiming width x height RGBA pixels, followed by a
// few bytes of image data: a decoder that trusts the header would try to
// allocate width * height * 4 bytes.
QByteArray hugeHeaderPng(quint32 width, quint32 height)
{
    QByteArray ihdr = bigEndian(width) + bigEndian(height);
    ihdr += QByteArray("\x08\x06\x00\x00\x00", 5);
    const QByteArray zlib = qCompress(QByteArray(4096, '\0')).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", zlib) +
           pngChunk("IEND", {});
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage noise(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            img.setPixel(x, y, seed >> 8);
        }
    return img;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool nearColor(QRgb a, QColor b)
{
    return std::abs(qRed(a) - b.red()) < 12 && std::abs(qGreen(a) - b.green()) < 12 &&
           std::abs(qBlue(a) - b.blue()) < 12;
}

} // namespace

class TestOverlayImages : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(bytes);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void badImageFallsBack_data()
    {
        QTest::addColumn<QString>("path");
        const QByteArray png = encoded(noise(64, 64), "PNG");
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("missing.png"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("folder.png")));
        QTest::newRow("directory") << m_dir.filePath(QStringLiteral("folder.png"));
        QTest::newRow("not an image")
            << write(QStringLiteral("notes.png"), "just some text, not a picture\n");
        QTest::newRow("empty file") << write(QStringLiteral("empty.png"), {});
        QTest::newRow("truncated png") << write(QStringLiteral("truncated.png"), png.left(png.size() / 3));
        QTest::newRow("png header only") << write(QStringLiteral("header.png"), png.left(33));
        QTest::newRow("30000 x 30000 header")
            << write(QStringLiteral("bomb.png"), hugeHeaderPng(30000, 30000));
        QTest::newRow("2^31-1 square header")
            << write(QStringLiteral("bomb2.png"), hugeHeaderPng(0x7FFFFFFF, 0x7FFFFFFF));
        QTest::newRow("one pixel by a billion")
            << write(QStringLiteral("thin.png"), hugeHeaderPng(1, 1000000000));
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.png"));
        ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        QTest::newRow("named pipe") << fifo;
        QTest::newRow("device") << QStringLiteral("/dev/zero");
        QTest::newRow("nul in path") << m_dir.filePath(QStringLiteral("ok.png")) + QChar(0) +
                                            QStringLiteral("x");
        QTest::newRow("empty path") << QString();
        QTest::newRow("blanks around a good path")
            << QStringLiteral(" ") + write(QStringLiteral("good.png"), png);
    }
    void badImageFallsBack()
    {
        QFETCH(QString, path);
        const long before = peakRssKb();
        QElapsedTimer clock;
        clock.start();
        const OverlayBackground bg =
            OverlayBackground::make(OverlayBackgroundType::image, path, QSize(1920, 1080));
        QVERIFY(bg.isFallback());
        QCOMPARE(bg.color(), QColor::fromRgbF(0, 0, 0, 0.9f));
        QVERIFY2(clock.elapsed() < 5000, "reading a bad image must not hang");
        const long grownKb = peakRssKb() - before;
        QVERIFY2(grownKb < 150 * 1024, qPrintable(QStringLiteral("peak memory grew by %1 KB").arg(grownKb)));
    }

    void pathUnderHomeIsRead()
    {
        QImage img(QSize(40, 20), QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(m_dir.filePath(QStringLiteral("home.png")), "PNG"));
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        const OverlayBackground bg = OverlayBackground::make(OverlayBackgroundType::image,
                                                             QStringLiteral("~/home.png"), QSize(80, 40));
        const OverlayBackground elsewhere =
            OverlayBackground::make(OverlayBackgroundType::image, QStringLiteral("~home.png"), QSize(80, 40));
        qputenv("HOME", home);
        QVERIFY(!bg.isFallback());
        QVERIFY(nearColor(bg.image().pixel(40, 20), Qt::red));
        QVERIFY(elsewhere.isFallback());
    }

    void goodImageFillsAndCrops_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        // Two halves of the source: the crop keeps the middle, so both show.
        QTest::addColumn<bool>("sideBySide");
        QTest::newRow("wide png into square") << "PNG" << QSize(400, 100) << QSize(100, 100) << true;
        QTest::newRow("tall png into wide") << "PNG" << QSize(100, 400) << QSize(200, 100) << false;
        QTest::newRow("small png scaled up") << "PNG" << QSize(40, 20) << QSize(1920, 1080) << true;
        QTest::newRow("jpeg scaled while decoding") << "JPG" << QSize(3200, 1800) << QSize(192, 108) << true;
        QTest::newRow("bmp") << "BMP" << QSize(300, 200) << QSize(120, 60) << false;
    }
    void goodImageFillsAndCrops()
    {
        QFETCH(QString, format);
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QFETCH(bool, sideBySide);
        QImage img(source, QImage::Format_RGB32);
        QPainter p(&img);
        if (sideBySide) {
            p.fillRect(QRect(0, 0, source.width() / 2, source.height()), Qt::red);
            p.fillRect(QRect(source.width() / 2, 0, source.width() - source.width() / 2, source.height()),
                       Qt::blue);
        } else {
            p.fillRect(QRect(0, 0, source.width(), source.height() / 2), Qt::green);
            p.fillRect(QRect(0, source.height() / 2, source.width(), source.height() - source.height() / 2),
                       Qt::yellow);
        }
        p.end();
        const QString path = m_dir.filePath(QStringLiteral("good.") + format.toLower());
        QVERIFY(img.save(path, format.toLatin1().constData()));

        const OverlayBackground bg = OverlayBackground::make(OverlayBackgroundType::image, path, target);
        QVERIFY(!bg.isFallback());
        QCOMPARE(bg.style(), OverlayBackground::Style::image);
        QCOMPARE(bg.image().size(), target);
        const QImage out = bg.image();
        const int w = target.width();
        const int h = target.height();
        if (sideBySide) {
            QVERIFY(nearColor(out.pixel(w / 10, h / 2), Qt::red));
            QVERIFY(nearColor(out.pixel(w - w / 10, h / 2), Qt::blue));
        } else {
            QVERIFY(nearColor(out.pixel(w / 2, h / 10), Qt::green));
            QVERIFY(nearColor(out.pixel(w / 2, h - h / 10), Qt::yellow));
        }
    }

    // Qt's own allocation limit is in force once an image has been read.
    void allocationLimitSet()
    {
        OverlayBackground::loadImageToFill(write(QStringLiteral("tiny.png"), encoded(noise(2, 2), "PNG")),
                                           {4, 4});
        QVERIFY(QImageReader::allocationLimit() > 0);
        QVERIFY(QImageReader::allocationLimit() <= OverlayBackground::kAllocationLimitMB);
    }

    void viewReadsImageAtItsSize()
    {
        const QString path = write(QStringLiteral("view.png"), encoded(noise(300, 200), "PNG"));
        FocusOverlayContent content;
        content.overlayBackgroundType = OverlayBackgroundType::image;
        content.overlayBackgroundValue = path;
        FocusOverlayView view(content);
        view.resize(320, 180);
        QCOMPARE(view.overlayBackground().image().size(), QSize(320, 180) * view.devicePixelRatioF());
        view.resize(200, 200);
        QCOMPARE(view.overlayBackground().image().size(), QSize(200, 200) * view.devicePixelRatioF());
    }

    void blurSoftensEdges()
    {
        QVERIFY(OverlayBackground::blurred(QImage()).isNull());
        QImage tiny(1, 1, QImage::Format_RGB32);
        tiny.fill(Qt::white);
        QVERIFY(!OverlayBackground::blurred(tiny).isNull());

        QImage halves(640, 360, QImage::Format_RGB32);
        halves.fill(Qt::black);
        QPainter(&halves).fillRect(QRect(320, 0, 320, 360), Qt::white);
        const QImage blurred = OverlayBackground::blurred(halves);
        QVERIFY(!blurred.isNull());
        // Sampled over the full size, as the view draws it.
        const QImage shown = blurred.scaled(halves.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const int atEdge = qGray(shown.pixel(320, 180));
        QVERIFY2(atEdge > 60 && atEdge < 200, qPrintable(QString::number(atEdge)));
        QVERIFY(qGray(shown.pixel(5, 180)) < 20);
        QVERIFY(qGray(shown.pixel(634, 180)) > 235);
        // The blur reaches well beyond a few pixels.
        QVERIFY(qGray(shown.pixel(300, 180)) > 15);
    }
};

int runOverlayImageTests(int argc, char **argv)
{
    TestOverlayImages t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_overlay_images.moc"
