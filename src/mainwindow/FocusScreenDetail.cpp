// SPDX-License-Identifier: MIT
#include "FocusScreenDetail.h"

#include "AppChips.h"
#include "AppChooser.h"
#include "AppLockProfile.h"
#include "AppModel.h"
#include "CommaList.h"
#include "CommaListEdit.h"
#include "DurationPicker.h"
#include "EnumComboBox.h"
#include "FocusScreen.h"
#include "FormSection.h"
#include "GridProbeModifier.h"
#include "HomePath.h"
#include "ModelContext.h"
#include "OptionalText.h"
#include "RoundLimits.h"
#include "Schedule.h"
#include "ScheduleEditor.h"
#include "TextStyles.h"
#include "WebsiteDomain.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
void setTextIfDifferent(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

QLineEdit *makeLineEdit(const char *objectName, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(objectName));
    return field;
}
} // namespace

FocusScreenDetail::FocusScreenDetail(AppModel *model, GridProbes *probes, const AppCatalogue *catalogue,
                                     QWidget *parent)
    : RecordDetail(model, QStringLiteral("focusScreenForm"),
                   {tr("No Focus Screen Selected"), QStringLiteral("rectangle.on.rectangle"),
                    tr("Select a focus screen from the list to edit it.")},
                   parent),
      m_query(model->context()), m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("focusScreenDetail"));
    GridProbeModifier::attachArea(form(), probes, QString::fromLatin1(kFormProbe));
    follow(&m_query);
}

bool FocusScreenDetail::edits(const PersistentIdentifier &id) const
{
    return model() && model()->context()->model<FocusScreen>(id);
}

QString FocusScreenDetail::backgroundFieldLabel(OverlayBackgroundType type)
{
    switch (type) {
    case OverlayBackgroundType::system:
        return {};
    case OverlayBackgroundType::solid:
        return tr("Hex Color (e.g., #1A1A2E or 1A1A2E)");
    case OverlayBackgroundType::gradient:
        return tr("Gradient (e.g., linear,#667eea,#764ba2 or radial,#f093fb,#f5576c)");
    case OverlayBackgroundType::image:
        return tr("Image File Path");
    }
    return {};
}

QString FocusScreenDetail::backgroundCaption(OverlayBackgroundType type)
{
    switch (type) {
    case OverlayBackgroundType::system:
        return tr("Uses the default dark blur overlay.");
    case OverlayBackgroundType::solid:
        return tr("Solid color background for the overlay.");
    case OverlayBackgroundType::gradient:
        return tr("Format: linear|radial,color1,color2,... (hex colors)");
    case OverlayBackgroundType::image:
        return tr("Full path to an image file (PNG, JPG). Example: ~/Pictures/background.jpg");
    }
    return {};
}

void FocusScreenDetail::buildForm(QWidget *content, QVBoxLayout *column)
{
    column->addWidget(buildBasics(content));
    column->addWidget(buildRounds(content));
    column->addWidget(buildSchedule(content));
    column->addWidget(buildStrictMode(content));
    column->addWidget(buildLockProfile(content));
    column->addWidget(buildAllowedApps(content));
    column->addWidget(buildAllowedWebsites(content));
    column->addWidget(buildAutoOpen(content));
    column->addWidget(buildBackground(content));
}

// Name, duration, lock mode and auto-start.
QWidget *FocusScreenDetail::buildBasics(QWidget *content)
{
    auto *basics = new FormSection(tr("Basics"), content);
    m_name = makeLineEdit("nameField", basics);
    basics->addField(tr("Name"), m_name);
    m_duration = new DurationPicker(basics);
    m_duration->setObjectName(QStringLiteral("durationPicker"));
    basics->addRow(m_duration);
    m_lockMode = EnumComboBox::make<LockMode>(basics);
    m_lockMode->setObjectName(QStringLiteral("lockModePicker"));
    basics->addLabeledRow(tr("Lock Mode"), m_lockMode);
    m_autoStart = new QCheckBox(tr("Auto-start on Login"), basics);
    m_autoStart->setObjectName(QStringLiteral("autoStartToggle"));
    basics->addRow(m_autoStart);

    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](FocusScreen &s) { s.setName(text); }); });
    connect(m_duration, &DurationPicker::durationEdited, this,
            [this](double seconds) { edit([&](FocusScreen &s) { s.setDuration(seconds); }); });
    connect(m_lockMode, &QComboBox::activated, this, [this](int index) {
        edit([&](FocusScreen &s) { s.setLockMode(EnumComboBox::valueAt<LockMode>(m_lockMode, index)); });
    });
    connect(m_autoStart, &QCheckBox::clicked, this,
            [this](bool on) { edit([&](FocusScreen &s) { s.setAutoStartOnLogin(on); }); });
    return basics;
}

