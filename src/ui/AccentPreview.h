// SPDX-License-Identifier: MIT
#pragma once

#include "ThemeStore.h"

#include <QPointer>
#include <QWidget>

class QPainter;
struct Theme;

// A small mock window drawn in the chosen accent theme: a sidebar with a
// selected row, a task list with a tag, a filled button and a switch. It
// redraws whenever the store's accent changes.
class AccentPreview : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 152;
    static constexpr qreal kCornerRadius = 12;
    static constexpr int kSidebarWidth = 128;
    static constexpr int kContentMargin = 12;
    static constexpr int kSidebarRowHeight = 24;
    static constexpr int kSidebarRowMargin = 8;
    static constexpr qreal kSidebarRowRadius = 8;
    static constexpr int kButtonHeight = 24;
    static constexpr int kButtonMargin = 12;
    static constexpr int kTagMarginH = 8;
    static constexpr int kTagMarginV = 2;
    static constexpr qreal kTagOpacity = 0.15;
    static constexpr QSize kSwitchSize{28, 16};
    static constexpr qreal kKnobShadowOpacity = 0.2;

    explicit AccentPreview(ThemeStore *store, QWidget *parent = nullptr);

    // The colour of text drawn on a filled accent: dark for themes that ask
    // for it, else white.
    static QColor onAccentColor(const Theme &theme);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintSidebar(QPainter &p, const QRectF &area, const Theme &theme, const QColor &systemAccent) const;
    void paintContent(QPainter &p, const QRectF &area, const Theme &theme, const QColor &systemAccent) const;

    QPointer<ThemeStore> m_store;
};
