// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QStringList>

// The program's texts in the user's language. The English texts in the code
// are the source texts; a catalogue (lumora_<language>.qm, made from
// translations/lumora_<language>.ts) replaces them where it has an entry.
// The English catalogue holds only the plural forms of texts with a count
// (%n), so that English reads "1 day" and "2 days".
namespace Translations {

// Where catalogues are looked for, in order: the installed program's
// <prefix>/share/lumora/translations, then the copy built into the program.
QStringList defaultFolders();

// Installs the catalogue for `locale` from the first of `folders` that holds
// a readable one (Qt's own qtbase catalogue with it, when there is one), and
// makes `locale` the default for dates, day names and numbers, with the
// English plural forms under it. Replaces whatever an earlier call installed.
// A locale without a catalogue, or a missing or broken file, leaves the
// English texts. Needs the application object. Returns whether a catalogue
// for another language than English was installed.
bool install(const QLocale &locale, const QStringList &folders = defaultFolders());

// Takes out what install() put in: the English texts again.
void remove();

} // namespace Translations