// The strict-mode switch and its challenge controls.
QWidget *FocusScreenDetail::buildStrictMode(QWidget *content)
{
    auto *strict = new FormSection(tr("Strict Mode (Anti-Cheat)"), content);
    m_strictEnabled = new QCheckBox(tr("Enable Strict Mode"), strict);
    m_strictEnabled->setObjectName(QStringLiteral("strictModeToggle"));
    strict->addRow(m_strictEnabled);

    QVBoxLayout *strictRows = nullptr;
    m_strictGroup = FormSection::makeGroup(strict, &strictRows);
    m_strictGroup->setObjectName(QStringLiteral("strictModeControls"));
    m_challengeType = EnumComboBox::make<StrictModeType>(m_strictGroup);
    m_challengeType->setObjectName(QStringLiteral("challengeTypePicker"));
    // The picker shows only while strict mode is on, and then "None" would
    // guard nothing: it is listed but cannot be chosen.
    EnumComboBox::setEnabled(m_challengeType, StrictModeType::none, false);
    strictRows->addWidget(
        FormSection::labeledRow(new QLabel(tr("Challenge Type")), m_challengeType, m_strictGroup));

    QVBoxLayout *sentenceRows = nullptr;
    m_sentenceGroup = FormSection::makeGroup(m_strictGroup, &sentenceRows);
    m_sentenceGroup->setObjectName(QStringLiteral("sentenceControls"));
    m_sentence = new GrowingTextEdit(kSentenceLines);
    m_sentence->setObjectName(QStringLiteral("commitmentSentenceField"));
    sentenceRows->addWidget(
        FormSection::fieldBlock(new QLabel(tr("Commitment Sentence")), m_sentence, m_sentenceGroup));
    sentenceRows->addWidget(FormSection::makeCaption(
        tr("Must type this exact sentence to exit early. Case-insensitive."), m_sentenceGroup));
    strictRows->addWidget(m_sentenceGroup);

    QVBoxLayout *passwordRows = nullptr;
    m_passwordGroup = FormSection::makeGroup(m_strictGroup, &passwordRows);
    m_passwordGroup->setObjectName(QStringLiteral("passwordControls"));
    m_password = makeLineEdit("exitPasswordField", nullptr);
    m_password->setEchoMode(QLineEdit::Password);
    passwordRows->addWidget(
        FormSection::fieldBlock(new QLabel(tr("Exit Password")), m_password, m_passwordGroup));
    passwordRows->addWidget(
        FormSection::makeCaption(tr("Enter this password to exit early."), m_passwordGroup));
    strictRows->addWidget(m_passwordGroup);

    m_mathCaption = FormSection::makeCaption(
        tr("A random math problem will be generated each time you try to exit."), m_strictGroup);
    m_mathCaption->setObjectName(QStringLiteral("mathCaption"));
    strictRows->addWidget(m_mathCaption);

    m_strictProblem = FormSection::makeCaption(QString(), m_strictGroup);
    m_strictProblem->setObjectName(QStringLiteral("strictModeProblem"));
    m_strictProblem->setWordWrap(true);
    strictRows->addWidget(m_strictProblem);

    m_typeDescription = FormSection::makeCaption(QString(), m_strictGroup);
    m_typeDescription->setObjectName(QStringLiteral("strictModeDescription"));
    // The description sits a little apart from the controls above it.
    m_typeDescription->setContentsMargins(0, kDescriptionGap, 0, 0);
    strictRows->addWidget(m_typeDescription);
    strict->addGroup(m_strictGroup);

    connect(m_strictEnabled, &QCheckBox::clicked, this, [this](bool on) {
        m_refusal.clear();
        edit([&](FocusScreen &s) {
            s.setStrictModeEnabled(on);
            // Strict mode with "None" guards nothing: it starts with a
            // challenge that needs no setting up.
            if (on && s.strictModeType() == StrictModeType::none) {
                s.setStrictModeType(StrictModeType::math);
                m_refusal = tr("Strict mode needs a challenge, so “None” was replaced by Math Problem.");
            }
        });
        load(false);
    });
    connect(m_challengeType, &QComboBox::activated, this, [this](int index) {
        m_refusal.clear();
        const auto type = EnumComboBox::valueAt<StrictModeType>(m_challengeType, index);
        edit([&](FocusScreen &s) {
            if (type == StrictModeType::none && s.strictModeEnabled())
                m_refusal = tr("“None” cannot guard a session; turn Strict Mode off instead.");
            else
                s.setStrictModeType(type);
        });
        load(false);
    });
    connect(m_sentence, &GrowingTextEdit::textEdited, this,
            [this](const QString &text) { storeChallengeText(StrictModeType::sentence, text); });
    connect(m_password, &QLineEdit::textEdited, this,
            [this](const QString &text) { storeChallengeText(StrictModeType::password, text); });
    // A refused empty text gives way to the kept one when the field is left.
    connect(m_sentence, &GrowingTextEdit::editingFinished, this, [this] { load(false); });
    connect(m_password, &QLineEdit::editingFinished, this, [this] { load(false); });
    return strict;
}

