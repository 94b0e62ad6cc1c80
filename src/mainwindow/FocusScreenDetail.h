#pragma once

#include "AppModel.h"
#include "Enums.h"
#include "FocusScreen.h"
#include "PersistentIdentifier.h"
#include "Query.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class CommaListEdit;
class DurationPicker;
class EmptyStatePanel;
class FormSection;
class GrowingTextEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;

// The focus screen editor: a grouped form over the focus screen that
// AppModel::selection names, or the "No Focus Screen Selected" panel. Every
// control writes straight into the record; the context's automatic save
// takes it to disk.
class FocusScreenDetail : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kFormProbe = "focusScreenDetail";
    static constexpr int kFormMargin = 20;
    static constexpr int kSectionSpacing = 20;
    static constexpr int kDescriptionGap = 4;
    static constexpr int kSentenceLines = 3;
    static constexpr int kListLines = 4;

    explicit FocusScreenDetail(AppModel *model, QWidget *parent = nullptr);

    // The record being edited, or null while the empty panel shows.
    FocusScreen *screen() const;
    EmptyStatePanel *emptyState() const { return m_emptyState; }
    QScrollArea *form() const { return m_form; }
    bool showsForm() const;

    // The background value field's label and the caption for a type (no
    // label for the system background).
    static QString backgroundFieldLabel(OverlayBackgroundType type);
    static QString backgroundCaption(OverlayBackgroundType type);

    // Buttons that open the application chooser (null when not available).
    QPushButton *chooseAllowedAppsButton() const { return m_chooseAllowedApps; }

private:
    void buildForm();
    void refresh();
    void load(bool recordChanged);
    void updateStrictVisibility();
    void updateBackgroundRow();
    template<typename Edit> void edit(Edit &&apply);

    QPointer<AppModel> m_model;
    Query<FocusScreen> m_query;
    std::optional<PersistentIdentifier> m_shown;

    QStackedWidget *m_pages;
    EmptyStatePanel *m_emptyState;
    QScrollArea *m_form;

    QLineEdit *m_name = nullptr;
    DurationPicker *m_duration = nullptr;
    QComboBox *m_lockMode = nullptr;
    QCheckBox *m_autoStart = nullptr;

    QCheckBox *m_strictEnabled = nullptr;
    QWidget *m_strictGroup = nullptr;
    QComboBox *m_challengeType = nullptr;
    QWidget *m_sentenceGroup = nullptr;
    GrowingTextEdit *m_sentence = nullptr;
    QWidget *m_passwordGroup = nullptr;
    QLineEdit *m_password = nullptr;
    QLabel *m_mathCaption = nullptr;
    QLabel *m_typeDescription = nullptr;

    CommaListEdit *m_allowedApps = nullptr;
    QPushButton *m_chooseAllowedApps = nullptr;
    CommaListEdit *m_allowedWebsites = nullptr;

    QLineEdit *m_autoOpenApp = nullptr;
    QLineEdit *m_autoOpenURL = nullptr;

    QComboBox *m_backgroundType = nullptr;
    QWidget *m_backgroundValueGroup = nullptr;
    QLabel *m_backgroundValueLabel = nullptr;
    QLineEdit *m_backgroundValue = nullptr;
    QLabel *m_backgroundCaption = nullptr;
};
