// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class AppDelegate;
class AppModel;
class GridProbes;
class MainWindow;
class ModelContainer;
class PlatformServices;
class SessionServices;
class ShellExtension;
class QWidget;
class ThemeStore;

// The application: one store container shared by the windows and the
// delegate, the session machinery over the desktop's services, the main
// window, the settings window (made on first use) and the delegate. The
// windows take their accent from `themes` and report their layout to
// `probes`; these and the platform services are the program's and outlive
// the application.
class RemoteControl;

class LumoraApp : public QObject
{
    Q_OBJECT
public:
    LumoraApp(std::unique_ptr<ModelContainer> container, PlatformServices &platform, ThemeStore *themes,
              GridProbes *probes, QObject *parent = nullptr);
    ~LumoraApp() override;

    AppModel *model() const { return m_model.get(); }
    AppDelegate *delegate() const { return m_delegate.get(); }
    SessionServices &sessions() const { return *m_sessions; }
    MainWindow *mainWindow() const { return m_mainWindow.get(); }
    QWidget *settingsWindow() const;

    // Shows the main window (unless hidden) and runs the launch sequence.
    void launch(bool showMainWindow);
    void openMainWindow();
    void openSettings();
    // Where the settings learn which browsers are connected (the running
    // instance's remote control; none when it serves no bus).
    void setRemoteControl(RemoteControl *remote);

private:
    RemoteControl *m_remote = nullptr;
    ThemeStore *m_themes;
    std::unique_ptr<ModelContainer> m_container;
    std::unique_ptr<AppModel> m_model;
    PlatformServices &m_platform;
    std::unique_ptr<ShellExtension> m_shellExtension;
    // Destroyed in reverse order: windows and delegate before the session
    // machinery, and that before the store.
    std::unique_ptr<SessionServices> m_sessions;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<class SettingsView> m_settingsWindow;
};
