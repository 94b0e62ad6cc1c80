// SPDX-License-Identifier: MIT
#include "FakePlatformServices.h"

#include "DisplaySleepInhibitor.h"
#include "FakeAccessibility.h"
#include "FakeAppCatalogue.h"
#include "FakeAppOpener.h"
#include "FakeColorScheme.h"
#include "FakeDoNotDisturb.h"
#include "FakeHotKeyBackend.h"
#include "FakeOverlayWindows.h"
#include "FakeUserNotifications.h"
#include "FakeWorkspace.h"
#include "LoginItem.h"
#include "RemoteControl.h"
#include "SystemTrayIcon.h"

namespace {

// A login item kept in memory.
class MemoryLoginItem final : public LoginItem
{
public:
    bool registerItem(QString *) override { return m_registered = true; }
    bool unregisterItem(QString *) override
    {
        m_registered = false;
        return true;
    }
    bool isRegistered() const override { return m_registered; }

private:
    bool m_registered = false;
};

// A remote control with no bus: it never serves, and nothing answers it.
class LonelyRemoteControl final : public RemoteControl
{
public:
    bool serve() override { return false; }
    Reply send(Request, const QString &) override
    {
        return {Reply::Outcome::unreachable, QStringLiteral("no bus"), {}};
    }
};

class NoInhibitor final : public DisplaySleepInhibitor
{};

} // namespace

std::unique_ptr<Workspace> FakePlatformServices::makeWorkspace()
{
    auto made = std::make_unique<FakeWorkspace>();
    workspace = made.get();
    return made;
}

std::unique_ptr<Accessibility> FakePlatformServices::makeAccessibility(Workspace *forWorkspace)
{
    return std::make_unique<FakeAccessibility>(qobject_cast<FakeWorkspace *>(forWorkspace));
}

std::unique_ptr<AppOpener> FakePlatformServices::makeAppOpener()
{
    auto made = std::make_unique<FakeAppOpener>();
    opener = made.get();
    return made;
}

std::unique_ptr<DoNotDisturb> FakePlatformServices::makeDoNotDisturb()
{
    auto made = std::make_unique<FakeDoNotDisturb>();
    doNotDisturb = made.get();
    return made;
}

std::unique_ptr<SessionSound> FakePlatformServices::makeSessionSound()
{
    auto made = std::make_unique<FakeSessionSound>();
    sound = made.get();
    return made;
}

std::unique_ptr<UserNotifications> FakePlatformServices::makeUserNotifications()
{
    auto made = std::make_unique<FakeUserNotifications>();
    notifications = made.get();
    return made;
}

std::unique_ptr<AppCatalogue> FakePlatformServices::makeAppCatalogue()
{
    return std::make_unique<FakeAppCatalogue>(installedApplications);
}

std::unique_ptr<HotKeyBackend> FakePlatformServices::makeHotKeyBackend()
{
    auto made = std::make_unique<FakeHotKeyBackend>();
    hotKeys = made.get();
    return made;
}

std::unique_ptr<LoginItem> FakePlatformServices::makeLoginItem(const QString &)
{
    return std::make_unique<MemoryLoginItem>();
}

std::unique_ptr<RemoteControl> FakePlatformServices::makeRemoteControl(const QString &)
{
    return std::make_unique<LonelyRemoteControl>();
}

std::unique_ptr<TrayIcon> FakePlatformServices::makeTrayIcon()
{
    return std::make_unique<SystemTrayIcon>();
}

std::unique_ptr<DesktopColorScheme> FakePlatformServices::makeDesktopColorScheme()
{
    auto made = std::make_unique<FakeColorScheme>();
    colorScheme = made.get();
    return made;
}

std::unique_ptr<OverlayKeeper> FakePlatformServices::makeOverlayKeeper()
{
    auto keeper = std::make_unique<FakeOverlayKeeper>();
    overlayKeeper = keeper.get();
    return keeper;
}

std::unique_ptr<OverlayWatchdog> FakePlatformServices::makeOverlayWatchdog(int, const QString &)
{
    auto watchdog = std::make_unique<FakeOverlayWatchdog>();
    overlayWatchdog = watchdog.get();
    return watchdog;
}

std::unique_ptr<DisplaySleepInhibitor> FakePlatformServices::inhibitDisplaySleep(const QString &)
{
    return std::make_unique<NoInhibitor>();
}
