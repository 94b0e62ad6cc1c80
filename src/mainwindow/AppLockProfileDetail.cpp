#include "AppLockProfileDetail.h"

#include "AppChooser.h"
#include "AppLockProfile.h"
#include "AppModel.h"
#include "CommaListEdit.h"
#include "EmptyStatePanel.h"
#include "EnumComboBox.h"
#include "FormSection.h"
#include "ModelContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

AppLockProfileDetail::AppLockProfileDetail(AppModel *model, QWidget *parent)
    : QWidget(parent), m_model(model), m_query(model->context())
{
    setObjectName(QStringLiteral("lockProfileDetail"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);

    m_emptyState =
        new EmptyStatePanel(QStringLiteral("No Profile Selected"), QStringLiteral("lock.shield"),
                            QStringLiteral("Select a lock profile from the list to edit it."), m_pages);
    m_pages->addWidget(m_emptyState);

    m_form = new QScrollArea(m_pages);
    m_form->setObjectName(QStringLiteral("lockProfileForm"));
    m_form->setFrameShape(QFrame::NoFrame);
    m_form->setWidgetResizable(true);
    m_form->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pages->addWidget(m_form);
    buildForm();

    connect(model, &AppModel::selectionChanged, this, &AppLockProfileDetail::refresh);
    connect(&m_query, &QueryBase::resultsChanged, this, &AppLockProfileDetail::refresh);
    refresh();
}

void AppLockProfileDetail::buildForm()
{
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("lockProfileFormContent"));
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin);
    column->setSpacing(kSectionSpacing);

    auto *profile = new FormSection(QStringLiteral("Profile"), content);
    m_name = new QLineEdit(profile);
    m_name->setObjectName(QStringLiteral("nameField"));
    profile->addField(QStringLiteral("Name"), m_name);
    m_mode = EnumComboBox::make<LockMode>(profile);
    m_mode->setObjectName(QStringLiteral("modePicker"));
    profile->addLabeledRow(QStringLiteral("Mode"), m_mode);
    column->addWidget(profile);
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](AppLockProfile &p) { p.setName(text); }); });
    connect(m_mode, &QComboBox::activated, this, [this](int index) {
        edit([&](AppLockProfile &p) { p.setMode(EnumComboBox::valueAt<LockMode>(m_mode, index)); });
    });

    auto *apps = new FormSection(QStringLiteral("Blocked Apps"), content);
    m_blockedApps = new CommaListEdit(kListLines);
    m_blockedApps->setObjectName(QStringLiteral("blockedAppsField"));
    m_chooseBlockedApps = AppChooser::makeChooseButton(m_blockedApps);
    m_chooseBlockedApps->setObjectName(QStringLiteral("chooseBlockedAppsButton"));
    apps->addField(QStringLiteral("Bundle Identifiers (comma-separated)"), m_blockedApps,
                   m_chooseBlockedApps);
    apps->addCaption(QStringLiteral("Example: com.apple.TV, com.apple.Music, com.apple.Games"));
    column->addWidget(apps);
    connect(m_blockedApps, &CommaListEdit::listEdited, this,
            [this](const QStringList &list) { edit([&](AppLockProfile &p) { p.setBlockedApps(list); }); });

    auto *sites = new FormSection(QStringLiteral("Blocked Websites"), content);
    m_blockedWebsites = new CommaListEdit(kListLines);
    m_blockedWebsites->setObjectName(QStringLiteral("blockedWebsitesField"));
    sites->addField(QStringLiteral("Domains (comma-separated)"), m_blockedWebsites);
    sites->addCaption(QStringLiteral("Example: youtube.com, twitter.com, reddit.com"));
    column->addWidget(sites);
    connect(m_blockedWebsites, &CommaListEdit::listEdited, this, [this](const QStringList &list) {
        edit([&](AppLockProfile &p) { p.setBlockedWebsites(list); });
    });

    column->addStretch(1);
    m_form->setWidget(content);
}

template<typename Edit> void AppLockProfileDetail::edit(Edit &&apply)
{
    if (AppLockProfile *p = profile())
        apply(*p);
}

AppLockProfile *AppLockProfileDetail::profile() const
{
    if (!m_model || !m_shown)
        return nullptr;
    return m_model->context()->model<AppLockProfile>(*m_shown);
}

bool AppLockProfileDetail::showsForm() const
{
    return m_pages->currentWidget() == m_form;
}

void AppLockProfileDetail::refresh()
{
    const std::optional<PersistentIdentifier> selection = m_model ? m_model->selection() : std::nullopt;
    AppLockProfile *record =
        selection && m_model ? m_model->context()->model<AppLockProfile>(*selection) : nullptr;
    if (!record) {
        m_shown.reset();
        m_pages->setCurrentWidget(m_emptyState);
        return;
    }
    const bool recordChanged = m_shown != selection;
    m_shown = selection;
    load(recordChanged);
    m_pages->setCurrentWidget(m_form);
}

void AppLockProfileDetail::load(bool recordChanged)
{
    const AppLockProfile *p = profile();
    if (!p)
        return;
    if (m_name->text() != p->name())
        m_name->setText(p->name());
    EnumComboBox::setCurrent(m_mode, p->mode());
    if (recordChanged) {
        m_blockedApps->setTextQuietly(QString());
        m_blockedWebsites->setTextQuietly(QString());
    }
    m_blockedApps->setList(p->blockedApps());
    m_blockedWebsites->setList(p->blockedWebsites());
}
