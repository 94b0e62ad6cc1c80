// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// The one text form of identifier and domain lists used by every editor.

// Elements in order, joined by ", ".
QString commaListText(const QStringList &list);

// Splits at commas, trims spaces and tabs (not line breaks) from each piece,
// drops empty pieces and keeps the rest in order, unchanged otherwise.
QStringList parseCommaList(QStringView text);
