// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"
#include "PersistentModel.h"

#include <type_traits>

// Column descriptions made from a pointer to the record's field: the value's
// encoding follows from the field's type, so a record lists each column once
// as name, SQL type and field.
namespace Column {

template<typename T> struct Codec;

template<> struct Codec<QString>
{
    static QVariant encode(const QString &s) { return fromString(s); }
    static QString decode(const QVariant &v) { return v.toString(); }
};
template<> struct Codec<double>
{
    static QVariant encode(double d) { return QVariant(d); }
    static double decode(const QVariant &v) { return v.toDouble(); }
};
template<> struct Codec<bool>
{
    static QVariant encode(bool b) { return QVariant(int(b)); }
    static bool decode(const QVariant &v) { return v.toLongLong() != 0; }
};
template<> struct Codec<qint64>
{
    static QVariant encode(qint64 n) { return QVariant(n); }
    static qint64 decode(const QVariant &v) { return v.toLongLong(); }
};
template<> struct Codec<QStringList>
{
    static QVariant encode(const QStringList &l) { return fromList(l); }
    static QStringList decode(const QVariant &v) { return toList(v); }
};
template<> struct Codec<QUuid>
{
    static QVariant encode(const QUuid &u) { return fromUuid(u); }
    static QUuid decode(const QVariant &v) { return toUuid(v); }
};
template<> struct Codec<QDateTime>
{
    static QVariant encode(const QDateTime &d) { return fromDate(d); }
    static QDateTime decode(const QVariant &v) { return toDate(v); }
};
template<> struct Codec<std::optional<QDateTime>>
{
    static QVariant encode(const std::optional<QDateTime> &d) { return fromOptionalDate(d); }
    static std::optional<QDateTime> decode(const QVariant &v) { return toOptionalDate(v); }
};
template<> struct Codec<std::optional<QString>>
{
    static QVariant encode(const std::optional<QString> &s) { return fromOptionalString(s); }
    static std::optional<QString> decode(const QVariant &v) { return toOptionalString(v); }
};
template<> struct Codec<std::optional<double>>
{
    static QVariant encode(const std::optional<double> &d) { return fromOptionalDouble(d); }
    static std::optional<double> decode(const QVariant &v) { return toOptionalDouble(v); }
};

template<typename> struct FieldOf;
template<typename R, typename T> struct FieldOf<T R::*>
{
    using Record = R;
    using Type = T;
};

// A field stored through its type's codec; an enumeration is stored by raw
// string, and a string this release does not know leaves the field at its
// initial value (records are read into freshly made ones). `since` is the
// schema version that brought the column.
template<auto member> ColumnInfo field(const char *name, const char *sqlType, int since = 1)
{
    using R = typename FieldOf<decltype(member)>::Record;
    using T = typename FieldOf<decltype(member)>::Type;
    if constexpr (std::is_enum_v<T>) {
        return {
            name, sqlType,
            [](const PersistentModel &m) { return QVariant(rawValue(static_cast<const R &>(m).*member)); },
            [](PersistentModel &m, const QVariant &v) {
                if (const std::optional<T> value = fromRaw<T>(v.toString()))
                    static_cast<R &>(m).*member = *value;
            },
            since};
    } else {
        return {
            name, sqlType,
            [](const PersistentModel &m) { return Codec<T>::encode(static_cast<const R &>(m).*member); },
            [](PersistentModel &m, const QVariant &v) { static_cast<R &>(m).*member = Codec<T>::decode(v); },
            since};
    }
}

} // namespace Column
