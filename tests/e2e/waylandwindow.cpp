// SPDX-License-Identifier: MIT
// One plain window with a chosen application id, for the Wayland desktops:
//   lumora_e2e_waylandwindow <app-id> [--fullscreen]
// The window's title is the application id too. It stays until it is killed.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

namespace {

class Window : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(), size()), QColor(0xc8, 0x78, 0x28));
    }
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString appId = QGuiApplication::arguments().value(1);
    if (appId.isEmpty())
        return 2;
    // Qt's Wayland platform states the desktop file name as the application id.
    QGuiApplication::setDesktopFileName(appId);
    Window window;
    window.setTitle(appId);
    window.resize(480, 320);
    if (QGuiApplication::arguments().contains(QLatin1String("--fullscreen")))
        window.showFullScreen();
    else
        window.show();
    return QGuiApplication::exec();
}
