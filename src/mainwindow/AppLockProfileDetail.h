// SPDX-License-Identifier: MIT
#pragma once

#include "AppLockProfile.h"
#include "Query.h"
#include "RecordDetail.h"

class AppCatalogue;
class CommaListEdit;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The lock profile editor: a grouped form over the lock profile that
// AppModel::selection names, or the "No Profile Selected" panel.
class AppLockProfileDetail : public RecordDetail
{
    Q_OBJECT
public:
    static constexpr int kListLines = 4;

    // catalogue: the installed applications the "Choose..." button offers (not owned).
    AppLockProfileDetail(AppModel *model, const AppCatalogue *catalogue, QWidget *parent = nullptr);

    AppLockProfile *profile() const { return shown<AppLockProfile>(); }

    QPushButton *chooseBlockedAppsButton() const { return m_chooseBlockedApps; }
    // "Used by: Deep Work, Reading", or that no focus screen uses it.
    QLabel *usedByLabel() const { return m_usedBy; }
    static QString usedByText(const QStringList &screenNames);

protected:
    bool edits(const PersistentIdentifier &id) const override;
    void buildForm(QWidget *content, QVBoxLayout *column) override;
    void load(bool recordChanged) override;

private:
    template<typename Edit> void edit(Edit &&apply);

    Query<AppLockProfile> m_query;

    QLineEdit *m_name = nullptr;
    QComboBox *m_mode = nullptr;
    CommaListEdit *m_blockedApps = nullptr;
    QPushButton *m_chooseBlockedApps = nullptr;
    const AppCatalogue *m_catalogue = nullptr;
    CommaListEdit *m_blockedWebsites = nullptr;
    QLabel *m_usedBy = nullptr;
    void loadUsedBy();
};
