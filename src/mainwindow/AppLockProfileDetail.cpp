// SPDX-License-Identifier: MIT
#include "AppLockProfileDetail.h"

#include "AppChooser.h"
#include "AppLockProfile.h"
#include "AppModel.h"
#include "CommaListEdit.h"
#include "DisplayText.h"
#include "EnumComboBox.h"
#include "FocusScreen.h"
#include "FormSection.h"
#include "ModelContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AppLockProfileDetail::AppLockProfileDetail(AppModel *model, const AppCatalogue *catalogue, QWidget *parent)
    : RecordDetail(model, QStringLiteral("lockProfileForm"),
                   {tr("No Profile Selected"), QStringLiteral("lock.shield"),
                    tr("Select a lock profile from the list to edit it.")},
                   parent),
      m_query(model->context()), m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("lockProfileDetail"));
    follow(&m_query);
}

bool AppLockProfileDetail::edits(const PersistentIdentifier &id) const
{
    return model() && model()->context()->model<AppLockProfile>(id);
}

void AppLockProfileDetail::buildForm(QWidget *content, QVBoxLayout *column)
{
    auto *profile = new FormSection(tr("Profile"), content);
    m_name = new QLineEdit(profile);
    m_name->setObjectName(QStringLiteral("nameField"));
    profile->addField(tr("Name"), m_name);
    m_mode = EnumComboBox::make<LockMode>(profile);
    m_mode->setObjectName(QStringLiteral("modePicker"));
    profile->addLabeledRow(tr("Mode"), m_mode);
    column->addWidget(profile);
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](AppLockProfile &p) { p.setName(text); }); });
    connect(m_mode, &QComboBox::activated, this, [this](int index) {
        edit([&](AppLockProfile &p) { p.setMode(EnumComboBox::valueAt<LockMode>(m_mode, index)); });
    });

    auto *apps = new FormSection(tr("Blocked Applications"), content);
    m_blockedApps = new CommaListEdit(kListLines);
    m_blockedApps->setObjectName(QStringLiteral("blockedAppsField"));
    m_chooseBlockedApps = AppChooser::makeChooseButton(m_blockedApps, m_catalogue);
    m_chooseBlockedApps->setObjectName(QStringLiteral("chooseBlockedAppsButton"));
    apps->addField(tr("Application IDs (comma-separated)"), m_blockedApps, m_chooseBlockedApps);
    apps->addCaption(tr("Example: org.gnome.Totem, org.gnome.Rhythmbox3, steam"));
    column->addWidget(apps);
    connect(m_blockedApps, &CommaListEdit::listEdited, this,
            [this](const QStringList &list) { edit([&](AppLockProfile &p) { p.setBlockedApps(list); }); });

    auto *sites = new FormSection(tr("Blocked Websites"), content);
    m_blockedWebsites = new CommaListEdit(kListLines);
    m_blockedWebsites->setObjectName(QStringLiteral("blockedWebsitesField"));
    sites->addField(tr("Domains (comma-separated)"), m_blockedWebsites);
    sites->addCaption(tr("Example: youtube.com, twitter.com, reddit.com"));
    column->addWidget(sites);

    auto *usage = new FormSection(tr("Focus Screens"), content);
    m_usedBy = usage->addCaption(QString());
    m_usedBy->setObjectName(QStringLiteral("profileUsedBy"));
    m_usedBy->setWordWrap(true);
    column->addWidget(usage);
    connect(model()->context(), &ModelContext::didChange, this, [this](const QString &entity) {
        if (entity == FocusScreen::entityInfo().name)
            loadUsedBy();
    });
    connect(m_blockedWebsites, &CommaListEdit::listEdited, this, [this](const QStringList &list) {
        edit([&](AppLockProfile &p) { p.setBlockedWebsites(list); });
    });
}

template<typename Edit> void AppLockProfileDetail::edit(Edit &&apply)
{
    if (AppLockProfile *p = profile())
        apply(*p);
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
    loadUsedBy();
}

QString AppLockProfileDetail::usedByText(const QStringList &screenNames)
{
    if (screenNames.isEmpty())
        return tr(
            "No focus screen uses this profile. Choose it under Lock Profile in a focus screen's editor.");
    return tr("Used by: %1").arg(screenNames.join(QStringLiteral(", ")));
}

void AppLockProfileDetail::loadUsedBy()
{
    const AppLockProfile *p = profile();
    if (!p || !m_usedBy)
        return;
    QStringList names;
    const QUuid id = p->uuid();
    FetchDescriptor<FocusScreen> using_;
    using_.predicate = [&id](const FocusScreen &s) { return !s.isDeleted() && s.lockProfileID() == id; };
    using_.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder)};
    for (const FocusScreen *screen : model()->context()->fetch(using_))
        names.append(DisplayText::capped(screen->name()));
    m_usedBy->setText(usedByText(names));
}
