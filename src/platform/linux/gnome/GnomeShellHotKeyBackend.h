// SPDX-License-Identifier: MIT
#pragma once

#include "HotKeyBackend.h"

#include <QObject>
#include <QString>

#include <memory>

class GnomeShellExtension;

// The global shortcut on GNOME Shell: Lumora's extension binds the
// combination with the shell's own key bindings (its settings key
// open-popover) and says ShortcutActivated when it is pressed, delivered here
// as a press and a release. GNOME Shell holds the key (Keeper::gnomeShell).
// One combination is bound at a time: the latest registration.
class GnomeShellHotKeyBackend final : public QObject, public HotKeyBackend
{
    Q_OBJECT
public:
    explicit GnomeShellHotKeyBackend(QObject *parent = nullptr);
    ~GnomeShellHotKeyBackend() override;

    // The extension answers.
    bool isAvailable() const override;
    Keeper keeper() const override;
    std::optional<Reference> registerHotKey(Key key, ModifierFlags modifiers, EventHotKeyID id) override;
    void unregisterHotKey(Reference reference) override;
    void installEventHandler(EventHandler handler) override;

    // A combination in GTK's accelerator form ("<Control><Super>f"), from the
    // portal's trigger form ("CTRL+LOGO+f"); empty when it has no key.
    static QString accelerator(const QString &trigger);

private:
    std::unique_ptr<GnomeShellExtension> m_extension;
    EventHandler m_handler;
    Reference m_nextReference = 1;
    Reference m_bound = 0;
    EventHotKeyID m_boundId;
};
