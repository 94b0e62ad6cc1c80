// SPDX-License-Identifier: MIT
#pragma once

#include "GlobalShortcut.h"
#include "HotKeyBackend.h"
#include "Query.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class AppModel;
class AppSettings;
class BrowserSection;
class GnomeShellSection;
class LoginItem;
class QCheckBox;
class QComboBox;
class QLabel;
class ShortcutField;
class EmptyStatePanel;

// The general page of the settings window. It edits the first settings row
// of the store: launch at login, the global shortcut (recorded or typed), the default lock
// mode and the default strict mode type; every change is saved at once. The
// focus-session choices (do not disturb, the sound at the end) go to the
// user defaults, not the store.
// When the store has no settings row it shows "Settings Unavailable" and
// creates the row, once, on the next turn of the event loop.
class GeneralSettings : public QWidget
{
    Q_OBJECT
public:
    // The field is this wide, or wider where the longest shortcut text needs it.
    static constexpr int kShortcutFieldWidth = 140;
    static constexpr const char *kLaunchAtLoginFailure = "Failed to update launch at login: ";

    // The login item is the XDG autostart entry of this program unless one
    // is given (tests).
    explicit GeneralSettings(AppModel *model, QWidget *parent = nullptr);
    ~GeneralSettings() override;

    void setLoginItem(std::unique_ptr<LoginItem> loginItem);

    // Who holds the global shortcut in this session; the note under the
    // field says what that means for the user (the program's own default
    // until told otherwise).
    void setShortcutKeeper(HotKeyBackend::Keeper keeper);
    QLabel *shortcutNote() const { return m_shortcutNote; }

    // Puts a chosen shortcut into effect in the running program (the shell
    // supplies it); without one a new shortcut waits for the next start.
    // The line under the note says how it went.
    using ShortcutApplier = std::function<ShortcutRegistration(const QString &storedText)>;
    void setShortcutApplier(ShortcutApplier applier) { m_applyShortcut = std::move(applier); }
    QLabel *shortcutStatus() const { return m_shortcutStatus; }

    // The settings row shown, or null while there is none.
    AppSettings *settings() const;

    // The launch-at-login change, as the toggle makes it: store, save,
    // register or unregister, and on failure one line on standard output.
    void setLaunchAtLogin(bool on);

    QCheckBox *launchAtLoginToggle() const { return m_launchAtLogin; }
    ShortcutField *shortcutField() const { return m_shortcut; }
    QComboBox *lockModePicker() const { return m_lockMode; }
    QComboBox *strictModePicker() const { return m_strictMode; }
    BrowserSection *browserSection() const { return m_browsers; }
    GnomeShellSection *gnomeShellSection() const { return m_gnomeShell; }
    QCheckBox *doNotDisturbToggle() const { return m_doNotDisturb; }
    QCheckBox *endSoundToggle() const { return m_endSound; }
    bool isUnavailable() const;

private:
    void build();
    void sync();
    void createSettingsLater();
    void save();
    void applyShortcut(const QString &storedText);

    QPointer<AppModel> m_model;
    Query<AppSettings> *m_query = nullptr;
    std::unique_ptr<LoginItem> m_loginItem;
    bool m_creationQueued = false;

    EmptyStatePanel *m_unavailable = nullptr;
    QWidget *m_sections = nullptr;
    QCheckBox *m_launchAtLogin = nullptr;
    ShortcutField *m_shortcut = nullptr;
    QLabel *m_shortcutNote = nullptr;
    QLabel *m_shortcutStatus = nullptr;
    ShortcutApplier m_applyShortcut;
    QComboBox *m_lockMode = nullptr;
    QComboBox *m_strictMode = nullptr;
    BrowserSection *m_browsers = nullptr;
    GnomeShellSection *m_gnomeShell = nullptr;
    QCheckBox *m_doNotDisturb = nullptr;
    QCheckBox *m_endSound = nullptr;
};
