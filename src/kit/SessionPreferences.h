// SPDX-License-Identifier: MIT
#pragma once

// The user's choices for every focus session, kept in the user defaults
// (not in the store): both are on until the user turns them off.
namespace SessionPreferences {

// "Do Not Disturb While Focusing": other programs' notifications are held
// back during a session.
bool doNotDisturb();
void setDoNotDisturb(bool on);

// "Play a Sound When a Session Ends".
bool endSound();
void setEndSound(bool on);

} // namespace SessionPreferences