// The sentence or password as typed; while strict mode is on an empty one
// would let anyone end the session, so the one stored stays.
void FocusScreenDetail::storeChallengeText(StrictModeType type, const QString &text)
{
    m_refusal.clear();
    edit([&](FocusScreen &s) {
        const bool password = type == StrictModeType::password;
        const std::optional<QString> stored = password ? s.strictModeAnswer() : s.strictModeSentence();
        const bool blank = text.trimmed().isEmpty();
        if (blank && s.strictModeEnabled() && stored && !stored->trimmed().isEmpty()) {
            m_refusal = password ? tr("An empty password is not accepted; the previous one is kept.")
                                 : tr("An empty sentence is not accepted; the previous one is kept.");
            return;
        }
        if (password)
            s.setStrictModeAnswer(OptionalText::fromText(text));
        else
            s.setStrictModeSentence(OptionalText::fromText(text));
    });
    updateStrictVisibility();
}

namespace {
QSpinBox *makeSpinBox(const char *objectName, int minimum, int maximum, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(objectName));
    box->setRange(minimum, maximum);
    return box;
}

constexpr int kMaxBreakMinutes = 120;
} // namespace

// Rounds, breaks and long breaks.
QWidget *FocusScreenDetail::buildRounds(QWidget *content)
{
    auto *section = new FormSection(tr("Rounds and Breaks"), content);
    m_rounds = makeSpinBox("roundsField", 1, RoundLimits::kMaxRounds, section);
    //: The number of rounds when a screen runs one session without breaks.
    m_rounds->setSpecialValueText(tr("One session"));
    section->addLabeledRow(tr("Rounds"), m_rounds);
    QVBoxLayout *rows = nullptr;
    m_breakGroup = FormSection::makeGroup(section, &rows);
    m_breakGroup->setObjectName(QStringLiteral("breakControls"));
    m_breakMinutes = makeSpinBox("breakField", 1, kMaxBreakMinutes, m_breakGroup);
    m_breakMinutes->setSuffix(tr(" min"));
    rows->addWidget(FormSection::labeledRow(new QLabel(tr("Break")), m_breakMinutes, m_breakGroup));
    m_longBreakEvery = makeSpinBox("longBreakEveryField", 1, RoundLimits::kMaxRounds, m_breakGroup);
    m_longBreakEvery->setSpecialValueText(tr("Never"));
    //: "Long break after every [4] rounds".
    m_longBreakEvery->setPrefix(tr("after every "));
    m_longBreakEvery->setSuffix(tr(" rounds"));
    rows->addWidget(FormSection::labeledRow(new QLabel(tr("Long Break")), m_longBreakEvery, m_breakGroup));
    m_longBreakMinutes = makeSpinBox("longBreakField", 1, kMaxBreakMinutes, m_breakGroup);
    m_longBreakMinutes->setSuffix(tr(" min"));
    rows->addWidget(
        FormSection::labeledRow(new QLabel(tr("Long Break Length")), m_longBreakMinutes, m_breakGroup));
    m_appsBack = new QCheckBox(tr("Show Hidden Applications During Breaks"), m_breakGroup);
    m_appsBack->setObjectName(QStringLiteral("appsBackToggle"));
    rows->addWidget(m_appsBack);
    section->addGroup(m_breakGroup);
    section->addCaption(tr("Each round is recorded as a session; ending early ends every round left."));

    // "One session" is the spin box's lowest value and reads as 1 round.
    connect(m_rounds, &QSpinBox::valueChanged, this, [this](int value) {
        edit([&](FocusScreen &s) {
            if (s.rounds() != (value <= 1 ? 0 : value))
                s.setRounds(value <= 1 ? 0 : value);
        });
        updateRoundControls();
    });
    connect(m_breakMinutes, &QSpinBox::valueChanged, this, [this](int minutes) {
        edit([&](FocusScreen &s) {
            if (s.breakLength() != minutes * 60.0)
                s.setBreakLength(minutes * 60.0);
        });
    });
    connect(m_longBreakEvery, &QSpinBox::valueChanged, this, [this](int value) {
        edit([&](FocusScreen &s) {
            if (s.longBreakEvery() != (value <= 1 ? 0 : value))
                s.setLongBreakEvery(value <= 1 ? 0 : value);
        });
        updateRoundControls();
    });
    connect(m_longBreakMinutes, &QSpinBox::valueChanged, this, [this](int minutes) {
        edit([&](FocusScreen &s) {
            if (s.longBreakLength() != minutes * 60.0)
                s.setLongBreakLength(minutes * 60.0);
        });
    });
    connect(m_appsBack, &QCheckBox::clicked, this,
            [this](bool on) { edit([&](FocusScreen &s) { s.setAppsBackDuringBreak(on); }); });
    return section;
}

