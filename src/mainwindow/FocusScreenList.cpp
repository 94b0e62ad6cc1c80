// SPDX-License-Identifier: MIT
#include "FocusScreenList.h"

#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "FocusScreen.h"
#include "FocusScreenListModel.h"
#include "FocusScreenRow.h"
#include "GridProbeModifier.h"
#include "ModelContext.h"

#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

FocusScreenList::FocusScreenList(AppModel *model, ThemeStore *themes, GridProbes *probes, QWidget *parent)
    : RecordList(model, tr("Focus Screens"), new FocusScreenListModel(model->context()),
                 new FocusScreenRow(themes), Selection::single, parent),
      m_probes(probes)
{
    setObjectName(QStringLiteral("focusScreenList"));

    auto *panel = new EmptyStatePanel(tr("No Focus Screens"), QStringLiteral("rectangle.on.rectangle"),
                                      tr("Create your first focus screen to get started."));
    connect(panel->addButton(tr("Create Focus Screen")), &QPushButton::clicked, this, [this] {
        if (appModel())
            Q_EMIT created(createFocusScreen(*appModel()));
    });
    setEmptyState(panel);

    if (m_probes && GridProbes::enabled())
        connect(this, &RecordList::rowsLaidOut, this, &FocusScreenList::scheduleRowProbes);
}

FocusScreenList::~FocusScreenList()
{
    removeRowProbes();
}

FocusScreenListModel *FocusScreenList::screens() const
{
    return static_cast<FocusScreenListModel *>(listModel());
}

FocusScreen *FocusScreenList::createFocusScreen(AppModel &model)
{
    // A new screen takes the default lock mode and (in addFocusScreen) the
    // default strict-mode type of the settings row (hide applications and
    // none when there is no row); it is selected.
    return model.addFocusScreen(tr("New Focus Screen"), kNewScreenDuration, model.defaultLockMode());
}

FocusScreen *FocusScreenList::duplicate(AppModel &model, const FocusScreen &source)
{
    auto copy = std::make_unique<FocusScreen>(
        tr("%1 Copy").arg(source.name()), source.duration(), source.allowedApps(), source.allowedWebsites(),
        source.lockMode(), source.autoStartOnLogin(), source.sortOrder() + 1, source.strictModeEnabled(),
        source.strictModeType(), source.strictModeSentence(), source.strictModeAnswer(), source.autoOpenApp(),
        source.autoOpenURL(), source.overlayBackgroundType(), source.overlayBackgroundValue());
    FocusScreen *inserted = model.context()->insert(std::move(copy));
    model.setSelection(inserted->id());
    return inserted;
}

void FocusScreenList::toggleAutoStart(AppModel &model, FocusScreen &screen)
{
    screen.setAutoStartOnLogin(!screen.autoStartOnLogin());
    // Saved at once; a failure leaves the change for the next save.
    model.context()->save();
}

std::optional<QString> FocusScreenList::recordName(const PersistentIdentifier &id) const
{
    const FocusScreen *screen = appModel() ? appModel()->context()->model<FocusScreen>(id) : nullptr;
    return screen ? std::optional(screen->name()) : std::nullopt;
}

QString FocusScreenList::deleteQuestion(const QString &name) const
{
    return tr("Delete the focus screen “%1”?").arg(name);
}

QString FocusScreenList::deleteDetail() const
{
    return tr(
        "Its recorded sessions stay in the history. Edit → Undo brings it back while this window is open.");
}

QMenu *FocusScreenList::contextMenu(const QModelIndex &index, QWidget *parent)
{
    FocusScreen *screen = screens()->screenAt(index.row());
    if (!screen || !appModel())
        return nullptr;
    auto *menu = new QMenu(parent);
    QPointer<AppModel> model = appModel();
    const PersistentIdentifier id = screen->id();
    // The menu may outlive the row: act on the record the id names at the time.
    const auto withScreen = [model, id](auto action) {
        return [model, id, action] {
            if (!model)
                return;
            if (FocusScreen *s = model->context()->model<FocusScreen>(id))
                action(*model, *s);
        };
    };
    menu->addAction(tr("Duplicate"), withScreen([](AppModel &m, FocusScreen &s) { duplicate(m, s); }));
    menu->addSeparator();
    menu->addAction(tr("Toggle Auto-Start"),
                    withScreen([](AppModel &m, FocusScreen &s) { toggleAutoStart(m, s); }));
    menu->addSeparator();
    // Deleted at once, as chosen; Undo brings it back.
    QPointer<FocusScreenList> self(this);
    QAction *del = menu->addAction(tr("Delete"), [self, id] {
        if (self)
            self->deleteRecord(id);
    });
    del->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete")));
    return menu;
}

void FocusScreenList::showEvent(QShowEvent *event)
{
    RecordList::showEvent(event);
    scheduleRowProbes();
}

void FocusScreenList::hideEvent(QHideEvent *event)
{
    RecordList::hideEvent(event);
    removeRowProbes();
}

void FocusScreenList::resizeEvent(QResizeEvent *event)
{
    RecordList::resizeEvent(event);
    scheduleRowProbes();
}

void FocusScreenList::scheduleRowProbes()
{
    if (!m_probes || !GridProbes::enabled() || m_probesScheduled)
        return;
    m_probesScheduled = true;
    QMetaObject::invokeMethod(this, &FocusScreenList::updateRowProbes, Qt::QueuedConnection);
}

void FocusScreenList::updateRowProbes()
{
    m_probesScheduled = false;
    if (!m_probes)
        return;
    if (!isVisible()) {
        removeRowProbes();
        return;
    }
    // Each visible row reports its frame in turn, as a row view would; rows
    // that scrolled away or went away withdraw theirs.
    QHash<PersistentIdentifier, QUuid> visible;
    QWidget *viewport = view()->viewport();
    const QPoint viewportOrigin = viewport->mapTo(window(), QPoint(0, 0));
    for (int row = 0; row < screens()->rowCount(); ++row) {
        const QRect rect = view()->visualRect(screens()->index(row));
        if (!rect.isValid() || !rect.intersects(viewport->rect()))
            continue;
        const PersistentIdentifier id = screens()->idAt(row);
        const QUuid owner = m_rowOwners.value(id, QUuid::createUuid());
        visible.insert(id, owner);
        GridProbes::Probe probe;
        probe.kind = GridProbes::Kind::area;
        probe.name = probe.area = QString::fromLatin1(kRowProbe);
        probe.inset = GridProbeModifier::kAreaInset;
        probe.x = viewportOrigin.x() + rect.x();
        probe.y = viewportOrigin.y() + rect.y();
        probe.width = rect.width();
        probe.height = rect.height();
        m_probes->update(owner, probe);
    }
    for (auto it = m_rowOwners.cbegin(); it != m_rowOwners.cend(); ++it)
        if (!visible.contains(it.key()))
            m_probes->remove(GridProbes::Kind::area, QString::fromLatin1(kRowProbe), it.value());
    m_rowOwners = visible;
}

void FocusScreenList::removeRowProbes()
{
    if (m_probes)
        for (const QUuid &owner : std::as_const(m_rowOwners))
            m_probes->remove(GridProbes::Kind::area, QString::fromLatin1(kRowProbe), owner);
    m_rowOwners.clear();
}
