// SPDX-License-Identifier: MIT
#pragma once

#include "Theme.h"

#include <QAbstractButton>

#include <functional>

// One circular colour swatch of the appearance page: the theme's colour (a
// colour wheel for the system theme), a dot when it is the chosen one, and
// a faint ring inside its edge. Clicking inside the circle runs `choose`.
class AccentSwatch : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr int kDiameter = 16;
    static constexpr int kDotDiameter = 6;
    static constexpr qreal kRingWidth = 1.0;
    static constexpr qreal kRingOpacity = 0.15;
    static constexpr qreal kFocusRingWidth = 2.0;
    // The dot on a swatch whose theme wants dark text.
    static constexpr QRgb kDarkDot = 0x16161C;

    AccentSwatch(Theme theme, bool selected, std::function<void()> choose, QWidget *parent = nullptr);

    const Theme &theme() const { return m_theme; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected);

    // The dot's colour: dark when the theme wants dark text, else white.
    static QColor dotColor(const Theme &theme);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    // Clicking never unchecks: `selected` follows the store.
    void nextCheckState() override {}

private:
    Theme m_theme;
    bool m_selected = false;
    std::function<void()> m_choose;
};
