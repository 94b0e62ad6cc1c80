// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

// Every enumeration the system stores or shows is an `enum class` whose cases
// are spelled as their raw strings. Each one specialises EnumTraits with one
// row per case, in case order; the free functions below serve them all.
// Display names and descriptions are English source texts marked with
// QT_TRANSLATE_NOOP("Enums", ...); displayName() and description() return
// them in the user's language.
template<typename E> struct EnumTraits; // static std::span<const EnumRow<E>> rows();

template<typename E> struct EnumRow
{
    E value;
    const char *raw;
    const char *displayName;
    const char *icon;
    const char *description = "";
};

template<typename E> QString rawValue(E value)
{
    for (const auto &row : EnumTraits<E>::rows())
        if (row.value == value)
            return QString::fromLatin1(row.raw);
    return {};
}

// The case whose raw string matches exactly (case-sensitive), or nothing.
template<typename E> std::optional<E> fromRaw(QStringView raw)
{
    for (const auto &row : EnumTraits<E>::rows())
        if (raw == QLatin1StringView(row.raw))
            return row.value;
    return std::nullopt;
}

template<typename E> QList<E> allCases()
{
    QList<E> out;
    for (const auto &row : EnumTraits<E>::rows())
        out.append(row.value);
    return out;
}

template<typename E> const EnumRow<E> &enumRow(E value)
{
    const auto rows = EnumTraits<E>::rows();
    for (const auto &row : rows)
        if (row.value == value)
            return row;
    return rows.front();
}

template<typename E> QString displayName(E value)
{
    return QCoreApplication::translate("Enums", enumRow(value).displayName);
}

template<typename E> QString icon(E value)
{
    return QString::fromLatin1(enumRow(value).icon);
}

template<typename E> QString description(E value)
{
    const char *text = enumRow(value).description;
    return *text ? QCoreApplication::translate("Enums", text) : QString();
}
