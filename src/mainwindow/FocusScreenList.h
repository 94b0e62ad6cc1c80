#pragma once

#include "GridProbes.h"
#include "PersistentIdentifier.h"
#include "RecordList.h"

#include <QHash>
#include <QUuid>

class FocusScreen;
class FocusScreenListModel;

// The "Focus Screens" column: every focus screen by sortOrder then createdAt,
// with Duplicate, Toggle Auto-Start and Delete on each row and an empty state
// that creates one. The window's toolbar holds "New Focus Screen".
class FocusScreenList : public RecordList
{
    Q_OBJECT
public:
    static constexpr const char *kRowProbe = "focusScreenRow";
    static constexpr double kNewScreenDuration = 600;

    explicit FocusScreenList(AppModel *model, QWidget *parent = nullptr);
    ~FocusScreenList() override;

    FocusScreenListModel *screens() const;

    QMenu *contextMenu(const QModelIndex &index, QWidget *parent) override;

    // The list's operations, also used by the menu and tests.
    static FocusScreen *createFocusScreen(AppModel &model);
    static FocusScreen *duplicate(AppModel &model, const FocusScreen &source);
    static void toggleAutoStart(AppModel &model, FocusScreen &screen);
    static void remove(AppModel &model, FocusScreen &screen);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void scheduleRowProbes();
    void updateRowProbes();
    void removeRowProbes();

    QHash<PersistentIdentifier, QUuid> m_rowOwners;
    bool m_probesScheduled = false;
};
