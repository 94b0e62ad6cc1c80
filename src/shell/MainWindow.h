// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

class AppCatalogue;
class AppModel;
class ContentView;
class GridProbes;
class ThemeStore;

// The main window: the content view with its toolbar, and the menu bar with
// "New Focus Screen", "Settings...", the sidebar and toolbar commands and Quit.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 1100;
    static constexpr int kDefaultHeight = 720;
    static constexpr int kMinimumWidth = 760;
    static constexpr int kMinimumHeight = 480;
    static constexpr int kToolBarHeight = 40;

    // Tinted by `themes`; the pages report their layout to `probes` and
    // offer the applications of `catalogue` to choose from.
    MainWindow(AppModel *model, ThemeStore *themes, GridProbes *probes, const AppCatalogue *catalogue,
               QWidget *parent = nullptr);

    ContentView *content() const { return m_content; }
    // Brings the window forward on the current desktop.
    void bringForward();
    // Help → About Lumora: opens the dialog (or brings it forward).
    class AboutDialog *showAbout();

    // Whether closing the window may hide it (the tray brings it back);
    // when this says no, closing minimises it instead, so that it stays
    // reachable. Unset: closing hides.
    std::function<bool()> mayHideOnClose;

Q_SIGNALS:
    void settingsRequested();
    // "Quit Lumora" (Ctrl+Q); the shell decides whether the program may quit now.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();

    AppModel *m_model;
    ContentView *m_content;
    class QToolBar *m_toolBar;
    QPointer<class AboutDialog> m_about;
};
