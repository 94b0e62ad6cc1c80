// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Data (names typed by the user, names sent over the bus, paths, error
// details) as the windows show it. What is shown is cut to a length any
// display can take, and stays text wherever the target reads markup.
namespace DisplayText {

// Longer than any line of the windows shows; longer data is cut.
constexpr qsizetype kMaxChars = 300;

// The text cut after `maxChars` characters with an ellipsis (never inside a
// surrogate pair); shorter text as it is. For display only, never for storing.
QString capped(const QString &text, qsizetype maxChars = kMaxChars);

// Text for a target that reads markup (a notification body): `&`, `<`, `>`
// and quotes as entities, so the text is shown as it is.
QString markupEscaped(const QString &text);

// Text for a target that guesses whether it is given markup (Qt's tooltips):
// always markup, with the text escaped in it and its line breaks kept, so it
// is shown literally whatever it looks like. Cut like capped().
QString asRichText(const QString &text);

// Text for a button, whose `&` marks a shortcut letter: every `&` shown.
QString withoutMnemonics(const QString &text);

} // namespace DisplayText
