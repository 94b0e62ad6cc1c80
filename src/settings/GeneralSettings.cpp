// SPDX-License-Identifier: MIT
#include "GeneralSettings.h"

#include "AppModel.h"
#include "AppSettings.h"
#include "BrowserSection.h"
#include "EmptyStatePanel.h"
#include "GnomeShellSection.h"
#include "Logging.h"
#include "LoginItem.h"
#include "ModelContext.h"
#include "SessionPreferences.h"
#include "SettingsStyle.h"
#include "ShortcutField.h"
#include "Store.h"
#include "Symbols.h"
#include "TextStyles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template<typename E> void fillPicker(QComboBox *picker)
{
    for (const E value : allCases<E>())
        picker->addItem(Symbols::icon(icon(value)), displayName(value), rawValue(value));
}

template<typename E> void showInPicker(QComboBox *picker, E value)
{
    const QSignalBlocker block(picker);
    picker->setCurrentIndex(picker->findData(rawValue(value)));
}

} // namespace

GeneralSettings::GeneralSettings(AppModel *model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("generalSettings"));
    m_query = new Query<AppSettings>(model->context(), {}, this);
    connect(m_query, &QueryBase::resultsChanged, this, &GeneralSettings::sync);
    build();
    sync();
}

GeneralSettings::~GeneralSettings() = default;

void GeneralSettings::setLoginItem(std::unique_ptr<LoginItem> loginItem)
{
    m_loginItem = std::move(loginItem);
}

AppSettings *GeneralSettings::settings() const
{
    const auto &rows = m_query->results();
    return rows.isEmpty() ? nullptr : rows.first();
}

bool GeneralSettings::isUnavailable() const
{
    return !m_unavailable->isHidden();
}

