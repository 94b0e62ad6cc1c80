// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

// Optional text fields: an empty text means no value; any other text is the
// value exactly as typed, spaces included.
namespace OptionalText {

inline std::optional<QString> fromText(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

inline QString toText(const std::optional<QString> &value)
{
    return value.value_or(QString());
}

} // namespace OptionalText
