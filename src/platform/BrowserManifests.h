// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The native-messaging host manifests that tell Chromium and Firefox where
// Lumora's host is and which extension may talk to it. The package installs
// them system-wide; a user can have them written to the per-user folders
// the browsers look in (for a Lumora of their own, or a browser that
// ignores the system folders).
namespace BrowserManifests {

// The name the browsers know the host by.
constexpr const char *kHostName = "io.github.lumora.lumora";
// The extension's ids: Chromium's follows from the key in its manifest,
// Firefox's is its browser_specific_settings id.
constexpr const char *kChromiumExtensionId = "cmepddnafagflcolaoelcigfpgmdkipk";
constexpr const char *kFirefoxExtensionId = "focus@lumora.github.io";

QByteArray chromiumManifest(const QString &program);
QByteArray firefoxManifest(const QString &program);

// The per-user manifest files: Chromium's ($XDG_CONFIG_HOME/chromium),
// Google Chrome's when that browser has a profile folder, and Firefox's
// (~/.mozilla).
QStringList userManifestPaths();

struct Result
{
    QStringList written; // paths
    QStringList errors;  // "path: reason"
};
// Writes the per-user manifests naming `program` as the host.
Result installForUser(const QString &program);

} // namespace BrowserManifests
