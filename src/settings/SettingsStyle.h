// SPDX-License-Identifier: MIT
#pragma once

// The settings pages' layout; their text styles and widgets are the shared ones.
namespace SettingsStyle {

// Every page's form is this wide; it grows with its content up to the
// maximum height and scrolls beyond it.
constexpr int kFormWidth = 520;
constexpr int kFormMaxHeight = 640;
// Space between a page's sections and the form's edges.
constexpr int kPageMargin = 20;
constexpr int kSectionSpacing = 16;
// The side of the symbols in statistics rows.
constexpr int kRowSymbolSize = 16;

} // namespace SettingsStyle
