// SPDX-License-Identifier: MIT
// The yardstick for the shell benchmark: the least a Qt 6 Widgets program
// with one labelled window and one tray icon can be (the label loads the font
// database, as every real window does). Runs until it is terminated.
// With --tick it also wakes once a second and does nothing, as a tray timer
// with nothing to show would: the floor of a one-second tick on this machine.
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
// As large as Lumora's main window and its tray icon.
constexpr int kWindowWidth = 1100;
constexpr int kWindowHeight = 720;
constexpr int kIconSize = 64;
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LumoraBenchMinimal"));
    QApplication::setQuitOnLastWindowClosed(false);

    QLabel window(QStringLiteral("Minimal"));
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(kWindowWidth, kWindowHeight);
    window.show();

    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::darkCyan);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();

    QTimer tick;
    if (QCoreApplication::arguments().contains(QStringLiteral("--tick"))) {
        tick.setInterval(1000);
        QObject::connect(&tick, &QTimer::timeout, &tray, [&tray] {
            if (tray.toolTip() != QLatin1String("Minimal"))
                tray.setToolTip(QStringLiteral("Minimal"));
        });
        tick.start();
    }
    return app.exec();
}
