// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Cleans free-form titles typed by the user.
namespace ItemTitle {

// Collapses every run of Unicode white space to one space and trims both ends;
// a title with no words left becomes "New Item".
QString clean(QStringView s);

} // namespace ItemTitle
