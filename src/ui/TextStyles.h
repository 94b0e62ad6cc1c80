#pragma once

#include <QColor>
#include <QFont>

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
// Column titles.
QFont title(const QFont &base);
// Empty-state titles.
QFont panelTitle(const QFont &base);
// Glyph side of a title-3 symbol (the session completion mark).
int title3SymbolSize(const QFont &base);

// Text drawn in the secondary colour of a palette.
QColor secondary(const QPalette &palette);

// Makes a label a caption: caption font, secondary colour, wrapping.
void makeCaption(QLabel *label);
// Makes a label secondary-coloured.
void makeSecondary(QWidget *widget);

} // namespace TextStyles
