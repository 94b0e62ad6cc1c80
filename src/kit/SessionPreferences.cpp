// SPDX-License-Identifier: MIT
#include "SessionPreferences.h"

#include "UserDefaults.h"

namespace {

constexpr auto kDoNotDisturbKey = "session.doNotDisturb";
constexpr auto kEndSoundKey = "session.endSound";

bool read(const char *key)
{
    return UserDefaults::open()->value(QLatin1StringView(key), true).toBool();
}

void write(const char *key, bool on)
{
    UserDefaults::open()->setValue(QLatin1StringView(key), on);
}

} // namespace

namespace SessionPreferences {

bool doNotDisturb()
{
    return read(kDoNotDisturbKey);
}

void setDoNotDisturb(bool on)
{
    write(kDoNotDisturbKey, on);
}

bool endSound()
{
    return read(kEndSoundKey);
}

void setEndSound(bool on)
{
    write(kEndSoundKey, on);
}

} // namespace SessionPreferences
