// SPDX-License-Identifier: MIT
#include "FocusSession.h"

LUMORA_DEFINE_RECORD(FocusSession, LUMORA_FOCUS_SESSION_FIELDS, 1)

FocusSession::FocusSession(const QUuid &focusScreenID, const QDateTime &startTime)
    : m_focusScreenID(focusScreenID), m_startTime(startTime)
{}

void FocusSession::complete(const QDateTime &at)
{
    setEndTime(at);
    setActualDuration(double(m_startTime.msecsTo(at)) / 1000.0);
    setCompleted(true);
}