void FocusScreenDetail::updateRoundControls()
{
    m_breakGroup->setVisible(m_rounds->value() > 1);
    m_longBreakMinutes->setEnabled(m_longBreakEvery->value() > 1);
}

// When the screen starts by itself.
QWidget *FocusScreenDetail::buildSchedule(QWidget *content)
{
    auto *section = new FormSection(tr("Schedule"), content);
    m_schedules = new ScheduleEditor(section);
    section->addRow(m_schedules);
    m_nextStart = section->addCaption(QString());
    m_nextStart->setObjectName(QStringLiteral("nextStartCaption"));
    section->addCaption(
        tr("While Lumora runs, the screen starts on the chosen days at the start time and stops "
           "by the end time, when one is set. A start while another session runs is skipped."));
    connect(m_schedules, &ScheduleEditor::schedulesEdited, this, [this](const QStringList &stored) {
        edit([&](FocusScreen &s) {
            if (s.schedules() != stored)
                s.setSchedules(stored);
        });
        m_nextStart->setText(nextStartText(stored, QDateTime::currentDateTimeUtc()));
        m_nextStart->setVisible(!m_nextStart->text().isEmpty());
    });
    return section;
}

QString FocusScreenDetail::nextStartText(const QStringList &schedules, const QDateTime &now)
{
    const auto next =
        ScheduleTimes::nextStart(Schedule::parseAll(schedules), now, QTimeZone::systemTimeZone());
    if (!next)
        return {};
    const QLocale locale;
    const QDateTime local = next->toLocalTime();
    //: The next time a focus screen starts by itself, e.g. "Next start: Mon 09:00".
    return tr("Next start: %1")
        .arg(locale.dayName(local.date().dayOfWeek(), QLocale::ShortFormat) + QLatin1Char(' ') +
             local.time().toString(QStringLiteral("HH:mm")));
}

// The lock profile whose blocked lists the session keeps, instead of the
// allowed lists.
QWidget *FocusScreenDetail::buildLockProfile(QWidget *content)
{
    auto *section = new FormSection(tr("Lock Profile"), content);
    m_lockProfile = new QComboBox(section);
    m_lockProfile->setObjectName(QStringLiteral("lockProfilePicker"));
    section->addLabeledRow(tr("Profile"), m_lockProfile);
    m_profileCaption = section->addCaption(QString());
    m_profileCaption->setObjectName(QStringLiteral("lockProfileCaption"));
    m_profileCaption->setWordWrap(true);
    connect(m_lockProfile, &QComboBox::activated, this, [this](int index) {
        const QUuid id = m_lockProfile->itemData(index).toUuid();
        edit([&](FocusScreen &s) { s.setLockProfileID(id); });
        load(false);
    });
    connect(model()->context(), &ModelContext::didChange, this, [this](const QString &entity) {
        if (entity == AppLockProfile::entityInfo().name)
            loadProfiles();
    });
    return section;
}

void FocusScreenDetail::loadProfiles()
{
    const FocusScreen *s = screen();
    if (!s || !m_lockProfile)
        return;
    FetchDescriptor<AppLockProfile> order;
    order.sortBy = {SortDescriptor<AppLockProfile>::by(&AppLockProfile::name)};
    const QList<AppLockProfile *> profiles = model()->context()->fetch(order);
    const QSignalBlocker blocker(m_lockProfile);
    m_lockProfile->clear();
    m_lockProfile->addItem(tr("None (the allowed lists below)"), QUuid());
    int current = 0;
    for (const AppLockProfile *profile : profiles) {
        if (profile->isDeleted())
            continue;
        m_lockProfile->addItem(profile->name(), profile->uuid());
        if (profile->uuid() == s->lockProfileID())
            current = m_lockProfile->count() - 1;
    }
    // A profile that is gone reads as none, which is what the session does.
    m_lockProfile->setCurrentIndex(current);
    m_profileCaption->setText(
        current == 0
            ? tr("Without a profile, everything but the allowed applications and websites is kept away.")
            : tr("The profile's blocked applications and websites are kept away with its lock mode; the "
                 "allowed lists below are not used."));
}

