// SPDX-License-Identifier: MIT
#include "FakeAppOpener.h"
