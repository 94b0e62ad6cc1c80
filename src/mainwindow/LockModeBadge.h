// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

class QPainter;
class ThemeStore;

// A lock mode as a small capsule: its symbol and display name in a compact
// medium-weight font, in the accent's text colour (readable on the window,
// also for the pale accents) on the accent at low opacity.
// Item views that paint rows themselves draw it through paint().
class LockModeBadge : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHorizontalInset = 4;
    static constexpr int kVerticalInset = 2;
    static constexpr int kIconSpacing = 3;
    static constexpr qreal kBackgroundOpacity = 0.15;
    // The badge font is this many points below the base font.
    static constexpr qreal kFontShrink = 1.5;

    // Drawn in the accent of `themes` (the window's theme store).
    LockModeBadge(LockMode mode, ThemeStore *themes, QWidget *parent = nullptr);

    LockMode mode() const { return m_mode; }
    void setMode(LockMode mode);
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The chosen accent's text colour in the appearance of this palette;
    // without a store, the palette's highlight (the system theme's colour).
    static QColor textColor(const ThemeStore *themes, const QPalette &palette);

    // The badge font derived from a base font.
    static QFont badgeFont(const QFont &base);
    static QSize sizeFor(LockMode mode, const QFont &base);
    // Paints the badge at rect.topLeft() (size sizeFor()); accent is the fill
    // (drawn at kBackgroundOpacity), textColor the text and symbol colour.
    static void paint(QPainter &painter, const QRect &rect, LockMode mode, const QFont &base,
                      const QColor &accent, const QColor &textColor);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    LockMode m_mode;
    QPointer<ThemeStore> m_themes;
};