// The applications that stay usable during a session.
QWidget *FocusScreenDetail::buildAllowedApps(QWidget *content)
{
    auto *apps = new FormSection(tr("Allowed Applications"), content);
    m_allowedApps = new CommaListEdit(kListLines);
    m_allowedApps->setObjectName(QStringLiteral("allowedAppsField"));
    m_chooseAllowedApps = AppChooser::makeChooseButton(m_allowedApps, m_catalogue);
    m_chooseAllowedApps->setObjectName(QStringLiteral("chooseAllowedAppsButton"));
    // The applications a desktop entry describes, as chips with "Choose..."
    // beside them; the text below holds every entry as stored.
    auto *chipsRow = new QWidget(apps);
    auto *chipsLayout = new QHBoxLayout(chipsRow);
    chipsLayout->setContentsMargins(0, 0, 0, 0);
    m_allowedAppChips = new AppChips(m_catalogue, chipsRow);
    chipsLayout->addWidget(m_allowedAppChips, 1);
    chipsLayout->addWidget(m_chooseAllowedApps, 0, Qt::AlignTop | Qt::AlignRight);
    apps->addRow(chipsRow);
    apps->addField(tr("Application IDs (comma-separated)"), m_allowedApps);
    apps->addCaption(tr("Example: firefox-esr, org.gnome.Nautilus"));
    connect(m_allowedApps, &CommaListEdit::listEdited, this, [this](const QStringList &list) {
        m_allowedAppChips->setList(list);
        edit([&](FocusScreen &s) { s.setAllowedApps(list); });
    });
    connect(m_allowedAppChips, &AppChips::listEdited, this, [this](const QStringList &list) {
        m_allowedApps->setList(list);
        edit([&](FocusScreen &s) { s.setAllowedApps(list); });
    });
    return apps;
}

// The websites that stay reachable during a session.
QWidget *FocusScreenDetail::buildAllowedWebsites(QWidget *content)
{
    auto *sites = new FormSection(tr("Allowed Websites"), content);
    m_allowedWebsites = new CommaListEdit(kListLines);
    m_allowedWebsites->setObjectName(QStringLiteral("allowedWebsitesField"));
    sites->addField(tr("Domains (comma-separated)"), m_allowedWebsites);
    sites->addCaption(tr("Example: github.com, gitlab.com, developer.mozilla.org"));
    m_ignoredWebsites = sites->addCaption(QString());
    m_ignoredWebsites->setObjectName(QStringLiteral("ignoredWebsitesCaption"));
    m_ignoredWebsites->setWordWrap(true);
    m_ignoredWebsites->hide();
    connect(m_allowedWebsites, &CommaListEdit::listEdited, this, [this](const QStringList &list) {
        showIgnoredWebsites(list);
        edit([&](FocusScreen &s) { s.setAllowedWebsites(list); });
    });
    return sites;
}

// Entries that name no domain are kept as typed but left out for the
// browsers; the caption says which.
void FocusScreenDetail::showIgnoredWebsites(const QStringList &list)
{
    const QStringList ignored = WebsiteDomain::invalidEntries(list);
    m_ignoredWebsites->setText(
        ignored.isEmpty() ? QString() : tr("Not a domain, ignored: %1").arg(commaListText(ignored)));
    m_ignoredWebsites->setVisible(!ignored.isEmpty());
}

// The application or address opened at the start.
QWidget *FocusScreenDetail::buildAutoOpen(QWidget *content)
{
    auto *open = new FormSection(tr("Bible Mode (Auto-Open on Start)"), content);
    m_autoOpenApp = makeLineEdit("autoOpenAppField", open);
    m_chooseAutoOpenApp = new QPushButton(tr("Choose..."));
    m_chooseAutoOpenApp->setObjectName(QStringLiteral("chooseAutoOpenAppButton"));
    m_chooseAutoOpenApp->setToolTip(tr("Pick the installed application to open"));
    m_chooseAutoOpenApp->setEnabled(m_catalogue != nullptr);
    connect(m_chooseAutoOpenApp, &QPushButton::clicked, this, [this] {
        if (!m_catalogue)
            return;
        if (const std::optional<QString> id = AppChooser::chooseApplication(*m_catalogue, window())) {
            m_autoOpenApp->setText(*id);
            edit([&](FocusScreen &s) { s.setAutoOpenApp(*id); });
        }
    });
    open->addField(tr("Application ID to Open"), m_autoOpenApp, m_chooseAutoOpenApp);
    open->addCaption(tr("Example: com.github.johnfactotum.Foliate, info.bibletime.BibleTime"));
    m_autoOpenURL = makeLineEdit("autoOpenURLField", open);
    open->addField(tr("URL to Open"), m_autoOpenURL);
    open->addCaption(tr("Example: https://www.bible.com, https://www.biblegateway.com"));
    open->addCaption(tr("Leave both empty to disable. App takes priority over URL."));
    connect(m_autoOpenApp, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](FocusScreen &s) { s.setAutoOpenApp(OptionalText::fromText(text)); });
    });
    connect(m_autoOpenURL, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](FocusScreen &s) { s.setAutoOpenURL(OptionalText::fromText(text)); });
    });
    return open;
}

