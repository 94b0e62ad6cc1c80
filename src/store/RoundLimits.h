// SPDX-License-Identifier: MIT
#pragma once

// The bounds of a focus screen's rounds.
namespace RoundLimits {
// More rounds than this in one cycle are read as this many.
inline constexpr int kMaxRounds = 24;
} // namespace RoundLimits
