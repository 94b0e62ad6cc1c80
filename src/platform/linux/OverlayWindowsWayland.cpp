// SPDX-License-Identifier: MIT
#include "OverlayWindowsWayland.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace {

constexpr const char *kRegionProperty = "lumoraWaylandInputRegion";
constexpr const char *kKeeperName = "lumoraWaylandInputRegionKeeper";

// A wl_region is clipped to the surface, so a rectangle outside it makes an
// empty input region; an empty QRegion would mean "everywhere".
QRegion surfaceRegion(const std::optional<QRegion> &region)
{
    if (!region)
        return {};
    if (region->isEmpty())
        return QRegion(-2, -2, 1, 1);
    return *region;
}

void apply(QWindow *handle, const QVariant &stored)
{
    const auto region =
        stored.isValid() ? std::optional<QRegion>(stored.value<QRegion>()) : std::optional<QRegion>();
    // The platform window drops a region equal to the one it holds, and a
    // new surface (the window shown again) starts without one: set it anew.
    handle->setMask(QRegion(-4, -4, 1, 1));
    handle->setMask(surfaceRegion(region));
}

// The region goes with the surface, which Qt makes afresh whenever the
// window is shown: it is set again each time the window comes on screen.
class RegionKeeper : public QObject
{
public:
    RegionKeeper(QWidget *widget) : QObject(widget), m_widget(widget)
    {
        setObjectName(QLatin1String(kKeeperName));
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose) {
            QWindow *handle = m_widget->windowHandle();
            const bool exposed = handle && handle->isExposed();
            if (exposed && !m_exposed)
                apply(handle, m_widget->property(kRegionProperty));
            m_exposed = exposed;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_widget;
    bool m_exposed = false;
};

} // namespace

namespace OverlayWindowsWayland {

bool setInputRegion(QWidget *window, const std::optional<QRegion> &region)
{
    if (!window)
        return false;
    window->winId();
    QWindow *handle = window->windowHandle();
    if (!handle)
        return false;
    const QVariant stored = region ? QVariant::fromValue(*region) : QVariant();
    window->setProperty(kRegionProperty, stored);
    apply(handle, stored);
    if (!window->findChild<QObject *>(QLatin1String(kKeeperName), Qt::FindDirectChildrenOnly))
        handle->installEventFilter(new RegionKeeper(window));
    return true;
}

void showCovering(QWidget *window, QScreen *screen)
{
    window->winId();
    if (QWindow *handle = window->windowHandle())
        handle->setScreen(screen);
    window->showFullScreen();
}

} // namespace OverlayWindowsWayland
