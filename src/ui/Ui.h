// SPDX-License-Identifier: MIT
#pragma once

// Shared look and widgets of every window: the symbol table, themes, layout
// probes and window behaviour hooks.
