// SPDX-License-Identifier: MIT
#pragma once

#include "PersistentModel.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <span>

// The store's schema versions and the steps between them. Version 1 is the
// first store; each step brings a store from the version before it to its
// own. A step adds the tables and columns declared with its version (see
// RecordFields.h) and may then change stored rows.
namespace Migration {

struct Step
{
    int version;      // the version the step brings the store to
    const char *what; // what it does, named when it fails
    // Changes to stored rows once the step's tables and columns are there;
    // may be null. Returns false and sets error on failure.
    bool (*rows)(QSqlDatabase &db, QString *error) = nullptr;
};

// Every step, from version 2 upwards, in order.
std::span<const Step> steps();

// The version a store is at once every step has run.
int latestVersion();

// Stages a migration passes, for tests that stop the program there.
enum class Stage {
    backedUp,  // the copy is written; nothing in the store has changed
    stepsRun,  // every step ran; the transaction is not committed yet
    committed, // the store is at the latest version
};
using Probe = std::function<void(Stage)>;

// Creates the tables of a new, empty store at the latest version and stamps
// the version, in one transaction.
bool create(QSqlDatabase &db, const QList<const EntityInfo *> &schema, QString *error);

// Checks that every table and column the given version has is there.
bool check(QSqlDatabase &db, const QList<const EntityInfo *> &schema, int version, QString *error);

// The name of the copy kept beside the store at `path` before it is brought
// up from `version`: <path>.v<version>.bak, or <path>.v<version>-<n>.bak when
// that name is taken.
QString backupPath(const QString &path, int version);

// Brings the store at `path`, open as `db` and at version `from` (checked
// already), to the latest version. First a copy of the store is written
// beside it (owner-only); then every step from `from` runs in order inside
// one transaction, which also stamps the new version, so the file is at the
// old or the new version whatever happens. On failure the store is left as it
// was, the copy is removed and error says which step failed and why. On
// success *backup names the copy.
bool migrate(QSqlDatabase &db, const QString &path, const QList<const EntityInfo *> &schema, int from,
             QString *backup, QString *error, const Probe &probe = {});

} // namespace Migration
