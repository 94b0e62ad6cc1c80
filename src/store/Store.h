// SPDX-License-Identifier: MIT
#pragma once

#include "ModelContainer.h"

#include <QList>
#include <QUrl>

#include <memory>

// Where the store file lives and how it is opened.
namespace Store {

// The four record types, in schema order.
QList<const EntityInfo *> schema();

// File URL of the store: the path in APP_STORE when set and non-empty,
// otherwise $XDG_DATA_HOME/Lumora/Lumora.store (the folder is created,
// owner-only, when missing). Computed on every call.
QUrl url();
QString path();

// True exactly when APP_STORE is present and not empty.
bool isOverridden();

// Opens the store; returns null and sets error on failure.
std::unique_ptr<ModelContainer> openContainer(QString *error, const StoreOpenOptions &options = {});

// Opens the store; on failure writes
// "Could not open the database at <path>: <error>" to standard error and
// returns null. When opening brought the store up to date, it says so there
// and names the copy of the old one.
std::unique_ptr<ModelContainer> openOrReport(const StoreOpenOptions &options = {});

// Opens the store or ends the process: on failure it writes
// "Could not open the database at <path>: <error>" to standard error and
// exits with status 1.
std::unique_ptr<ModelContainer> makeContainer();

} // namespace Store
