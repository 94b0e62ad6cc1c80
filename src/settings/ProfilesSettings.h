// SPDX-License-Identifier: MIT
#pragma once

#include "NewProfileSheet.h"
#include "Query.h"

#include <QPointer>
#include <QWidget>

class AppLockProfile;
class AppModel;

class QListWidget;
class QPushButton;
class EmptyStatePanel;

// The profiles page of the settings window: every lock profile, newest
// first, with a one-line summary; selected rows can be deleted (Delete or
// Backspace, or the row menu), and "New Profile..." opens the sheet that
// creates one.
class ProfilesSettings : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kListMinimumHeight = 140;
    // The list grows with its rows up to this many, then scrolls.
    static constexpr int kListVisibleRows = 8;
    static constexpr int kRowHeight = 26;
    static constexpr int kIconSize = 16;

    explicit ProfilesSettings(AppModel *model, QWidget *parent = nullptr);

    // "3 apps, 2 sites" (the same wording for 0 and 1).
    static QString summary(const AppLockProfile &profile);

    // The profiles as listed.
    QList<AppLockProfile *> profiles() const;

    // Whether the new-profile sheet is showing; setting it presents or
    // dismisses the sheet.
    bool isSheetShowing() const { return m_sheetShowing; }
    void setSheetShowing(bool showing);
    NewProfileSheet *sheet() const { return m_sheet; }

    // Deletes the profiles in these rows of the list as shown, then saves
    // once.
    void deleteRows(const QList<int> &rows);
    void deleteSelectedRows();

    QListWidget *list() const { return m_list; }
    QPushButton *newProfileButton() const { return m_newProfile; }
    bool isEmptyStateShown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Closing the window (or leaving the page) discards an open sheet.
    void hideEvent(QHideEvent *event) override;

private:
    void sync();
    void showRowMenu(const QPoint &pos);

    QPointer<AppModel> m_model;
    Query<AppLockProfile> *m_query = nullptr;
    QList<AppLockProfile *> m_shown;
    bool m_sheetShowing = false;
    QPointer<NewProfileSheet> m_sheet;

    EmptyStatePanel *m_empty = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_newProfile = nullptr;
};
