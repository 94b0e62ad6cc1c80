// SPDX-License-Identifier: MIT
#pragma once

class FocusScreen;

// How a focus screen's session runs in rounds: `rounds` focus rounds of the
// screen's length, a break after each but the last, every `longBreakEvery`th
// of them a long one. A screen with 0 or 1 rounds runs one session.
struct RoundPlan
{
    int rounds = 1;
    double roundLength = 0;     // seconds
    double breakLength = 0;     // seconds; 0: the next round follows at once
    int longBreakEvery = 0;     // 0: no long breaks
    double longBreakLength = 0; // seconds
    // Hidden applications come back during breaks (else they stay hidden).
    bool appsBackDuringBreak = true;

    static RoundPlan of(const FocusScreen &screen);

    // The break after round `round` (1-based): its length, 0 for none (after
    // the last round, or a break length of 0).
    double breakAfter(int round) const;
    bool isLongBreakAfter(int round) const;
    // Every round and break, in seconds.
    double totalLength() const;
};
