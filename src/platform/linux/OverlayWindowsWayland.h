#pragma once

#include <QRegion>

#include <optional>

class QScreen;
class QWidget;

// The overlay-window operations on Qt's Wayland platform (used by the X11
// implementation when Qt runs on Wayland).
namespace OverlayWindowsWayland {

// True when Qt runs on its Wayland platform.
bool isActive();

// The surface's input region: pointer input only inside region (window
// coordinates), everywhere when absent.
bool setInputRegion(QWidget *window, const std::optional<QRegion> &region);

// Full screen on that output (the compositor picks none other).
void showCovering(QWidget *window, QScreen *screen);

} // namespace OverlayWindowsWayland
