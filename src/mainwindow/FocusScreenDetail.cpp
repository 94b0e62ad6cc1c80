#include "FocusScreenDetail.h"

#include "AppChooser.h"
#include "AppModel.h"
#include "CommaList.h"
#include "CommaListEdit.h"
#include "DurationPicker.h"
#include "EnumComboBox.h"
#include "FocusScreen.h"
#include "FormSection.h"
#include "GridProbeModifier.h"
#include "ModelContext.h"
#include "OptionalText.h"
#include "WebsiteDomain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
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
    column->addWidget(buildStrictMode(content));
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

    m_typeDescription = FormSection::makeCaption(QString(), m_strictGroup);
    m_typeDescription->setObjectName(QStringLiteral("strictModeDescription"));
    // The description sits a little apart from the controls above it.
    m_typeDescription->setContentsMargins(0, kDescriptionGap, 0, 0);
    strictRows->addWidget(m_typeDescription);
    strict->addGroup(m_strictGroup);

    connect(m_strictEnabled, &QCheckBox::clicked, this, [this](bool on) {
        edit([&](FocusScreen &s) { s.setStrictModeEnabled(on); });
        updateStrictVisibility();
    });
    connect(m_challengeType, &QComboBox::activated, this, [this](int index) {
        edit([&](FocusScreen &s) {
            s.setStrictModeType(EnumComboBox::valueAt<StrictModeType>(m_challengeType, index));
        });
        updateStrictVisibility();
    });
    connect(m_sentence, &GrowingTextEdit::textEdited, this, [this](const QString &text) {
        edit([&](FocusScreen &s) { s.setStrictModeSentence(OptionalText::fromText(text)); });
    });
    connect(m_password, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](FocusScreen &s) { s.setStrictModeAnswer(OptionalText::fromText(text)); });
    });
    return strict;
}

// The applications that stay usable during a session.
QWidget *FocusScreenDetail::buildAllowedApps(QWidget *content)
{
    auto *apps = new FormSection(tr("Allowed Applications"), content);
    m_allowedApps = new CommaListEdit(kListLines);
    m_allowedApps->setObjectName(QStringLiteral("allowedAppsField"));
    m_chooseAllowedApps = AppChooser::makeChooseButton(m_allowedApps, m_catalogue);
    m_chooseAllowedApps->setObjectName(QStringLiteral("chooseAllowedAppsButton"));
    apps->addField(tr("Application IDs (comma-separated)"), m_allowedApps, m_chooseAllowedApps);
    apps->addCaption(tr("Example: firefox-esr, org.gnome.Nautilus"));
    connect(m_allowedApps, &CommaListEdit::listEdited, this,
            [this](const QStringList &list) { edit([&](FocusScreen &s) { s.setAllowedApps(list); }); });
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
    open->addField(tr("Application ID to Open"), m_autoOpenApp);
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
    m_backgroundValueGroup = FormSection::fieldBlock(m_backgroundValueLabel, m_backgroundValue, zen);
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
    });
    return zen;
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
    setTextIfDifferent(m_name, s->name());
    m_duration->setDuration(s->duration());
    EnumComboBox::setCurrent(m_lockMode, s->lockMode());
    m_autoStart->setChecked(s->autoStartOnLogin());

    m_strictEnabled->setChecked(s->strictModeEnabled());
    EnumComboBox::setCurrent(m_challengeType, s->strictModeType());
    m_sentence->setTextQuietly(OptionalText::toText(s->strictModeSentence()));
    setTextIfDifferent(m_password, OptionalText::toText(s->strictModeAnswer()));

    if (recordChanged) {
        m_allowedApps->setTextQuietly(QString());
        m_allowedWebsites->setTextQuietly(QString());
    }
    m_allowedApps->setList(s->allowedApps());
    m_allowedWebsites->setList(s->allowedWebsites());
    showIgnoredWebsites(s->allowedWebsites());

    setTextIfDifferent(m_autoOpenApp, OptionalText::toText(s->autoOpenApp()));
    setTextIfDifferent(m_autoOpenURL, OptionalText::toText(s->autoOpenURL()));

    EnumComboBox::setCurrent(m_backgroundType, s->overlayBackgroundType());
    setTextIfDifferent(m_backgroundValue, OptionalText::toText(s->overlayBackgroundValue()));

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
}
