// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// The fixed look of the overlay: sizes, spacings, opacities and colours. The
// overlay is always drawn light-on-dark, whatever the desktop's appearance;
// only the challenge sheet follows the application palette.
namespace OverlayStyle {

// Text sizes in device-independent pixels.
inline constexpr int kCaptionSize = 10;
inline constexpr int kCaption2Size = 10;
inline constexpr int kSubheadlineSize = 11;
inline constexpr int kBodySize = 13;
inline constexpr int kTitleSize = 22;
inline constexpr int kButtonTextSize = 13;

// Column of the whole view.
inline constexpr int kColumnSpacing = 32;
inline constexpr int kColumnMargin = 40;

// Header.
inline constexpr int kHeaderSpacing = 12;
inline constexpr int kModeIconSize = 48;
inline constexpr int kScreenNameSize = 32;

// Strict-mode badge.
inline constexpr int kStrictBadgeSpacing = 4;
inline constexpr int kStrictBadgeMarginH = 12;
inline constexpr int kStrictBadgeMarginV = 4;
inline constexpr qreal kStrictBadgeFillOpacity = 0.2;

// Countdown card.
inline constexpr int kCardSpacing = 8;
inline constexpr int kCountdownSize = 72;
inline constexpr qreal kCaptionTracking = 1.5;
inline constexpr int kCardMarginH = 40;
inline constexpr int kCardMarginV = 24;
inline constexpr qreal kCardRadius = 16;
inline constexpr qreal kCardFillOpacity = 0.08;
inline constexpr qreal kCardBorderOpacity = 0.12;
inline constexpr qreal kBorderWidth = 1;

// Allowed applications.
inline constexpr int kAllowedSpacing = 12;
inline constexpr int kAllowedRowSpacing = 16;
inline constexpr int kAllowedTopMargin = 16;
inline constexpr int kAppBadgeSpacing = 8;
inline constexpr int kAppBadgeMarginH = 12;
inline constexpr int kAppBadgeMarginV = 4;
inline constexpr int kAppIconSize = 24;
inline constexpr int kAppSymbolSize = 16;
inline constexpr int kAppNameSize = 13;
inline constexpr qreal kAppBadgeFillOpacity = 0.1;

// Exit section.
inline constexpr int kExitSpacing = 8;
inline constexpr int kChallengeExitSpacing = 12;
inline constexpr int kExitBottomMargin = 40;
inline constexpr int kEmergencyIconSpacing = 4;
inline constexpr int kEmergencyMarginH = 16;
inline constexpr int kEmergencyMarginV = 8;
inline constexpr int kChallengeIconSpacing = 8;
inline constexpr int kChallengeMarginH = 20;
inline constexpr int kChallengeMarginV = 10;
inline constexpr qreal kButtonRadius = 8;
inline constexpr qreal kButtonFillOpacity = 0.15;
inline constexpr qreal kButtonBorderOpacity = 0.3;
inline constexpr qreal kDisabledOpacity = 0.4;
inline constexpr qreal kPressedOpacity = 0.7;

// Challenge sheet.
inline constexpr int kSheetWidth = 420;
inline constexpr int kSheetSpacing = 24;
inline constexpr int kSheetMargin = 40;
inline constexpr int kSheetIconSize = 48;
inline constexpr int kSheetFieldTextSize = 16;
inline constexpr int kSheetFieldMarginH = 40;
inline constexpr int kSheetButtonSpacing = 16;
inline constexpr qreal kSheetRadius = 12;
inline constexpr qreal kSheetScrimOpacity = 0.35;

// Text opacities of the secondary and tertiary styles on the dark overlay.
inline constexpr qreal kSecondaryOpacity = 0.55;
inline constexpr qreal kTertiaryOpacity = 0.25;

QColor white(qreal opacity = 1.0);
QColor secondaryText();
QColor tertiaryText();
QColor red();
QColor orange();
QColor defaultAccent();

QFont textFont(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont monospacedFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// Sets the text colour of a widget in every colour group, so it stays the
// same when the widget is disabled behind the sheet.
void setTextColor(QWidget *widget, const QColor &color);

} // namespace OverlayStyle
