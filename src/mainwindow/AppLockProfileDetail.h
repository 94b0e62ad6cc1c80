#pragma once

#include "AppLockProfile.h"
#include "AppModel.h"
#include "PersistentIdentifier.h"
#include "Query.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class CommaListEdit;
class EmptyStatePanel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;

// The lock profile editor: a grouped form over the lock profile that
// AppModel::selection names, or the "No Profile Selected" panel. Edits go
// straight into the record; the context's automatic save persists them.
class AppLockProfileDetail : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kFormMargin = 20;
    static constexpr int kSectionSpacing = 20;
    static constexpr int kListLines = 4;

    explicit AppLockProfileDetail(AppModel *model, QWidget *parent = nullptr);

    AppLockProfile *profile() const;
    EmptyStatePanel *emptyState() const { return m_emptyState; }
    QScrollArea *form() const { return m_form; }
    bool showsForm() const;

    QPushButton *chooseBlockedAppsButton() const { return m_chooseBlockedApps; }

private:
    void buildForm();
    void refresh();
    void load(bool recordChanged);
    template<typename Edit> void edit(Edit &&apply);

    QPointer<AppModel> m_model;
    Query<AppLockProfile> m_query;
    std::optional<PersistentIdentifier> m_shown;

    QStackedWidget *m_pages;
    EmptyStatePanel *m_emptyState;
    QScrollArea *m_form;

    QLineEdit *m_name = nullptr;
    QComboBox *m_mode = nullptr;
    CommaListEdit *m_blockedApps = nullptr;
    QPushButton *m_chooseBlockedApps = nullptr;
    CommaListEdit *m_blockedWebsites = nullptr;
};
