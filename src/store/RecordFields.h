// SPDX-License-Identifier: MIT
#pragma once

#include "ColumnField.h"

// A record's stored fields are declared once, as a list macro with one line
// per field (continued with backslashes), as FocusSession.h does:
//
//     #define LUMORA_FOCUS_SESSION_FIELDS(F)
//         F(QUuid, focusScreenID, setFocusScreenID, "TEXT NOT NULL", 1, {})
//         F(QString, note, setNote, "TEXT NOT NULL DEFAULT ''", 2, {})
//
// Each line gives the field's type, its name (which is also the column's
// name), the setter's name, the column's SQL type, the schema version that
// brought the column (1 for the columns of the first store) and the field's
// initial value. A column added after version 1 must be nullable or carry a
// DEFAULT, since it is added to stored rows by the migration to its version,
// which adds every column declared with that version.
//
// In the class, LUMORA_RECORD_FIELDS(Class, LIST) declares the column enum
// (Col_<name>), the getters and setters, entityInfo() and the members
// (m_<name>); it leaves the access at private. In the .cpp,
// LUMORA_DEFINE_RECORD(Class, LIST, since) defines entityInfo(): the table
// named as the class, its columns in list order, and the schema version that
// brought the table. The class needs a default constructor the .cpp can call.

#define LUMORA_FIELD_ENUM(type, name, setter, sqlType, since, init) Col_##name,
#define LUMORA_FIELD_ACCESSORS(type, name, setter, sqlType, since, init)                                     \
    const type &name() const                                                                                 \
    {                                                                                                        \
        return m_##name;                                                                                     \
    }                                                                                                        \
    void setter(const type &value)                                                                           \
    {                                                                                                        \
        assign(m_##name, value, Col_##name);                                                                 \
    }
#define LUMORA_FIELD_MEMBER(type, name, setter, sqlType, since, init) type m_##name = init;
#define LUMORA_FIELD_COLUMN(type, name, setter, sqlType, since, init)                                        \
    Column::field<&Self::m_##name>(#name, sqlType, since),

#define LUMORA_RECORD_FIELDS(Class, FIELDS)                                                                  \
public:                                                                                                      \
    enum Col { FIELDS(LUMORA_FIELD_ENUM) Col_count };                                                        \
    static const EntityInfo &entityInfo();                                                                   \
    const EntityInfo &entity() const override                                                                \
    {                                                                                                        \
        return entityInfo();                                                                                 \
    }                                                                                                        \
    FIELDS(LUMORA_FIELD_ACCESSORS)                                                                           \
private:                                                                                                     \
    using Self = Class;                                                                                      \
    FIELDS(LUMORA_FIELD_MEMBER)

#define LUMORA_DEFINE_RECORD(Class, FIELDS, since)                                                           \
    const EntityInfo &Class::entityInfo()                                                                    \
    {                                                                                                        \
        static_assert(Class::Col_count <= 64, "a record's changed columns are kept in 64 bits");             \
        static const EntityInfo info{QStringLiteral(#Class),                                                 \
                                     {FIELDS(LUMORA_FIELD_COLUMN)},                                          \
                                     [] { return std::unique_ptr<PersistentModel>(new Class()); },           \
                                     since};                                                                 \
        return info;                                                                                         \
    }
