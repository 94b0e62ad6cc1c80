// SPDX-License-Identifier: MIT
#include "FakeUserNotifications.h"
