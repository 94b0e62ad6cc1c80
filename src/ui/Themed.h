// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>

class QWidget;
#include "ThemeStore.h"
struct Theme;

// Tints a window's content with the chosen accent theme: the palette's
// highlight and link colours (and the accent role where Qt has one) take the
// theme's colours; the system theme leaves the inherited ones. It lives as a
// child of the window and retints whenever the store's accent changes, so
// every themed window changes at once.
class Themed : public QObject
{
    Q_OBJECT
public:
    Themed(QWidget *window, ThemeStore *store);

    ThemeStore *store() const { return m_store; }

    // `palette` with the tint of `theme`. `inherited` is what the window
    // would show without a tint: the system theme copies its roles back, and
    // its appearance (light or dark) chooses the text shade.
    static QPalette tinted(const QPalette &palette, const Theme &theme, const QPalette &inherited);

    // Tints the window now; called on every accent change.
    void apply();

private:
    QPointer<QWidget> m_window;
    QPointer<ThemeStore> m_store;
};

// Applies Themed with `store` to `window` (once; a second call returns the
// same object).
Themed *themed(QWidget *window, ThemeStore *store);
