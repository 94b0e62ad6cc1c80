// SPDX-License-Identifier: MIT
#include "PersistentModel.h"

#include "ModelContext.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QUuid>

#include <cmath>

PersistentModel::~PersistentModel() = default;

PersistentIdentifier PersistentModel::id() const
{
    if (m_rowId == 0)
        return {};
    return {entity().name, m_rowId};
}

void PersistentModel::touch(int column)
{
    if (m_context && !m_deleted)
        m_context->recordChanged(this, column);
}

namespace Column {

// Instants are stored as seconds since 1970-01-01 UTC with millisecond
// precision, so the sqlite3 tool reads them with datetime(x, 'unixepoch').
QVariant fromDate(const QDateTime &date)
{
    return double(date.toMSecsSinceEpoch()) / 1000.0;
}

QDateTime toDate(const QVariant &value)
{
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (!ok || !std::isfinite(seconds))
        return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds * 1000.0)), Qt::UTC);
}

QVariant fromOptionalDate(const std::optional<QDateTime> &date)
{
    return date ? fromDate(*date) : QVariant();
}

std::optional<QDateTime> toOptionalDate(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return toDate(value);
}

// Lists are stored as a JSON array of strings, keeping their order.
QVariant fromList(const QStringList &list)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
}

QStringList toList(const QVariant &value)
{
    QStringList out;
    const QJsonDocument doc = QJsonDocument::fromJson(value.toString().toUtf8());
    for (const QJsonValue &v : doc.array())
        if (v.isString())
            out.append(v.toString());
    return out;
}

QVariant fromString(const QString &s)
{
    // A null QString would be bound as SQL NULL; present text is never NULL.
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

QVariant fromOptionalString(const std::optional<QString> &s)
{
    return s ? fromString(*s) : QVariant();
}

std::optional<QString> toOptionalString(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toString();
}

QVariant fromOptionalDouble(const std::optional<double> &d)
{
    return d ? QVariant(*d) : QVariant();
}

std::optional<double> toOptionalDouble(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toDouble();
}

QVariant fromUuid(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces);
}

QUuid toUuid(const QVariant &value)
{
    return QUuid::fromString(value.toString());
}

} // namespace Column
