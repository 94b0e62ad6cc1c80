// SPDX-License-Identifier: MIT
#include "ContentView.h"

#include "AppLockProfileDetail.h"
#include "AppLockProfileList.h"
#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "FocusScreenDetail.h"
#include "FocusScreenList.h"
#include "FocusSessionDetail.h"
#include "FocusSessionList.h"
#include "GridOverlay.h"
#include "GridProbes.h"
#include "PersistentModel.h"
#include "SeedData.h"
#include "SettingsPlaceholder.h"
#include "Sidebar.h"
#include "Symbols.h"
#include "ThemeStore.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int kHandleWidth = 1;
constexpr int kUndoBarMargin = 12;

QStackedWidget *makeColumn(const char *objectName, int minimumWidth, QPalette::ColorRole background,
                           QWidget *parent)
{
    auto *column = new QStackedWidget(parent);
    column->setObjectName(QLatin1String(objectName));
    column->setMinimumWidth(minimumWidth);
    column->setBackgroundRole(background);
    column->setAutoFillBackground(true);
    return column;
}
} // namespace

ContentView::ContentView(AppModel *model, ThemeStore *themes, GridProbes *probes,
                         const AppCatalogue *catalogue, QWidget *parent)
    : QWidget(parent), m_model(model), m_catalogue(catalogue), m_themes(themes), m_probes(probes)
{
    setObjectName(QStringLiteral("contentView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("columns"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(kHandleWidth);
    layout->addWidget(m_splitter);

    m_sidebar = new Sidebar(model, m_splitter);
    m_sidebar->setMinimumWidth(kSidebarMinimumWidth);
    m_lists = makeColumn("listColumn", kListMinimumWidth, QPalette::Base, m_splitter);
    m_details = makeColumn("detailColumn", kDetailMinimumWidth, QPalette::Window, m_splitter);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_lists);
    m_splitter->addWidget(m_details);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setStretchFactor(2, 1);
    m_splitter->setSizes({kSidebarIdealWidth, kListIdealWidth, kDetailIdealWidth});

    m_newFocusScreen = new QAction(Symbols::icon(QStringLiteral("plus")), tr("New Focus Screen"), this);
    m_newFocusScreen->setObjectName(QStringLiteral("newFocusScreenAction"));
    m_newFocusScreen->setToolTip(tr("Add a focus screen (Ctrl+N)"));
    connect(m_newFocusScreen, &QAction::triggered, this, &ContentView::createFocusScreen);
    m_newProfile = new QAction(Symbols::icon(QStringLiteral("plus")), tr("New Profile"), this);
    m_newProfile->setObjectName(QStringLiteral("newProfileAction"));
    m_newProfile->setToolTip(tr("Add a lock profile"));
    connect(m_newProfile, &QAction::triggered, this, [this] {
        if (m_model)
            AppLockProfileList::createProfile(*m_model);
    });
    m_exportSessions = new QAction(tr("Export\u2026"), this);
    m_exportSessions->setObjectName(QStringLiteral("exportSessionsAction"));
    m_exportSessions->setToolTip(tr("Save every session as a CSV or JSON file"));
    connect(m_exportSessions, &QAction::triggered, this, &ContentView::chooseExportFile);
    m_undoDelete = new QAction(tr("Undo Delete"), this);
    m_undoDelete->setObjectName(QStringLiteral("undoDeleteAction"));
    m_undoDelete->setShortcut(QKeySequence::Undo);
    m_undoDelete->setEnabled(false);
    addAction(m_undoDelete);
    connect(m_undoDelete, &QAction::triggered, this, &ContentView::undoDelete);

    m_undoBar = new QWidget(this);
    m_undoBar->setObjectName(QStringLiteral("undoBar"));
    m_undoBar->setBackgroundRole(QPalette::AlternateBase);
    m_undoBar->setAutoFillBackground(true);
    auto *undoRow = new QHBoxLayout(m_undoBar);
    undoRow->setContentsMargins(kUndoBarMargin, kUndoBarMargin / 2, kUndoBarMargin, kUndoBarMargin / 2);
    m_undoText = new QLabel(m_undoBar);
    m_undoText->setObjectName(QStringLiteral("undoText"));
    m_undoText->setTextFormat(Qt::PlainText);
    undoRow->addWidget(m_undoText, 1);
    auto *undoButton = new QPushButton(tr("Undo"), m_undoBar);
    undoButton->setObjectName(QStringLiteral("undoButton"));
    connect(undoButton, &QPushButton::clicked, this, &ContentView::undoDelete);
    undoRow->addWidget(undoButton);
    auto *dismiss = new QPushButton(tr("Dismiss"), m_undoBar);
    dismiss->setObjectName(QStringLiteral("dismissUndoButton"));
    dismiss->setFlat(true);
    connect(dismiss, &QPushButton::clicked, m_undoBar, &QWidget::hide);
    undoRow->addWidget(dismiss);
    layout->addWidget(m_undoBar);
    m_undoBar->hide();

    m_openSettings = new QAction(tr("Open Settings"), this);
    m_openSettings->setObjectName(QStringLiteral("openSettingsAction"));
    connect(m_openSettings, &QAction::triggered, this, &ContentView::openSettingsRequested);

    connect(model, &AppModel::sidebarChanged, this, &ContentView::showPage);
    showPage();

    GridOverlay::installIfEnabled(this, probes);
}

ContentView::~ContentView() = default;

QList<QAction *> ContentView::toolbarActions() const
{
    return {m_newFocusScreen, m_newProfile, m_exportSessions, m_openSettings};
}

void ContentView::populateToolBar(QToolBar *toolBar) const
{
    toolBar->addActions(toolbarActions());
}

void ContentView::offerUndo(const DeletedRecord &record)
{
    m_deleted = record;
    m_undoDelete->setText(tr("Undo Delete “%1”").arg(record.name()));
    m_undoDelete->setEnabled(true);
    m_undoText->setText(tr("“%1” was deleted.").arg(record.name()));
    m_undoBar->show();
}

void ContentView::forgetUndo()
{
    m_deleted = {};
    m_undoDelete->setText(tr("Undo Delete"));
    m_undoDelete->setEnabled(false);
    m_undoBar->hide();
}

void ContentView::undoDelete()
{
    if (!m_model || m_deleted.isEmpty())
        return;
    const PersistentModel *restored = m_deleted.restore(*m_model->context());
    forgetUndo();
    if (restored)
        m_model->setSelection(restored->id());
}

FocusScreen *ContentView::createFocusScreen()
{
    if (!m_model)
        return nullptr;
    FocusScreen *screen = FocusScreenList::createFocusScreen(*m_model);
    focusNewScreen();
    return screen;
}

void ContentView::focusNewScreen()
{
    if (m_focusScreenDetail && m_focusScreenDetail->isVisible() && m_focusScreenDetail->showsForm())
        m_focusScreenDetail->beginNaming();
}

QWidget *ContentView::currentList() const
{
    return m_lists->currentWidget();
}

QWidget *ContentView::currentDetail() const
{
    return m_details->currentWidget();
}

void ContentView::showPage()
{
    const std::optional<SidebarItem> page = m_model ? m_model->sidebar() : std::nullopt;
    QWidget *list = nullptr;
    QWidget *detail = nullptr;
    if (page == SidebarItem::focusScreens) {
        if (!m_focusScreenList) {
            m_focusScreenList = new FocusScreenList(m_model, m_themes, m_probes, m_lists);
            m_lists->addWidget(m_focusScreenList);
            connect(m_focusScreenList, &FocusScreenList::created, this, &ContentView::focusNewScreen);
            connect(m_focusScreenList, &RecordList::recordDeleted, this, &ContentView::offerUndo);
            m_focusScreenDetail = new FocusScreenDetail(m_model, m_probes, m_catalogue, m_details);
            m_details->addWidget(m_focusScreenDetail);
        }
        list = m_focusScreenList;
        detail = m_focusScreenDetail;
    } else if (page == SidebarItem::sessions) {
        if (!m_sessionList) {
            m_sessionList = new FocusSessionList(m_model, m_lists);
            m_lists->addWidget(m_sessionList);
            m_sessionDetail = new FocusSessionDetail(m_model, m_details);
            m_details->addWidget(m_sessionDetail);
        }
        list = m_sessionList;
        detail = m_sessionDetail;
    } else if (page == SidebarItem::profiles) {
        if (!m_lockProfileList) {
            m_lockProfileList = new AppLockProfileList(m_model, m_lists);
            m_lists->addWidget(m_lockProfileList);
            connect(m_lockProfileList, &RecordList::recordDeleted, this, &ContentView::offerUndo);
            m_lockProfileDetail = new AppLockProfileDetail(m_model, m_catalogue, m_details);
            m_details->addWidget(m_lockProfileDetail);
        }
        list = m_lockProfileList;
        detail = m_lockProfileDetail;
    } else if (page == SidebarItem::settings) {
        if (!m_settingsPlaceholder) {
            m_settingsPlaceholder = new SettingsPlaceholder(m_lists);
            m_lists->addWidget(m_settingsPlaceholder);
        }
        list = m_settingsPlaceholder;
    }
    m_lists->setCurrentWidget(list ? list : noPage());
    m_details->setCurrentWidget(detail ? detail : noSelection());

    m_newFocusScreen->setVisible(page == SidebarItem::focusScreens);
    m_newProfile->setVisible(page == SidebarItem::profiles);
    m_exportSessions->setVisible(page == SidebarItem::sessions);
    m_openSettings->setVisible(page == SidebarItem::settings);
}

void ContentView::chooseExportFile()
{
    const QString csvFilter = tr("CSV (*.csv)");
    const QString jsonFilter = tr("JSON (*.json)");
    QString filter = csvFilter;
    QString path = QFileDialog::getSaveFileName(this, tr("Export Sessions"),
                                                QDir::home().filePath(QStringLiteral("lumora-sessions.csv")),
                                                csvFilter + QStringLiteral(";;") + jsonFilter, &filter);
    if (path.isEmpty())
        return;
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) ||
                      (filter == jsonFilter && !path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive));
    if (QFileInfo(path).suffix().isEmpty())
        path += json ? QStringLiteral(".json") : QStringLiteral(".csv");
    exportSessionsTo(path, json ? SessionExport::Format::json : SessionExport::Format::csv);
}

