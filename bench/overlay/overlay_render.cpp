// SPDX-License-Identifier: MIT
// Renders the overlay at 1920 x 1080 for every background kind and strict
// mode into PNG files, each composited over a made-up desktop the way a
// compositing window manager would show it:
//   QT_QPA_PLATFORM=offscreen overlay_render <output folder>
#include "ExitChallenge.h"
#include "FocusOverlayView.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr QSize kScreen(1920, 1080);

// A desktop with a wallpaper and a few windows, so blur and translucency show.
QImage fakeDesktop()
{
    QImage img(kScreen, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient wall(0, 0, kScreen.width(), kScreen.height());
    wall.setColorAt(0, QColor(0x2b, 0x5f, 0x8a));
    wall.setColorAt(1, QColor(0xd9, 0x8a, 0x4e));
    p.fillRect(img.rect(), wall);
    const QList<QPair<QRect, QColor>> windows = {{{120, 100, 800, 560}, QColor(0xf4, 0xf4, 0xf4)},
                                                 {{700, 300, 900, 600}, QColor(0x30, 0x30, 0x36)},
                                                 {{1300, 80, 500, 380}, QColor(0xff, 0xe1, 0x7a)}};
    for (const auto &[r, c] : windows) {
        p.fillRect(r, c);
        p.fillRect(QRect(r.topLeft(), QSize(r.width(), 32)), c.darker(130));
        p.setPen(c.lightness() > 128 ? Qt::black : Qt::white);
        QFont f = p.font();
        f.setPixelSize(18);
        p.setFont(f);
        for (int line = 0; line < 12; ++line)
            p.drawText(r.adjusted(20, 50 + line * 30, -20, 0),
                       QStringLiteral("Some text in a window, line %1").arg(line));
    }
    p.fillRect(QRect(0, kScreen.height() - 40, kScreen.width(), 40), QColor(20, 20, 20));
    return img;
}

QString photo(const QString &dir)
{
    QImage img(3000, 2000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, 2000);
    sky.setColorAt(0, QColor(0x1e, 0x3c, 0x72));
    sky.setColorAt(0.6, QColor(0xf7, 0x97, 0x1e));
    sky.setColorAt(1, QColor(0x2d, 0x1b, 0x0e));
    p.fillRect(img.rect(), sky);
    p.setBrush(QColor(0xff, 0xd2, 0x6f));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(1500, 1150), 260, 260);
    p.setBrush(QColor(0x1a, 0x10, 0x08));
    p.drawRect(0, 1300, 3000, 700);
    p.end();
    const QString path = dir + QStringLiteral("/photo.jpg");
    img.save(path, "JPG", 85);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: overlay_render <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir tmp;
    const QImage desktop = fakeDesktop();
    desktop.save(out + QStringLiteral("/desktop.png"));

    struct Background
    {
        const char *name;
        OverlayBackgroundType type;
        std::optional<QString> value;
        bool grab;
    };
    const QList<Background> backgrounds = {
        {"system", OverlayBackgroundType::system, std::nullopt, true},
        {"system-nograb", OverlayBackgroundType::system, std::nullopt, false},
        {"solid", OverlayBackgroundType::solid, QStringLiteral("#1A1A2E"), false},
        {"linear", OverlayBackgroundType::gradient, QStringLiteral("linear,#667eea,#764ba2"), false},
        {"radial", OverlayBackgroundType::gradient, QStringLiteral("radial,#f093fb,#f5576c"), false},
        {"image", OverlayBackgroundType::image, photo(tmp.path()), false},
        {"fallback", OverlayBackgroundType::gradient, QStringLiteral("Linear,#667eea"), false},
    };
    struct Strict
    {
        const char *name;
        bool enabled;
        StrictModeType type;
        LockMode mode;
    };
    const QList<Strict> stricts = {{"off", false, StrictModeType::none, LockMode::hideApps},
                                   {"sentence", true, StrictModeType::sentence, LockMode::preventLaunch},
                                   {"math", true, StrictModeType::math, LockMode::overlay},
                                   {"password", true, StrictModeType::password, LockMode::hideApps}};
    // Extra states of the challenge: 0 = closed, 1 = sheet open, 2 = wrong
    // answer in the sheet, 3 = cooldown after cancel.
    const QList<int> sheetStates = {0, 1, 2, 3};

    int written = 0;
    for (const auto &bg : backgrounds) {
        for (const auto &st : stricts) {
            for (int sheet : sheetStates) {
                if (sheet > 0 && (!st.enabled || (bg.type != OverlayBackgroundType::system || !bg.grab)))
                    continue; // sheet states once, over the system background
                FocusOverlayContent c;
                c.screenName = QStringLiteral("Deep Work Session");
                c.remainingTime = 25 * 60 - 17;
                c.allowedApps = {QStringLiteral("org.gnome.Calculator"), QStringLiteral("debian-xterm"),
                                 QStringLiteral("python3.11"), QStringLiteral("firefox-esr")};
                c.lockMode = st.mode;
                c.strictModeEnabled = st.enabled;
                c.strictModeType = st.type;
                c.strictModeSentence = QStringLiteral("I choose to finish what I started today.");
                c.strictModeAnswer = QStringLiteral("hunter2");
                c.overlayBackgroundType = bg.type;
                c.overlayBackgroundValue = bg.value;
                FocusOverlayView view(c);
                view.resize(kScreen);
                if (bg.grab)
                    view.setScreenGrab(desktop);
                view.show();
                auto *challenge = view.challenge();
                if (sheet >= 1)
                    challenge->openChallenge();
                if (sheet >= 2) {
                    view.findChild<QLineEdit *>(QStringLiteral("challengeField"))
                        ->setText(QStringLiteral("wrong"));
                    challenge->submitChallenge();
                }
                if (sheet >= 3) {
                    challenge->cancelChallenge();
                    for (int i = 0; i < 18; ++i)
                        challenge->tickCooldown();
                }
                QApplication::processEvents();
                QImage canvas = desktop.convertToFormat(QImage::Format_ARGB32_Premultiplied);
                QPainter p(&canvas);
                view.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
                p.end();
                const QString name = QStringLiteral("%1/overlay-%2-%3%4.png")
                                         .arg(out, QLatin1String(bg.name), QLatin1String(st.name),
                                              sheet ? QStringLiteral("-sheet%1").arg(sheet) : QString());
                canvas.save(name);
                if (sheet > 0) // the sheet at full size, for a close look
                    canvas.copy(QRect(QPoint(560, 190), QSize(800, 700)))
                        .save(QString(name).replace(QStringLiteral(".png"), QStringLiteral("-detail.png")));
                ++written;
            }
        }
    }
    // Stress: a long name, a long countdown and more applications than fit.
    {
        FocusOverlayContent c;
        c.screenName =
            QStringLiteral("A very long focus screen name that keeps going well past the usual length of "
                           "a title, Supercalifragilisticexpialidocious-without-breaks");
        c.remainingTime = 1000 * 60;
        for (int i = 0; i < 30; ++i)
            c.allowedApps << QStringLiteral("org.example.Application%1").arg(i);
        c.overlayBackgroundType = OverlayBackgroundType::solid;
        c.overlayBackgroundValue = QStringLiteral("#1A1A2E");
        FocusOverlayView view(c);
        view.resize(kScreen);
        view.show();
        QApplication::processEvents();
        QImage canvas(kScreen, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        view.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        p.end();
        canvas.save(out + QStringLiteral("/overlay-stress.png"));
        ++written;
    }
    QTextStream(stdout) << written << " images written to " << out << "\n";
    return 0;
}