void GeneralSettings::build()
{
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(SettingsStyle::kPageMargin, SettingsStyle::kPageMargin,
                             SettingsStyle::kPageMargin, SettingsStyle::kPageMargin);

    m_unavailable =
        new EmptyStatePanel(tr("Settings Unavailable"), QStringLiteral("gearshape"), QString(), this);
    m_unavailable->setObjectName(QStringLiteral("settingsUnavailable"));
    page->addWidget(m_unavailable);

    m_sections = new QWidget(this);
    auto *sections = new QVBoxLayout(m_sections);
    sections->setContentsMargins(0, 0, 0, 0);
    sections->setSpacing(SettingsStyle::kSectionSpacing);
    page->addWidget(m_sections);
    page->addStretch(1);

    // Startup
    auto *startup = new QGroupBox(tr("Startup"), m_sections);
    auto *startupRows = new QVBoxLayout(startup);
    m_launchAtLogin = new QCheckBox(tr("Launch at Login"), startup);
    m_launchAtLogin->setObjectName(QStringLiteral("launchAtLogin"));
    startupRows->addWidget(m_launchAtLogin);
    connect(m_launchAtLogin, &QCheckBox::toggled, this, &GeneralSettings::setLaunchAtLogin);
    sections->addWidget(startup);

    // Shortcut
    auto *shortcut = new QGroupBox(tr("Shortcut"), m_sections);
    auto *shortcutRows = new QFormLayout(shortcut);
    shortcutRows->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_shortcut = new ShortcutField(shortcut);
    m_shortcut->setObjectName(QStringLiteral("globalShortcut"));
    m_shortcut->setPlaceholderText(tr("Global Shortcut"));
    m_shortcut->setFixedWidth(std::max(kShortcutFieldWidth, m_shortcut->fittingWidth()));
    m_shortcut->setAccessibleName(tr("Global Shortcut"));
    shortcutRows->addRow(tr("Global Shortcut"), m_shortcut);
    m_shortcutNote = TextStyles::captionLabel(QString(), shortcut);
    m_shortcutNote->setObjectName(QStringLiteral("shortcutNote"));
    m_shortcutNote->setWordWrap(true);
    shortcutRows->addRow(m_shortcutNote);
    m_shortcutStatus = TextStyles::captionLabel(QString(), shortcut);
    m_shortcutStatus->setObjectName(QStringLiteral("shortcutStatus"));
    m_shortcutStatus->setTextFormat(Qt::PlainText);
    m_shortcutStatus->setWordWrap(true);
    m_shortcutStatus->hide();
    shortcutRows->addRow(m_shortcutStatus);
    setShortcutKeeper(HotKeyBackend::Keeper::program);
    // Saved at once: a recorded combination in the stored form, typed text
    // as typed, keystroke by keystroke. It takes effect when the user is
    // done with the field.
    connect(m_shortcut, &ShortcutField::shortcutEdited, this, [this](const QString &text) {
        if (AppSettings *row = settings()) {
            row->setGlobalShortcut(text);
            save();
        }
    });
    connect(m_shortcut, &ShortcutField::shortcutChosen, this, &GeneralSettings::applyShortcut);
    sections->addWidget(shortcut);

    // Default Lock Mode
    auto *lockMode = new QGroupBox(tr("Default Lock Mode"), m_sections);
    auto *lockModeRows = new QFormLayout(lockMode);
    m_lockMode = new QComboBox(lockMode);
    m_lockMode->setObjectName(QStringLiteral("defaultLockMode"));
    fillPicker<LockMode>(m_lockMode);
    lockModeRows->addRow(tr("Default Lock Mode"), m_lockMode);
    connect(m_lockMode, &QComboBox::currentIndexChanged, this, [this] {
        const auto mode = fromRaw<LockMode>(m_lockMode->currentData().toString());
        if (AppSettings *row = settings(); row && mode) {
            row->setDefaultLockMode(*mode);
            save();
        }
    });
    sections->addWidget(lockMode);

    // Default Strict Mode
    auto *strictMode = new QGroupBox(tr("Default Strict Mode"), m_sections);
    auto *strictModeRows = new QFormLayout(strictMode);
    m_strictMode = new QComboBox(strictMode);
    m_strictMode->setObjectName(QStringLiteral("defaultStrictMode"));
    fillPicker<StrictModeType>(m_strictMode);
    strictModeRows->addRow(tr("Default Strict Mode"), m_strictMode);
    strictModeRows->addRow(
        TextStyles::captionLabel(tr("Applied to new focus screens when Strict Mode is enabled"), strictMode));
    connect(m_strictMode, &QComboBox::currentIndexChanged, this, [this] {
        const auto type = fromRaw<StrictModeType>(m_strictMode->currentData().toString());
        if (AppSettings *row = settings(); row && type) {
            row->setDefaultStrictModeType(*type);
            save();
        }
    });
    sections->addWidget(strictMode);

    // Focus Sessions: what every session does, kept in the user defaults.
    auto *sessionsBox = new QGroupBox(tr("Focus Sessions"), m_sections);
    auto *sessionRows = new QVBoxLayout(sessionsBox);
    m_doNotDisturb = new QCheckBox(tr("Do Not Disturb While Focusing"), sessionsBox);
    m_doNotDisturb->setObjectName(QStringLiteral("doNotDisturb"));
    m_doNotDisturb->setChecked(SessionPreferences::doNotDisturb());
    sessionRows->addWidget(m_doNotDisturb);
    sessionRows->addWidget(TextStyles::captionLabel(
        tr("Other programs' notifications wait until the session is over"), sessionsBox));
    connect(m_doNotDisturb, &QCheckBox::toggled, this,
            [](bool on) { SessionPreferences::setDoNotDisturb(on); });
    m_endSound = new QCheckBox(tr("Play a Sound When a Session Ends"), sessionsBox);
    m_endSound->setObjectName(QStringLiteral("endSound"));
    m_endSound->setChecked(SessionPreferences::endSound());
    sessionRows->addWidget(m_endSound);
    connect(m_endSound, &QCheckBox::toggled, this, [](bool on) { SessionPreferences::setEndSound(on); });
    sections->addWidget(sessionsBox);

    m_browsers = new BrowserSection(m_sections);
    sections->addWidget(m_browsers);
    m_gnomeShell = new GnomeShellSection(m_sections);
    sections->addWidget(m_gnomeShell);
}

