#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QGroupBox;
class QLabel;
class QPalette;
class QWidget;

// The shared look of the settings pages: sizes, the relative type sizes of
// captions and headings, and the secondary text colour.
namespace SettingsStyle {

// Every page's form is this wide; it grows with its content up to the
// maximum height and scrolls beyond it.
constexpr int kFormWidth = 520;
constexpr int kFormMaxHeight = 640;
// Space between a page's sections and the form's edges.
constexpr int kPageMargin = 20;
constexpr int kSectionSpacing = 16;

QFont caption(const QFont &base);
QFont subheadline(const QFont &base);
QFont headline(const QFont &base);
QFont semibold(const QFont &base);
QFont monospacedCaption(const QFont &base);

// Draws the label's text in the secondary colour, following the palette.
void makeSecondary(QWidget *label);
// A caption-sized label in the secondary colour.
QLabel *captionLabel(const QString &text, QWidget *parent);

// Status colours in the appearance of `palette`.
QColor orange(const QPalette &palette);
QColor green(const QPalette &palette);

// A titled section of a grouped form.
QGroupBox *section(const QString &title, QWidget *parent);

} // namespace SettingsStyle
