// SPDX-License-Identifier: MIT
#pragma once

// The platform services the system uses are declared as interfaces in this
// folder; src/platform/linux holds their X11 / D-Bus / XDG implementations and
// src/platform/fake the test doubles.
