// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

// What a screen reader is told about the widgets Lumora paints itself.
// Qt describes a plain QWidget as a nameless client area; these helpers give
// such a widget its real role, a value and a range, through one accessibility
// factory that is installed the first time any of them is used.
namespace Accessible {

// The role the widget is presented with (a slider, a chart, a list item...).
void setRole(QWidget *widget, QAccessible::Role role);

// A picture that only repeats the text beside it: presented as a graphic
// without a name, and never focused. Given an accessible name later, it is
// a picture with a meaning again.
void setDecorative(QWidget *widget);
bool isDecorative(const QWidget *widget);

// A numeric value with its range, as a spin box or a clock has. The widget
// may offer a slot `applyAccessibleValue(double)` for assistive tools that
// set the value; without it the value is read-only.
void setRange(QWidget *widget, double minimum, double maximum, double step);

// The value as read out ("25 minutes", "04:59") and, when the widget has a
// range, as a number. Announces the change to assistive tools.
void setValue(QWidget *widget, const QString &text, double value = 0);
QString valueText(const QWidget *widget);

} // namespace Accessible
