// SPDX-License-Identifier: MIT
#pragma once

#include "Migration.h"
#include "PersistentModel.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <memory>

class ModelContext;

struct StoreOpenOptions
{
    // False: open (and migrate) the store but read no records into the
    // context; for readers that go through database() row by row.
    bool loadRecords = true;
    // Told each stage of a migration (tests stop the program there).
    Migration::Probe migrationProbe;
};

// One open store file. Opening checks that the file is a store this release
// can read before anything is written to it, so a damaged, foreign or newer
// file is reported and left exactly as it was.
class ModelContainer : public QObject
{
    Q_OBJECT
public:
    // Opens (creating when missing, owner-only) the store at path for the
    // given record types, bringing a store of an older schema version up to
    // this release's (see Migration.h). Returns null and sets error on
    // failure; the file is then as it was.
    static std::unique_ptr<ModelContainer> open(const QString &path, const QList<const EntityInfo *> &schema,
                                                QString *error, const StoreOpenOptions &options = {});

    ~ModelContainer() override;

    ModelContext *mainContext() const { return m_context; }
    QString path() const { return m_path; }
    // The connection, for reading rows without keeping them.
    QSqlDatabase database() const;
    // When opening brought the store up from an older version: the copy of
    // the old store kept beside it, and the version it was at.
    QString backupPath() const { return m_backupPath; }
    int migratedFrom() const { return m_migratedFrom; }

private:
    ModelContainer(const QString &path, const QString &connectionName);
    bool initialise(const QList<const EntityInfo *> &schema, const StoreOpenOptions &options, QString *error);

    QString m_path;
    QString m_connectionName;
    ModelContext *m_context = nullptr;
    QString m_backupPath;
    int m_migratedFrom = 0;
};
