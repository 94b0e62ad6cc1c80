// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "FocusScreen.h"
#include "Query.h"
#include "RecordDetail.h"

#include <QColor>

#include <functional>

class AppCatalogue;
class AppChips;
class CommaListEdit;
class DurationPicker;
class FormSection;
class GridProbes;
class GrowingTextEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ScheduleEditor;

// The focus screen editor: a grouped form over the focus screen that
// AppModel::selection names, or the "No Focus Screen Selected" panel.
class FocusScreenDetail : public RecordDetail
{
    Q_OBJECT
public:
    static constexpr const char *kFormProbe = "focusScreenDetail";
    static constexpr int kDescriptionGap = 4;
    static constexpr int kSentenceLines = 3;
    static constexpr int kListLines = 4;

    // With probes on, the form reports its frame to `probes`; `catalogue` is
    // the installed applications the "Choose..." button offers (not owned).
    FocusScreenDetail(AppModel *model, GridProbes *probes, const AppCatalogue *catalogue,
                      QWidget *parent = nullptr);

    // The record being edited, or null while the empty panel shows.
    FocusScreen *screen() const { return shown<FocusScreen>(); }

    // The background value field's label and the caption for a type (no
    // label for the system background).
    static QString backgroundFieldLabel(OverlayBackgroundType type);
    static QString backgroundCaption(OverlayBackgroundType type);

    // Puts the focus in the name field with its text selected, so that typing
    // replaces it.
    void beginNaming();

    // Buttons that open the application chooser (null when not available).
    QPushButton *chooseAllowedAppsButton() const { return m_chooseAllowedApps; }
    QPushButton *chooseAutoOpenAppButton() const { return m_chooseAutoOpenApp; }
    AppChips *allowedAppChips() const { return m_allowedAppChips; }
    ScheduleEditor *scheduleEditor() const { return m_schedules; }
    QComboBox *lockProfilePicker() const { return m_lockProfile; }
    QSpinBox *roundsField() const { return m_rounds; }

    // "Next start: Mon 09:00" for the stored schedules, empty without one.
    static QString nextStartText(const QStringList &schedules, const QDateTime &now);

    // How the editor asks for an image file and a colour: the file and
    // colour dialogs, unless a test answers in their place (an empty path
    // or an invalid colour means cancelled).
    struct Pickers
    {
        std::function<QString(QWidget *parent, const QString &startPath)> imageFile;
        std::function<QColor(QWidget *parent, const QColor &initial)> colour;
    };
    static void setPickers(Pickers pickers);

    // A chosen image's path as stored: below the home folder written with
    // "~/" (as the overlay reads it), elsewhere as it is.
    static QString storedImagePath(const QString &path);
    // The colours of a background value: the one of a solid value, the stops
    // of a gradient ("linear,#667eea,#764ba2"), each with its position in
    // the comma-separated text.
    struct ColourStop
    {
        int part; // index among the comma-separated parts
        QColor colour;
    };
    static QList<ColourStop> colourStops(OverlayBackgroundType type, const QString &value);
    // The value with one part replaced by the colour's hex text.
    static QString withColour(OverlayBackgroundType type, const QString &value, int part,
                              const QColor &colour);

protected:
    bool edits(const PersistentIdentifier &id) const override;
    void buildForm(QWidget *content, QVBoxLayout *column) override;
    void load(bool recordChanged) override;

private:
    QWidget *buildBasics(QWidget *content);
    QWidget *buildStrictMode(QWidget *content);
    QWidget *buildRounds(QWidget *content);
    QWidget *buildSchedule(QWidget *content);
    QWidget *buildLockProfile(QWidget *content);
    void loadProfiles();
    void updateRoundControls();
    QWidget *buildAllowedApps(QWidget *content);
    QWidget *buildAllowedWebsites(QWidget *content);
    void showIgnoredWebsites(const QStringList &list);
    QWidget *buildAutoOpen(QWidget *content);
    QWidget *buildBackground(QWidget *content);
    void updateStrictVisibility();
    void storeChallengeText(StrictModeType type, const QString &text);
    void updateBackgroundRow();
    void updateColourSwatches();
    void chooseImage();
    void chooseColour(int part);
    template<typename Edit> void edit(Edit &&apply);

    Query<FocusScreen> m_query;

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
    // Why the strict-mode controls refused a value, or what they still need.
    QLabel *m_strictProblem = nullptr;
    QString m_refusal;

    QSpinBox *m_rounds = nullptr;
    QWidget *m_breakGroup = nullptr;
    QSpinBox *m_breakMinutes = nullptr;
    QSpinBox *m_longBreakEvery = nullptr;
    QSpinBox *m_longBreakMinutes = nullptr;
    QCheckBox *m_appsBack = nullptr;

    ScheduleEditor *m_schedules = nullptr;
    QLabel *m_nextStart = nullptr;

    QComboBox *m_lockProfile = nullptr;
    QLabel *m_profileCaption = nullptr;

    CommaListEdit *m_allowedApps = nullptr;
    AppChips *m_allowedAppChips = nullptr;
    QPushButton *m_chooseAllowedApps = nullptr;
    const AppCatalogue *m_catalogue = nullptr;
    CommaListEdit *m_allowedWebsites = nullptr;
    // The entries of the list that name no domain (left out for browsers).
    QLabel *m_ignoredWebsites = nullptr;

    QLineEdit *m_autoOpenApp = nullptr;
    QPushButton *m_chooseAutoOpenApp = nullptr;
    QLineEdit *m_autoOpenURL = nullptr;

    QComboBox *m_backgroundType = nullptr;
    QWidget *m_backgroundValueGroup = nullptr;
    QLabel *m_backgroundValueLabel = nullptr;
    QLineEdit *m_backgroundValue = nullptr;
    QPushButton *m_chooseImage = nullptr;
    QWidget *m_swatches = nullptr;
    QString m_swatchesShown; // the type and value the swatches were made for
    QLabel *m_backgroundCaption = nullptr;
};
