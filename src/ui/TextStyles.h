// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QPalette;
class QWidget;

// The few text styles of the windows and the popover, derived from the application font
// so they follow the desktop's font size.
namespace TextStyles {

// Row titles: the base size, semibold.
QFont headline(const QFont &base);
// Secondary lines and form captions: one point smaller.
QFont caption(const QFont &base);
// Figures in captions (durations in lists): the fixed-pitch font at caption size.
QFont monospacedCaption(const QFont &base);
// Lines between the body and captions: half a point smaller.
QFont subheadline(const QFont &base);
// Column titles.
QFont title(const QFont &base);
// Empty-state titles.
QFont panelTitle(const QFont &base);
// Glyph side of a title-3 symbol (the session completion mark).
int title3SymbolSize(const QFont &base);

// Text drawn in the secondary colour of a palette.
QColor secondary(const QPalette &palette);
// Status colours (a warning, a success) in the appearance of a palette.
QColor orange(const QPalette &palette);
QColor green(const QPalette &palette);

// Makes a label show its text as it is, never as markup.
void makePlain(QLabel *label);
// A new label that shows its text as it is. Every label that may show data
// is one; data longer than any line shows is cut first (DisplayText::capped).
QLabel *plainLabel(const QString &text = QString(), QWidget *parent = nullptr);
// Makes a label a caption: caption font, secondary colour, wrapping, plain text.
void makeCaption(QLabel *label);
// A new caption label.
QLabel *captionLabel(const QString &text, QWidget *parent);
// Makes a label secondary-coloured.
void makeSecondary(QWidget *widget);

} // namespace TextStyles
