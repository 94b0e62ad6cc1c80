// SPDX-License-Identifier: MIT
#include "LumoraApp.h"

#include "PlatformServices.h"

#include "AboutDialog.h"
#include "AppDelegate.h"
#include "AppModel.h"
#include "BrowserSection.h"
#include "ContentView.h"
#include "GeneralSettings.h"
#include "GnomeShellSection.h"
#include "LockJournal.h"
#include "MainWindow.h"
#include "ModelContainer.h"
#include "SelfTest.h"
#include "SessionServices.h"
#include "SettingsView.h"
#include "ShellExtension.h"
#include "Snapshot.h"
#include "StatusItem.h"
#include "Store.h"
#include "ThemeStore.h"
#include "Themed.h"

LumoraApp::LumoraApp(std::unique_ptr<ModelContainer> container, PlatformServices &platform,
                     ThemeStore *themes, GridProbes *probes, QObject *parent)
    : QObject(parent), m_themes(themes), m_container(std::move(container)),
      m_model(std::make_unique<AppModel>(m_container.get())), m_platform(platform),
      m_sessions(std::make_unique<SessionServices>(platform, LockJournal::pathForStore(Store::path())))
{
    // One container serves the windows and the delegate, so a session started
    // from the tray is in the main window's history at once.
    m_delegate = std::make_unique<AppDelegate>(m_container.get(), *m_sessions, platform, themes);
    m_delegate->openMainWindowHandler = [this] { openMainWindow(); };

    m_mainWindow = std::make_unique<MainWindow>(m_model.get(), themes, probes, &m_sessions->catalogue());
    m_mainWindow->setAttribute(Qt::WA_QuitOnClose, false);
    // Without a tray nothing would bring a hidden main window back.
    m_mainWindow->mayHideOnClose = [] { return StatusItem::isTrayAvailable(); };
    m_mainWindow->content()->setSelfTestHook([](AppModel &model) { SelfTest::runIfRequested(model); });
    m_mainWindow->content()->setSnapshotHook(
        [this, themes, probes](AppModel &model, const std::function<void()> &openSettings) {
            Snapshot::ShellWindows windows;
            windows.popover = [this]() -> QWidget * {
                m_delegate->showPopover();
                return m_delegate->popover();
            };
            windows.about = [this]() -> QWidget * { return m_mainWindow->showAbout(); };
            Snapshot::runIfRequested(model, openSettings, themes->appearance(), probes, m_platform,
                                     std::move(windows));
        });
    connect(m_mainWindow.get(), &MainWindow::settingsRequested, this, &LumoraApp::openSettings);
    connect(m_mainWindow.get(), &MainWindow::quitRequested, m_delegate.get(), &AppDelegate::requestQuit);
}

LumoraApp::~LumoraApp()
{
    m_settingsWindow.reset();
    m_mainWindow.reset();
    m_delegate.reset();
    m_sessions.reset();
}

QWidget *LumoraApp::settingsWindow() const
{
    return m_settingsWindow.get();
}

void LumoraApp::launch(bool showMainWindow)
{
    if (showMainWindow) {
        m_mainWindow->show();
        // Mapped by the window manager while the tray icon is made.
        m_platform.sendWindowRequests();
    }
    m_delegate->applicationDidFinishLaunching();
}

void LumoraApp::openMainWindow()
{
    m_mainWindow->bringForward();
}

void LumoraApp::setRemoteControl(RemoteControl *remote)
{
    m_remote = remote;
    if (m_settingsWindow)
        m_settingsWindow->general()->browserSection()->setRemoteControl(remote);
}

void LumoraApp::openSettings()
{
    if (!m_settingsWindow) {
        // The view is the window: its size follows the page shown.
        m_settingsWindow = std::make_unique<SettingsView>(m_model.get(), m_themes);
        m_settingsWindow->setWindowFlag(Qt::Window);
        m_settingsWindow->setObjectName(QStringLiteral("settings"));
        m_settingsWindow->setAttribute(Qt::WA_QuitOnClose, false);
        m_settingsWindow->general()->browserSection()->setRemoteControl(m_remote);
        m_shellExtension = m_platform.makeShellExtension();
        m_settingsWindow->general()->gnomeShellSection()->setExtension(m_shellExtension.get());
        // A shortcut chosen there takes effect at once.
        QPointer<AppDelegate> delegate(m_delegate.get());
        m_settingsWindow->general()->setShortcutApplier([delegate](const QString &text) {
            return delegate ? delegate->applyGlobalShortcut(text) : ShortcutRegistration::unavailable;
        });
        themed(m_settingsWindow.get(), m_themes);
    }
    m_settingsWindow->general()->setShortcutKeeper(m_delegate->shortcutKeeper());
    m_settingsWindow->general()->gnomeShellSection()->refresh();
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}