// The overlay background type and its value.
QWidget *FocusScreenDetail::buildBackground(QWidget *content)
{
    auto *zen = new FormSection(tr("Zen Style (Overlay Background)"), content);
    m_backgroundType = EnumComboBox::make<OverlayBackgroundType>(zen);
    m_backgroundType->setObjectName(QStringLiteral("backgroundTypePicker"));
    zen->addLabeledRow(tr("Background Type"), m_backgroundType);
    m_backgroundValue = makeLineEdit("backgroundValueField", nullptr);
    m_backgroundValueLabel = new QLabel;
    m_backgroundValueLabel->setObjectName(QStringLiteral("backgroundValueLabel"));
    // Beside the label: "Choose..." for an image, a swatch per colour.
    auto *helpers = new QWidget;
    auto *helperRow = new QHBoxLayout(helpers);
    helperRow->setContentsMargins(0, 0, 0, 0);
    m_swatches = new QWidget(helpers);
    m_swatches->setObjectName(QStringLiteral("colourSwatches"));
    auto *swatchRow = new QHBoxLayout(m_swatches);
    swatchRow->setContentsMargins(0, 0, 0, 0);
    helperRow->addWidget(m_swatches);
    m_chooseImage = new QPushButton(tr("Choose..."), helpers);
    m_chooseImage->setObjectName(QStringLiteral("chooseImageButton"));
    m_chooseImage->setToolTip(tr("Pick an image file"));
    helperRow->addWidget(m_chooseImage);
    connect(m_chooseImage, &QPushButton::clicked, this, &FocusScreenDetail::chooseImage);
    m_backgroundValueGroup = FormSection::fieldBlock(m_backgroundValueLabel, m_backgroundValue, zen, helpers);
    zen->addRow(m_backgroundValueGroup);
    m_backgroundCaption = zen->addCaption(QString());
    m_backgroundCaption->setObjectName(QStringLiteral("backgroundCaption"));
    connect(m_backgroundType, &QComboBox::activated, this, [this](int index) {
        // The stored value is kept when the type changes.
        edit([&](FocusScreen &s) {
            s.setOverlayBackgroundType(EnumComboBox::valueAt<OverlayBackgroundType>(m_backgroundType, index));
        });
        updateBackgroundRow();
    });
    connect(m_backgroundValue, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](FocusScreen &s) { s.setOverlayBackgroundValue(OptionalText::fromText(text)); });
        updateColourSwatches();
    });
    return zen;
}

namespace {
FocusScreenDetail::Pickers &pickers()
{
    static FocusScreenDetail::Pickers instance;
    return instance;
}

constexpr int kSwatchSize = 22;
} // namespace

void FocusScreenDetail::setPickers(Pickers replacement)
{
    pickers() = std::move(replacement);
}

QString FocusScreenDetail::storedImagePath(const QString &path)
{
    // The home folder itself is no image; only paths below it get "~/".
    const QString shown = HomePath::abbreviate(path);
    return shown == u'~' ? path : shown;
}

QList<FocusScreenDetail::ColourStop> FocusScreenDetail::colourStops(OverlayBackgroundType type,
                                                                    const QString &value)
{
    QList<ColourStop> stops;
    if (type != OverlayBackgroundType::solid && type != OverlayBackgroundType::gradient)
        return stops;
    const QStringList parts = value.split(u',');
    // A gradient's first part names its kind; a solid value is one colour.
    for (int i = type == OverlayBackgroundType::gradient ? 1 : 0; i < parts.size(); ++i) {
        QString hex = parts.at(i).trimmed();
        if (!hex.startsWith(u'#'))
            hex.prepend(u'#');
        const QColor colour = QColor::fromString(hex);
        stops.append({i, colour.isValid() ? colour : QColor()});
        if (type == OverlayBackgroundType::solid)
            break;
    }
    return stops;
}

QString FocusScreenDetail::withColour(OverlayBackgroundType type, const QString &value, int part,
                                      const QColor &colour)
{
    const QString hex = colour.name(QColor::HexRgb).toUpper();
    if (type == OverlayBackgroundType::solid)
        return hex;
    QStringList parts = value.split(u',');
    if (value.trimmed().isEmpty())
        parts = {QStringLiteral("linear")};
    if (part <= 0 || part >= parts.size())
        parts.append(hex);
    else
        parts[part] = hex;
    return parts.join(u',');
}

