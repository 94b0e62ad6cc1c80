// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Starting the program when the user logs in, as an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/lumora.desktop.
class LoginItem
{
public:
    virtual ~LoginItem() = default;
    // Both return false and set error (a readable description) on failure.
    virtual bool registerItem(QString *error) = 0;
    virtual bool unregisterItem(QString *error) = 0;
    virtual bool isRegistered() const = 0;
};

class XdgAutostartLoginItem final : public LoginItem
{
public:
    // The argument the entry starts the program with, so that a start by the
    // login session is known for one whenever it happens.
    static constexpr const char *kLoginArgument = "--login";

    // program: absolute path of the executable the entry starts.
    explicit XdgAutostartLoginItem(QString program);

    static QString autostartFilePath();

    bool registerItem(QString *error) override;
    bool unregisterItem(QString *error) override;
    bool isRegistered() const override;

    // The entry's text for this program. Registering always writes it, so an
    // entry of an older version is brought up to date.
    QString entryText() const;

private:
    QString m_program;
};
