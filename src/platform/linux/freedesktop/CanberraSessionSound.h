// SPDX-License-Identifier: MIT
#pragma once

#include "SessionSound.h"

struct ca_context;

// Plays the freedesktop sound theme's events through libcanberra (which
// finds the theme's file and the sound server). The context is made at the
// first sound and kept; nothing is played when there is no sound server.
class CanberraSessionSound : public SessionSound
{
public:
    CanberraSessionSound() = default;
    ~CanberraSessionSound() override;
    CanberraSessionSound(const CanberraSessionSound &) = delete;
    CanberraSessionSound &operator=(const CanberraSessionSound &) = delete;

    void playComplete() override;

private:
    ca_context *m_context = nullptr;
};
