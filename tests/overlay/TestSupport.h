// SPDX-License-Identifier: MIT
#pragma once

#include "ExitChallenge.h"

#include <QList>
#include <QPair>

#include <memory>

// A random source that hands out the given numbers in turn (then the lowest
// allowed value) and records the ranges it was asked for.
struct ScriptedRandom
{
    std::shared_ptr<QList<int>> values = std::make_shared<QList<int>>();
    std::shared_ptr<QList<QPair<int, int>>> asked = std::make_shared<QList<QPair<int, int>>>();

    explicit ScriptedRandom(QList<int> script) { *values = std::move(script); }

    RandomSource source() const
    {
        return [values = values, asked = asked](int lowest, int highest) {
            asked->append({lowest, highest});
            return values->isEmpty() ? lowest : values->takeFirst();
        };
    }
};