void FocusScreenDetail::chooseImage()
{
    const FocusScreen *s = screen();
    if (!s)
        return;
    const QString current = OptionalText::toText(s->overlayBackgroundValue());
    const QString start = HomePath::expand(current);
    const QString chosen =
        pickers().imageFile
            ? pickers().imageFile(window(), start)
            : QFileDialog::getOpenFileName(window(), tr("Choose a Background Image"),
                                           start.isEmpty() ? QDir::homePath() : start,
                                           tr("Images (*.png *.jpg *.jpeg *.webp *.bmp *.gif *.svg)"));
    if (chosen.isEmpty())
        return;
    const QString stored = storedImagePath(chosen);
    m_backgroundValue->setText(stored);
    edit([&](FocusScreen &screen) { screen.setOverlayBackgroundValue(stored); });
}

void FocusScreenDetail::chooseColour(int part)
{
    const FocusScreen *s = screen();
    if (!s)
        return;
    const OverlayBackgroundType type = s->overlayBackgroundType();
    const QString value = OptionalText::toText(s->overlayBackgroundValue());
    QColor initial = Qt::black;
    for (const ColourStop &stop : colourStops(type, value))
        if (stop.part == part && stop.colour.isValid())
            initial = stop.colour;
    const QColor chosen = pickers().colour ? pickers().colour(window(), initial)
                                           : QColorDialog::getColor(initial, window(), tr("Choose a Colour"));
    if (!chosen.isValid())
        return;
    const QString stored = withColour(type, value, part, chosen);
    m_backgroundValue->setText(stored);
    edit([&](FocusScreen &screen) { screen.setOverlayBackgroundValue(stored); });
    updateColourSwatches();
}

