#include "ContentView.h"

#include "AppLockProfileDetail.h"
#include "AppLockProfileList.h"
#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "FocusScreenDetail.h"
#include "FocusScreenList.h"
#include "FocusSessionList.h"
#include "GridOverlay.h"
#include "GridProbes.h"
#include "SeedData.h"
#include "SettingsPlaceholder.h"
#include "Sidebar.h"
#include "Symbols.h"
#include "ThemeStore.h"

#include <QAction>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>

namespace {
constexpr int kHandleWidth = 1;

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
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

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
    connect(m_newFocusScreen, &QAction::triggered, this, [this] {
        if (m_model)
            FocusScreenList::createFocusScreen(*m_model);
    });
    m_newProfile = new QAction(Symbols::icon(QStringLiteral("plus")), tr("New Profile"), this);
    m_newProfile->setObjectName(QStringLiteral("newProfileAction"));
    m_newProfile->setToolTip(tr("Add a lock profile"));
    connect(m_newProfile, &QAction::triggered, this, [this] {
        if (m_model)
            AppLockProfileList::createProfile(*m_model);
    });
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
    return {m_newFocusScreen, m_newProfile, m_openSettings};
}

void ContentView::populateToolBar(QToolBar *toolBar) const
{
    toolBar->addActions(toolbarActions());
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
            m_focusScreenDetail = new FocusScreenDetail(m_model, m_probes, m_catalogue, m_details);
            m_details->addWidget(m_focusScreenDetail);
        }
        list = m_focusScreenList;
        detail = m_focusScreenDetail;
    } else if (page == SidebarItem::sessions) {
        if (!m_sessionList) {
            m_sessionList = new FocusSessionList(m_model, m_lists);
            m_lists->addWidget(m_sessionList);
        }
        list = m_sessionList;
    } else if (page == SidebarItem::profiles) {
        if (!m_lockProfileList) {
            m_lockProfileList = new AppLockProfileList(m_model, m_lists);
            m_lists->addWidget(m_lockProfileList);
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
    m_openSettings->setVisible(page == SidebarItem::settings);
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
    if (!event->spontaneous())
        m_visible = false;
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
