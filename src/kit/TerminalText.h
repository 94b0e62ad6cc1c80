// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Text that came from the store (names typed by the user) made safe to print
// on a terminal: control characters, which could move the cursor or change
// the terminal's state, and the bidirectional controls, which reorder what
// follows them on the line, are written as escapes ("\x1b", "\x00",
// "\u009b", "\u202e"), and a backslash as "\\", so the original text can
// still be read off.
namespace TerminalText {
QString escaped(const QString &text);
// Prints one line ("lumora: " is not added) to standard error, escaped.
void printError(const QString &line);
// Prints one line to standard output, escaped.
void printLine(const QString &line);
} // namespace TerminalText
