// SPDX-License-Identifier: MIT
#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

// Identity of one stored record: the record type's entity name plus a 64-bit
// number handed out when the record is inserted. It stays the same for the
// record's whole life, across saves and runs, and fits in a QVariant.
struct PersistentIdentifier
{
    QString entityName;
    qint64 id = 0;

    bool isValid() const { return id != 0 && !entityName.isEmpty(); }
    QString toString() const { return entityName + QLatin1Char('/') + QString::number(id); }

    friend bool operator==(const PersistentIdentifier &a, const PersistentIdentifier &b)
    {
        return a.id == b.id && a.entityName == b.entityName;
    }
    friend bool operator!=(const PersistentIdentifier &a, const PersistentIdentifier &b) { return !(a == b); }
    friend bool operator<(const PersistentIdentifier &a, const PersistentIdentifier &b)
    {
        return a.entityName != b.entityName ? a.entityName < b.entityName : a.id < b.id;
    }
    friend size_t qHash(const PersistentIdentifier &key, size_t seed = 0) noexcept
    {
        return qHashMulti(seed, key.entityName, key.id);
    }
};

Q_DECLARE_METATYPE(PersistentIdentifier)
