// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The one table of the system's symbol names ("timer", "eye.slash",
// "lock.shield", ...). Every view asks here instead of naming an icon file.
// Each symbol has a drawn glyph that follows the text colour (or a given
// tint), so it reads the same in light and dark windows and on the overlay;
// a symbol without a glyph comes from the freedesktop icon theme.
namespace Symbols {

// Freedesktop icon name standing for the symbol ("" when unknown).
QString freedesktopName(const QString &symbol);

// True when the symbol has a drawn glyph.
bool hasGlyph(const QString &symbol);

// Every symbol name the table knows.
QStringList knownSymbols();

// An icon for the symbol. With an invalid tint the glyph takes the widget's
// text colour (QPalette::WindowText, or HighlightedText when selected).
QIcon icon(const QString &symbol, const QColor &tint = QColor());

// The glyph drawn at size x size device-independent pixels in the colour.
QPixmap pixmap(const QString &symbol, int size, const QColor &color, qreal devicePixelRatio = 1.0);

} // namespace Symbols