SessionExport::Result ContentView::exportSessionsTo(const QString &path, SessionExport::Format format)
{
    SessionExport::Result result;
    if (!m_model)
        return result;
    // The file is read, not the records: what is pending goes there first.
    QString error;
    if (!m_model->context()->save(&error)) {
        result.error = error;
    } else {
        result = SessionExport::writeFile(m_model->context()->database(), format, std::nullopt, path);
    }
    if (!result.ok) {
        auto *box =
            new QMessageBox(QMessageBox::Warning, tr("Export Sessions"),
                            tr("The sessions could not be saved to %1.").arg(path), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("exportFailedMessage"));
        box->setInformativeText(result.error);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    return result;
}

// The placeholders of the columns, built the first time a column has
// nothing else to show.
EmptyStatePanel *ContentView::noPage()
{
    if (!m_noPage) {
        m_noPage =
            new EmptyStatePanel(tr("Select a Page"), QStringLiteral("sidebar.left"), QString(), m_lists);
        m_lists->addWidget(m_noPage);
    }
    return m_noPage;
}

EmptyStatePanel *ContentView::noSelection()
{
    if (!m_noSelection) {
        m_noSelection =
            new EmptyStatePanel(tr("No Selection"), QStringLiteral("sidebar.right"), QString(), m_details);
        m_details->addWidget(m_noSelection);
    }
    return m_noSelection;
}

void ContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window restored from its minimised state is not shown anew.
    if (event->spontaneous() || m_visible)
        return;
    m_visible = true;
    QTimer::singleShot(0, this, &ContentView::runStartup);
}

void ContentView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        m_visible = false;
        // Undo lasts while the window stays open.
        forgetUndo();
    }
}

void ContentView::runStartup()
{
    if (!m_model)
        return;
    SeedData::insertIfRequested(*m_model);
    if (m_selfTestHook)
        m_selfTestHook(*m_model);
    if (m_snapshotHook) {
        QPointer<ContentView> self(this);
        m_snapshotHook(*m_model, [self] {
            if (self)
                Q_EMIT self->openSettingsRequested();
        });
    }
    Q_EMIT started();
}
