// SPDX-License-Identifier: MIT
#include "AppSettings.h"

LUMORA_DEFINE_RECORD(AppSettings, LUMORA_APP_SETTINGS_FIELDS, 1)
