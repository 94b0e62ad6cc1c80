// SPDX-License-Identifier: MIT
#pragma once

#include <QRegion>

#include <optional>

class QScreen;
class QWidget;

// The overlay-window operations on Qt's Wayland platform, whatever the
// compositor (used by the overlay-window operations when
// DesktopSession::windowSystem() is Wayland).
namespace OverlayWindowsWayland {

// The surface's input region: pointer input only inside region (window
// coordinates), everywhere when absent.
bool setInputRegion(QWidget *window, const std::optional<QRegion> &region);

// Full screen on that output (the compositor picks none other).
void showCovering(QWidget *window, QScreen *screen);

} // namespace OverlayWindowsWayland
