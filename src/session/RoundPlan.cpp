// SPDX-License-Identifier: MIT
#include "RoundPlan.h"

#include "FocusScreen.h"
#include "RoundLimits.h"

#include <algorithm>

RoundPlan RoundPlan::of(const FocusScreen &screen)
{
    RoundPlan plan;
    plan.rounds = int(std::clamp<qint64>(screen.rounds(), 1, RoundLimits::kMaxRounds));
    plan.roundLength = screen.duration();
    plan.breakLength = std::max(0.0, screen.breakLength());
    plan.longBreakEvery = int(std::clamp<qint64>(screen.longBreakEvery(), 0, RoundLimits::kMaxRounds));
    plan.longBreakLength = std::max(0.0, screen.longBreakLength());
    plan.appsBackDuringBreak = screen.appsBackDuringBreak();
    return plan;
}

bool RoundPlan::isLongBreakAfter(int round) const
{
    return round < rounds && longBreakEvery > 0 && round % longBreakEvery == 0 && longBreakLength > 0;
}

double RoundPlan::breakAfter(int round) const
{
    if (round < 1 || round >= rounds)
        return 0;
    return isLongBreakAfter(round) ? longBreakLength : breakLength;
}

double RoundPlan::totalLength() const
{
    double total = roundLength * rounds;
    for (int round = 1; round < rounds; ++round)
        total += breakAfter(round);
    return total;
}
