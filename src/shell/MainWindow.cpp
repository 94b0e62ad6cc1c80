#include "MainWindow.h"

#include "AppModel.h"
#include "ContentView.h"
#include "Themed.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>

MainWindow::MainWindow(AppModel *model, ThemeStore *themes, GridProbes *probes, const AppCatalogue *catalogue,
                       QWidget *parent)
    : QMainWindow(parent), m_model(model), m_content(new ContentView(model, themes, probes, catalogue, this))
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Lumora"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kDefaultWidth, kDefaultHeight);
    setCentralWidget(m_content);

    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFixedHeight(kToolBarHeight);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_content->populateToolBar(m_toolBar);
    // Pages without a toolbar action would otherwise collapse the toolbar
    // and make the content jump between pages.
    auto *keepHeight = new QWidget(m_toolBar);
    keepHeight->setFixedSize(1, kToolBarHeight - 2 * m_toolBar->layout()->contentsMargins().top());
    m_toolBar->addWidget(keepHeight);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    connect(m_content, &ContentView::openSettingsRequested, this, &MainWindow::settingsRequested);
    buildMenus();
    themed(this, themes);
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *newScreen = file->addAction(QStringLiteral("New Focus Screen"));
    newScreen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newScreen, &QAction::triggered, this, [this] {
        // The sidebar page stays as it is; the new screen is selected.
        m_model->addFocusScreen(QStringLiteral("New Focus Screen"), 600, LockMode::hideApps);
    });
    QAction *settings = file->addAction(QStringLiteral("Settings..."));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    file->addSeparator();
    QAction *close = file->addAction(QStringLiteral("Close Window"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction *quit = file->addAction(QStringLiteral("Quit Lumora"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction *sidebar = view->addAction(QStringLiteral("Show Sidebar"));
    sidebar->setCheckable(true);
    sidebar->setChecked(true);
    sidebar->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    connect(sidebar, &QAction::toggled, this, [this](bool visible) {
        if (auto *splitter = m_content->findChild<QSplitter *>()) {
            if (QWidget *first = splitter->widget(0))
                first->setVisible(visible);
        }
    });
    QAction *toolbar = m_toolBar->toggleViewAction();
    toolbar->setText(QStringLiteral("Show Toolbar"));
    toolbar->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T));
    view->addAction(toolbar);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A logout closes every window and must not be held up.
    if (mayHideOnClose && !mayHideOnClose() && !qApp->isSavingSession()) {
        event->ignore();
        showMinimized();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::bringForward()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}
