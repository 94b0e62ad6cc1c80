// SPDX-License-Identifier: MIT
#pragma once

#include "PersistentModel.h"

#include <QObject>
#include <QString>

#include <memory>

class ModelContext;

// One open store file. Opening checks that the file is a store this release
// can read before anything is written to it, so a damaged, foreign or newer
// file is reported and left exactly as it was.
class ModelContainer : public QObject
{
    Q_OBJECT
public:
    // The schema version this release writes and reads.
    static constexpr int kSchemaVersion = 1;

    // Opens (creating when missing, owner-only) the store at path for the
    // given record types. Returns null and sets error on failure.
    static std::unique_ptr<ModelContainer> open(const QString &path, const QList<const EntityInfo *> &schema,
                                                QString *error);

    ~ModelContainer() override;

    ModelContext *mainContext() const { return m_context; }
    QString path() const { return m_path; }

private:
    ModelContainer(const QString &path, const QString &connectionName);
    bool initialise(const QList<const EntityInfo *> &schema, QString *error);

    QString m_path;
    QString m_connectionName;
    ModelContext *m_context = nullptr;
};
