// SPDX-License-Identifier: MIT
#pragma once

// The appearances a colour can be drawn in. Qt 6.4 reports no high-contrast
// mode, so Appearance itself only ever chooses light or dark; the other two
// exist so that colours can carry values for them.
enum class AppearanceKind { light, dark, highContrastLight, highContrastDark };