// One swatch per colour of the value (a solid colour, each gradient stop,
// and for a gradient one more that adds a stop); clicking opens the colour
// picker.
void FocusScreenDetail::updateColourSwatches()
{
    const FocusScreen *s = screen();
    const OverlayBackgroundType type = s ? s->overlayBackgroundType() : OverlayBackgroundType::system;
    const QString value = s ? OptionalText::toText(s->overlayBackgroundValue()) : QString();
    const QString key = QString::number(int(type)) + u'|' + value;
    if (key == m_swatchesShown && m_swatches->layout()->count() > 0)
        return;
    m_swatchesShown = key;
    QList<ColourStop> stops = colourStops(type, value);
    if (type == OverlayBackgroundType::solid && stops.isEmpty())
        stops.append({0, QColor()});
    if (type == OverlayBackgroundType::gradient)
        stops.append({-1, QColor()}); // adds a stop
    auto *row = static_cast<QHBoxLayout *>(m_swatches->layout());
    while (QLayoutItem *item = row->takeAt(0)) {
        if (QWidget *w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    for (const ColourStop &stop : std::as_const(stops)) {
        auto *swatch = new QToolButton(m_swatches);
        swatch->setObjectName(QStringLiteral("colourSwatch"));
        swatch->setFixedSize(kSwatchSize, kSwatchSize);
        if (stop.part < 0) {
            swatch->setText(QStringLiteral("+"));
            swatch->setAccessibleName(tr("Add a colour"));
        } else {
            QPixmap fill(kSwatchSize, kSwatchSize);
            fill.fill(stop.colour.isValid() ? stop.colour : QColor(Qt::transparent));
            swatch->setIcon(QIcon(fill));
            swatch->setAccessibleName(stop.colour.isValid()
                                          ? tr("Colour %1").arg(stop.colour.name().toUpper())
                                          : tr("Choose a colour"));
        }
        swatch->setToolTip(swatch->accessibleName());
        connect(swatch, &QToolButton::clicked, this, [this, part = stop.part] { chooseColour(part); });
        row->addWidget(swatch);
    }
    m_swatches->setVisible(!stops.isEmpty());
}

void FocusScreenDetail::beginNaming()
{
    if (!screen())
        return;
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
}

template<typename Edit> void FocusScreenDetail::edit(Edit &&apply)
{
    if (FocusScreen *s = screen())
        apply(*s);
}

void FocusScreenDetail::load(bool recordChanged)
{
    const FocusScreen *s = screen();
    if (!s)
        return;
    if (recordChanged)
        m_refusal.clear();
    setTextIfDifferent(m_name, s->name());
    m_duration->setDuration(s->duration());
    EnumComboBox::setCurrent(m_lockMode, s->lockMode());
    m_autoStart->setChecked(s->autoStartOnLogin());

    m_strictEnabled->setChecked(s->strictModeEnabled());
    EnumComboBox::setCurrent(m_challengeType, s->strictModeType());
    // A field emptied by the user keeps showing empty while it has the focus
    // (the stored text was kept; the caption says so).
    if (!m_sentence->hasFocus() || !m_sentence->toPlainText().trimmed().isEmpty())
        m_sentence->setTextQuietly(OptionalText::toText(s->strictModeSentence()));
    if (!m_password->hasFocus() || !m_password->text().trimmed().isEmpty())
        setTextIfDifferent(m_password, OptionalText::toText(s->strictModeAnswer()));

    if (recordChanged) {
        m_allowedApps->setTextQuietly(QString());
        m_allowedWebsites->setTextQuietly(QString());
    }
    m_allowedApps->setList(s->allowedApps());
    m_allowedAppChips->setList(s->allowedApps());
    m_allowedWebsites->setList(s->allowedWebsites());
    showIgnoredWebsites(s->allowedWebsites());

    setTextIfDifferent(m_autoOpenApp, OptionalText::toText(s->autoOpenApp()));
    setTextIfDifferent(m_autoOpenURL, OptionalText::toText(s->autoOpenURL()));

    EnumComboBox::setCurrent(m_backgroundType, s->overlayBackgroundType());
    setTextIfDifferent(m_backgroundValue, OptionalText::toText(s->overlayBackgroundValue()));

    {
        const QSignalBlocker rounds(m_rounds);
        const QSignalBlocker breakMinutes(m_breakMinutes);
        const QSignalBlocker longEvery(m_longBreakEvery);
        const QSignalBlocker longMinutes(m_longBreakMinutes);
        m_rounds->setValue(int(std::clamp<qint64>(s->rounds(), 1, RoundLimits::kMaxRounds)));
        m_breakMinutes->setValue(int(std::lround(s->breakLength() / 60.0)));
        m_longBreakEvery->setValue(int(std::clamp<qint64>(s->longBreakEvery(), 1, RoundLimits::kMaxRounds)));
        m_longBreakMinutes->setValue(int(std::lround(s->longBreakLength() / 60.0)));
    }
    m_appsBack->setChecked(s->appsBackDuringBreak());
    updateRoundControls();
    {
        const QSignalBlocker blocker(m_schedules);
        m_schedules->setSchedules(s->schedules());
    }
    m_nextStart->setText(nextStartText(s->schedules(), QDateTime::currentDateTimeUtc()));
    m_nextStart->setVisible(!m_nextStart->text().isEmpty());
    loadProfiles();

    updateStrictVisibility();
    updateBackgroundRow();
}

void FocusScreenDetail::updateStrictVisibility()
{
    const FocusScreen *s = screen();
    const bool enabled = s && s->strictModeEnabled();
    const StrictModeType type = s ? s->strictModeType() : StrictModeType::none;
    // Turning strict mode off only hides the controls; the stored values stay.
    m_strictGroup->setVisible(enabled);
    m_sentenceGroup->setVisible(type == StrictModeType::sentence);
    m_passwordGroup->setVisible(type == StrictModeType::password);
    m_mathCaption->setVisible(type == StrictModeType::math);
    m_typeDescription->setText(description(type));

    // What keeps the challenge from guarding the session, if anything.
    QString problem = m_refusal;
    const auto blank = [](const std::optional<QString> &text) { return !text || text->trimmed().isEmpty(); };
    if (problem.isEmpty() && s && enabled) {
        if (type == StrictModeType::none)
            problem = tr("“None” cannot guard a session: choose a challenge.");
        else if (type == StrictModeType::sentence && blank(s->strictModeSentence()))
            problem = tr("Enter a sentence: without one, strict mode guards nothing.");
        else if (type == StrictModeType::password && blank(s->strictModeAnswer()))
            problem = tr("Enter a password: without one, strict mode guards nothing.");
    }
    m_strictProblem->setText(problem);
    m_strictProblem->setVisible(!problem.isEmpty());
    // A warning, in the warning colour of the current appearance.
    QPalette warning = m_strictProblem->palette();
    warning.setColor(QPalette::WindowText, TextStyles::orange(palette()));
    m_strictProblem->setPalette(warning);
}

void FocusScreenDetail::updateBackgroundRow()
{
    const FocusScreen *s = screen();
    const OverlayBackgroundType type = s ? s->overlayBackgroundType() : OverlayBackgroundType::system;
    const QString label = backgroundFieldLabel(type);
    m_backgroundValueGroup->setVisible(!label.isEmpty());
    m_backgroundValueLabel->setText(label);
    m_backgroundValue->setAccessibleName(label);
    m_backgroundCaption->setText(backgroundCaption(type));
    m_chooseImage->setVisible(type == OverlayBackgroundType::image);
    updateColourSwatches();
}