void GeneralSettings::applyShortcut(const QString &storedText)
{
    if (!m_applyShortcut)
        return;
    const QString shown = shortcutDisplayText(storedText);
    QString status;
    switch (m_applyShortcut(storedText)) {
    case ShortcutRegistration::registered:
        status = tr("%1 now opens the popover.").arg(shown);
        break;
    case ShortcutRegistration::invalid:
        status = storedText.trimmed().isEmpty()
                     ? tr("No global shortcut now: open the popover from the tray or with lumora --popover.")
                     : tr("“%1” cannot be a global shortcut: it needs Ctrl, Alt or Super, or one of F1–F12. "
                          "The shortcut in use stays.")
                           .arg(shown);
        break;
    case ShortcutRegistration::refused:
        status = tr("%1 could not be registered: another program may be using it. "
                    "The shortcut in use stays.")
                     .arg(shown);
        break;
    case ShortcutRegistration::unavailable:
        break; // the note already says how to bind one in this session
    }
    m_shortcutStatus->setText(status);
    m_shortcutStatus->setVisible(!status.isEmpty());
}

void GeneralSettings::setShortcutKeeper(HotKeyBackend::Keeper keeper)
{
    //: the default global shortcut, then another suggestion
    const QString byDefault =
        tr("Default: %1 (or %2)")
            .arg(shortcutDisplayText(QString::fromUtf8(AppSettings::kDefaultGlobalShortcut)),
                 QStringLiteral("Super+Shift+F"));
    switch (keeper) {
    case HotKeyBackend::Keeper::program:
        m_shortcutNote->setText(byDefault);
        break;
    case HotKeyBackend::Keeper::desktop:
        m_shortcutNote->setText(
            byDefault + QLatin1Char('\n') +
            tr("The desktop manages this shortcut: it may ask you to confirm or change it, "
               "and its keyboard settings show the one in use."));
        break;
    case HotKeyBackend::Keeper::gnomeShell:
        m_shortcutNote->setText(
            byDefault + QLatin1Char('\n') +
            tr("GNOME Shell keeps this shortcut through Lumora's extension; change it here."));
        break;
    case HotKeyBackend::Keeper::none:
        m_shortcutNote->setText(
            tr("This desktop does not let programs set a global shortcut. Bind one in the "
               "desktop's keyboard settings to the command lumora --popover."));
        break;
    }
}

void GeneralSettings::sync()
{
    AppSettings *row = settings();
    m_unavailable->setVisible(row == nullptr);
    m_sections->setVisible(row != nullptr);
    if (!row) {
        createSettingsLater();
        return;
    }
    {
        const QSignalBlocker block(m_launchAtLogin);
        m_launchAtLogin->setChecked(row->launchAtLogin());
    }
    m_shortcut->showStored(row->globalShortcut());
    showInPicker(m_lockMode, row->defaultLockMode());
    showInPicker(m_strictMode, row->defaultStrictModeType());
}

void GeneralSettings::createSettingsLater()
{
    if (m_creationQueued)
        return;
    m_creationQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_creationQueued = false;
            if (!m_model)
                return;
            ModelContext *context = m_model->context();
            // Another page or window may have created it meanwhile.
            if (context->fetchCount<AppSettings>() > 0)
                return;
            context->insert(std::make_unique<AppSettings>());
            context->save();
        },
        Qt::QueuedConnection);
}

void GeneralSettings::save()
{
    if (m_model)
        m_model->context()->save(); // a failed save keeps the change pending
}

void GeneralSettings::setLaunchAtLogin(bool on)
{
    AppSettings *row = settings();
    if (!row)
        return;
    row->setLaunchAtLogin(on);
    save();
    // A development run on a scratch store keeps the flag in that store only:
    // the user's real login entry is never written or removed from it.
    const bool realEntry = m_loginItem || !Store::isOverridden();
    if (!m_loginItem && realEntry)
        m_loginItem = std::make_unique<XdgAutostartLoginItem>(QCoreApplication::applicationFilePath());
    QString error;
    const bool done =
        !realEntry || (on ? m_loginItem->registerItem(&error) : m_loginItem->unregisterItem(&error));
    if (!done)
        qCInfo(lcSettings).noquote() << QLatin1String(kLaunchAtLoginFailure) + error;
    // The toggle stays where the user put it, whatever happened.
    if (m_launchAtLogin->isChecked() != on) {
        const QSignalBlocker block(m_launchAtLogin);
        m_launchAtLogin->setChecked(on);
    }
}
