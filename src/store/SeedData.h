// SPDX-License-Identifier: MIT
#pragma once

class AppModel;

// Sample records for development runs on a scratch store.
namespace SeedData {

// With APP_SEED exactly "1" and APP_STORE set: inserts the three sample focus
// screens, the "Work Focus" profile and one finished session when the store
// has no focus screens, and a settings row when it has none; then saves.
// With APP_SEED "1" but no APP_STORE it prints one line and does nothing.
void insertIfRequested(AppModel &model);

} // namespace SeedData
