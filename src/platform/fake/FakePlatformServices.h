// SPDX-License-Identifier: MIT
#pragma once

#include "PlatformServices.h"

#include "AppCatalogue.h"

// The platform of unit tests: every service is a double from this folder,
// and nothing touches the desktop. What it made last stays reachable through
// the pointers below, for the test to drive and inspect (they are owned by
// whoever asked for them).
class FakePlatformServices final : public PlatformServices
{
public:
    std::unique_ptr<Workspace> makeWorkspace() override;
    std::unique_ptr<Accessibility> makeAccessibility(Workspace *workspace) override;
    std::unique_ptr<AppOpener> makeAppOpener() override;
    std::unique_ptr<UserNotifications> makeUserNotifications() override;
    std::unique_ptr<DoNotDisturb> makeDoNotDisturb() override;
    std::unique_ptr<SessionSound> makeSessionSound() override;
    std::unique_ptr<AppCatalogue> makeAppCatalogue() override;
    std::unique_ptr<HotKeyBackend> makeHotKeyBackend() override;
    std::unique_ptr<LoginItem> makeLoginItem(const QString &program) override;
    std::unique_ptr<RemoteControl> makeRemoteControl(const QString &serviceName) override;
    std::unique_ptr<DesktopColorScheme> makeDesktopColorScheme() override;
    // Qt's tray icon: unit tests run where no tray host is.
    std::unique_ptr<TrayIcon> makeTrayIcon() override;
    std::unique_ptr<OverlayKeeper> makeOverlayKeeper() override;
    std::unique_ptr<OverlayWatchdog> makeOverlayWatchdog(int timeoutMs, const QString &guardProgram) override;
    std::unique_ptr<DisplaySleepInhibitor> inhibitDisplaySleep(const QString &reason) override;
    void sendWindowRequests() override { ++windowRequestsSent; }
    int windowRequestsSent = 0;

    // The entries the catalogues it makes list.
    QList<DesktopEntry> installedApplications;

    class FakeWorkspace *workspace = nullptr;
    class FakeUserNotifications *notifications = nullptr;
    class FakeDoNotDisturb *doNotDisturb = nullptr;
    class FakeSessionSound *sound = nullptr;
    class FakeAppOpener *opener = nullptr;
    class FakeHotKeyBackend *hotKeys = nullptr;
    class FakeColorScheme *colorScheme = nullptr;
    class FakeOverlayKeeper *overlayKeeper = nullptr;
    class FakeOverlayWatchdog *overlayWatchdog = nullptr;
};
