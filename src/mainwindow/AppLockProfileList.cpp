// SPDX-License-Identifier: MIT
#include "AppLockProfileList.h"

#include "AppLockProfile.h"
#include "AppLockProfileListModel.h"
#include "AppLockProfileRow.h"
#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "ModelContext.h"

#include <QMenu>
#include <QPointer>
#include <QPushButton>

AppLockProfileList::AppLockProfileList(AppModel *model, QWidget *parent)
    : RecordList(model, tr("Lock Profiles"), new AppLockProfileListModel(model->context()),
                 new AppLockProfileRow, Selection::single, parent)
{
    setObjectName(QStringLiteral("lockProfileList"));

    auto *panel = new EmptyStatePanel(tr("No Lock Profiles"), QStringLiteral("lock.shield"),
                                      tr("Create a lock profile to define reusable blocking rules."));
    connect(panel->addButton(tr("Create Profile")), &QPushButton::clicked, this, [this] {
        if (appModel())
            createProfile(*appModel());
    });
    setEmptyState(panel);
}

AppLockProfileListModel *AppLockProfileList::profiles() const
{
    return static_cast<AppLockProfileListModel *>(listModel());
}

AppLockProfile *AppLockProfileList::createProfile(AppModel &model)
{
    return model.addLockProfile(tr("New Lock Profile"), {}, {}, LockMode::hideApps);
}

std::optional<QString> AppLockProfileList::recordName(const PersistentIdentifier &id) const
{
    const AppLockProfile *profile = appModel() ? appModel()->context()->model<AppLockProfile>(id) : nullptr;
    return profile ? std::optional(profile->name()) : std::nullopt;
}

QString AppLockProfileList::deleteQuestion(const QString &name) const
{
    return tr("Delete the lock profile “%1”?").arg(name);
}

QString AppLockProfileList::deleteDetail() const
{
    return tr("Edit → Undo brings it back while this window is open.");
}

QMenu *AppLockProfileList::contextMenu(const QModelIndex &index, QWidget *parent)
{
    AppLockProfile *profile = profiles()->profileAt(index.row());
    if (!profile || !appModel())
        return nullptr;
    auto *menu = new QMenu(parent);
    const PersistentIdentifier id = profile->id();
    // Deleted at once, as chosen; Undo brings it back.
    QPointer<AppLockProfileList> self(this);
    QAction *del = menu->addAction(tr("Delete"), [self, id] {
        if (self)
            self->deleteRecord(id);
    });
    del->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete")));
    return menu;
}
