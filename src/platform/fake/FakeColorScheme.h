// SPDX-License-Identifier: MIT
#pragma once

#include "DesktopColorScheme.h"

// A preference the test sets.
class FakeColorScheme final : public DesktopColorScheme
{
    Q_OBJECT
public:
    Preference preference() const override { return m_preference; }
    void setPreference(Preference preference)
    {
        if (preference == m_preference)
            return;
        m_preference = preference;
        Q_EMIT preferenceChanged();
    }

private:
    Preference m_preference = Preference::none;
};
