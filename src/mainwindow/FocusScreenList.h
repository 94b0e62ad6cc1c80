// SPDX-License-Identifier: MIT
#pragma once

#include "GridProbes.h"
#include "PersistentIdentifier.h"
#include "RecordList.h"

#include <QHash>
#include <QUuid>

class FocusScreen;
class FocusScreenListModel;
class ThemeStore;

// The "Focus Screens" column: every focus screen by sortOrder then createdAt,
// with Duplicate, Toggle Auto-Start and Delete on each row and an empty state
// that creates one. The window's toolbar holds "New Focus Screen".
class FocusScreenList : public RecordList
{
    Q_OBJECT
public:
    static constexpr const char *kRowProbe = "focusScreenRow";
    static constexpr double kNewScreenDuration = 600;

    // Rows draw in the accent of `themes`; with probes on, the visible rows
    // report to `probes`.
    FocusScreenList(AppModel *model, ThemeStore *themes, GridProbes *probes, QWidget *parent = nullptr);
    ~FocusScreenList() override;

    FocusScreenListModel *screens() const;

    QMenu *contextMenu(const QModelIndex &index, QWidget *parent) override;

    // The list's operations, also used by the menu and tests.
    static FocusScreen *createFocusScreen(AppModel &model);
    static FocusScreen *duplicate(AppModel &model, const FocusScreen &source);
    static void toggleAutoStart(AppModel &model, FocusScreen &screen);

Q_SIGNALS:
    // The empty state's "Create Focus Screen" made this screen (selected).
    void created(FocusScreen *screen);

protected:
    std::optional<QString> recordName(const PersistentIdentifier &id) const override;
    QString deleteQuestion(const QString &name) const override;
    QString deleteDetail() const override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void scheduleRowProbes();
    void updateRowProbes();
    void removeRowProbes();

    QPointer<GridProbes> m_probes;
    QHash<PersistentIdentifier, QUuid> m_rowOwners;
    bool m_probesScheduled = false;
};
