// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <optional>

// Counts Esc presses towards the rapid exit: three presses each less than
// a second after the one before open the confirmation. Under a strict mode
// with a challenge every Esc is swallowed and nothing is counted.
class EscapeCounter
{
public:
    static constexpr qint64 kWindowMs = 1000;
    static constexpr int kPressesToConfirm = 3;

    enum class Outcome { passOn, swallow, confirm }; // confirm also swallows the press

    // strict: strict mode is on with a challenge type other than none.
    void reset(bool strict);
    Outcome press(qint64 nowMs);

    int count() const { return m_count; }
    bool isStrict() const { return m_strict; }

private:
    bool m_strict = false;
    int m_count = 0;
    std::optional<qint64> m_lastPressMs; // absent: the distant past
};
