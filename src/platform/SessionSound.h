// SPDX-License-Identifier: MIT
#pragma once

// The sound of a focus session's end: the desktop sound theme's "complete"
// event. Failures are never reported back: a desktop without a sound
// server simply plays nothing, and the session ends as usual.
class SessionSound
{
public:
    virtual ~SessionSound() = default;
    virtual void playComplete() = 0;
};
