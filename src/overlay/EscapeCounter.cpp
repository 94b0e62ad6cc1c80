// SPDX-License-Identifier: MIT
#include "EscapeCounter.h"

void EscapeCounter::reset(bool strict)
{
    m_strict = strict;
    m_count = 0;
}

EscapeCounter::Outcome EscapeCounter::press(qint64 nowMs)
{
    if (m_strict)
        return Outcome::swallow;
    if (m_lastPressMs && nowMs - *m_lastPressMs < kWindowMs)
        ++m_count;
    else
        m_count = 1;
    m_lastPressMs = nowMs;
    if (m_count >= kPressesToConfirm) {
        m_count = 0;
        return Outcome::confirm;
    }
    return Outcome::passOn;
}
