// SPDX-License-Identifier: MIT
#pragma once

#include "AppModel.h"
#include "DeletedRecord.h"
#include "SessionExport.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class AppCatalogue;
class AppLockProfileDetail;
class AppLockProfileList;
class EmptyStatePanel;
class FocusScreen;
class FocusScreenDetail;
class FocusScreenList;
class FocusSessionDetail;
class FocusSessionList;
class GridProbes;
class QAction;
class QLabel;
class QSplitter;
class QStackedWidget;
class QToolBar;
class SettingsPlaceholder;
class Sidebar;
class ThemeStore;

// The main window's content: a sidebar of pages, the chosen page's list and
// the chosen record's editor, side by side. Which page and which record are
// shown lives in the AppModel. Each time the content is shown anew it runs
// the start-up work: the seed, then the self-test and snapshot hooks.
class ContentView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSidebarMinimumWidth = 180;
    static constexpr int kSidebarIdealWidth = 212;
    static constexpr int kListMinimumWidth = 260;
    static constexpr int kListIdealWidth = 320;
    static constexpr int kDetailMinimumWidth = 300;
    static constexpr int kDetailIdealWidth = 568;

    // Called with the model during the start-up work; empty by default.
    using StartupHook = std::function<void(AppModel &)>;
    // Also given the action that opens the settings window.
    using SnapshotHook = std::function<void(AppModel &, const std::function<void()> &openSettings)>;

    // The pages draw in the accent of `themes` and, with probes on, report
    // their layout to `probes` (both the program's, outliving the view);
    // `catalogue` is the installed applications, for choosing allowed ones.
    ContentView(AppModel *model, ThemeStore *themes, GridProbes *probes, const AppCatalogue *catalogue,
                QWidget *parent = nullptr);
    ~ContentView() override;

    AppModel *model() const { return m_model; }

    // "New Focus Screen" (toolbar, Ctrl+N): makes and selects a screen and,
    // when its editor shows, puts the focus in its name with the name selected.
    FocusScreen *createFocusScreen();

    void setSelfTestHook(StartupHook hook) { m_selfTestHook = std::move(hook); }
    void setSnapshotHook(SnapshotHook hook) { m_snapshotHook = std::move(hook); }

    // The window toolbar's actions, in order; each is visible only on its page.
    QList<QAction *> toolbarActions() const;
    void populateToolBar(QToolBar *toolBar) const;
    QAction *newFocusScreenAction() const { return m_newFocusScreen; }
    QAction *newProfileAction() const { return m_newProfile; }
    QAction *openSettingsAction() const { return m_openSettings; }
    // "Export…" on the Sessions page: asks for a file and writes every
    // session there (CSV, or JSON for a name ending in .json).
    QAction *exportSessionsAction() const { return m_exportSessions; }
    // Writes every session to the file (whole or not at all), after saving
    // what is pending; on failure it says why in a message box.
    SessionExport::Result exportSessionsTo(const QString &path, SessionExport::Format format);
    // "Undo Delete" (Ctrl+Z): brings back the last focus screen or profile
    // deleted while the window was open; disabled when there is none.
    QAction *undoDeleteAction() const { return m_undoDelete; }
    // The bar below the columns that offers the same.
    QWidget *undoBar() const { return m_undoBar; }
    void undoDelete();

    QSplitter *splitter() const { return m_splitter; }
    Sidebar *sidebar() const { return m_sidebar; }
    // What the middle and right columns show now.
    QWidget *currentList() const;
    QWidget *currentDetail() const;

    // The pages and the placeholders, built when first shown (null before).
    FocusScreenList *focusScreenList() const { return m_focusScreenList; }
    FocusScreenDetail *focusScreenDetail() const { return m_focusScreenDetail; }
    FocusSessionList *sessionList() const { return m_sessionList; }
    FocusSessionDetail *sessionDetail() const { return m_sessionDetail; }
    AppLockProfileList *lockProfileList() const { return m_lockProfileList; }
    AppLockProfileDetail *lockProfileDetail() const { return m_lockProfileDetail; }
    SettingsPlaceholder *settingsPlaceholder() const { return m_settingsPlaceholder; }
    EmptyStatePanel *noPagePanel() const { return m_noPage; }
    EmptyStatePanel *noSelectionPanel() const { return m_noSelection; }

Q_SIGNALS:
    // "Open Settings" was chosen; the shell brings up the settings window.
    void openSettingsRequested();
    // The start-up work of one showing has run.
    void started();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showPage();
    void focusNewScreen();
    void chooseExportFile();
    void offerUndo(const DeletedRecord &record);
    void forgetUndo();
    EmptyStatePanel *noPage();
    EmptyStatePanel *noSelection();
    void runStartup();

    QPointer<AppModel> m_model;
    const AppCatalogue *m_catalogue = nullptr;
    QPointer<ThemeStore> m_themes;
    QPointer<GridProbes> m_probes;
    StartupHook m_selfTestHook;
    SnapshotHook m_snapshotHook;
    bool m_visible = false;

    QSplitter *m_splitter;
    Sidebar *m_sidebar;
    QStackedWidget *m_lists;
    QStackedWidget *m_details;
    EmptyStatePanel *m_noPage = nullptr;
    EmptyStatePanel *m_noSelection = nullptr;
    FocusScreenList *m_focusScreenList = nullptr;
    FocusScreenDetail *m_focusScreenDetail = nullptr;
    FocusSessionList *m_sessionList = nullptr;
    FocusSessionDetail *m_sessionDetail = nullptr;
    AppLockProfileList *m_lockProfileList = nullptr;
    AppLockProfileDetail *m_lockProfileDetail = nullptr;
    SettingsPlaceholder *m_settingsPlaceholder = nullptr;

    QAction *m_newFocusScreen;
    QAction *m_newProfile;
    QAction *m_openSettings;
    QAction *m_exportSessions;
    QAction *m_undoDelete;
    QWidget *m_undoBar;
    QLabel *m_undoText;
    DeletedRecord m_deleted;
};
