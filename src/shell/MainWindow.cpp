// SPDX-License-Identifier: MIT
#include "MainWindow.h"

#include "AboutDialog.h"
#include "AppModel.h"
#include "ContentView.h"
#include "Store.h"
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

    m_toolBar = new QToolBar(tr("Toolbar"), this);
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
    QMenu *file = menuBar()->addMenu(tr("&File"));
    QAction *newScreen = file->addAction(tr("New Focus Screen"));
    newScreen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    // The sidebar page stays as it is; the new screen is selected.
    connect(newScreen, &QAction::triggered, m_content, &ContentView::createFocusScreen);
    QAction *settings = file->addAction(tr("Settings..."));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    file->addSeparator();
    QAction *close = file->addAction(tr("Close Window"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction *quit = file->addAction(tr("Quit Lumora"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(m_content->undoDeleteAction());

    QMenu *view = menuBar()->addMenu(tr("&View"));
    QAction *sidebar = view->addAction(tr("Show Sidebar"));
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
    toolbar->setText(tr("Show Toolbar"));
    toolbar->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T));
    view->addAction(toolbar);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    QAction *about = help->addAction(tr("About Lumora"));
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

AboutDialog *MainWindow::showAbout()
{
    if (!m_about) {
        m_about = new AboutDialog(Store::path(), AboutDialog::readmePath(), this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
    return m_about;
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
