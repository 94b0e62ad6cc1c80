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

void AppLockProfileList::remove(AppModel &model, AppLockProfile &profile)
{
    // No confirmation and the selection stays as it is.
    model.context()->remove(&profile);
}

QMenu *AppLockProfileList::contextMenu(const QModelIndex &index, QWidget *parent)
{
    AppLockProfile *profile = profiles()->profileAt(index.row());
    if (!profile || !appModel())
        return nullptr;
    auto *menu = new QMenu(parent);
    QPointer<AppModel> model = appModel();
    const PersistentIdentifier id = profile->id();
    QAction *del = menu->addAction(tr("Delete"), [model, id] {
        if (!model)
            return;
        if (AppLockProfile *p = model->context()->model<AppLockProfile>(id))
            remove(*model, *p);
    });
    del->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete")));
    return menu;
}
