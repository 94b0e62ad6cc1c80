// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"

#include <QDialog>
#include <QPointer>

class AppModel;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The sheet that creates a lock profile with all its fields at once. Its
// fields start empty every time; Escape cancels and Return adds the
// profile. It is window-modal and never blocks in an event loop of its own.
class NewProfileSheet : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 380;
    static constexpr int kMargin = 20;
    static constexpr int kSpacing = 16;
    static constexpr int kMinimumTextLines = 3;

    NewProfileSheet(AppModel *model, QWidget *parent = nullptr);

    // Shows the sheet over its parent window.
    void present();

    // The name a profile gets: the text as typed (not trimmed), or
    // "New Profile" when it is empty.
    static QString profileName(const QString &typed);

    // "Add Profile": creates the profile from the fields, selects it,
    // saves and dismisses the sheet.
    void addProfile();
    // "Cancel": dismisses the sheet; nothing is stored.
    void cancel();

    QLineEdit *nameField() const { return m_name; }
    QComboBox *modePicker() const { return m_mode; }
    QPlainTextEdit *blockedAppsField() const { return m_blockedApps; }
    QPlainTextEdit *blockedWebsitesField() const { return m_blockedWebsites; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    // The sheet is done, by either button; its owner clears its flag.
    void dismissed();

public Q_SLOTS:
    // Escape and closing the window cancel.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void dismiss(int result);
    void paintProminent();

    QPointer<AppModel> m_model;
    QLineEdit *m_name = nullptr;
    QComboBox *m_mode = nullptr;
    QPlainTextEdit *m_blockedApps = nullptr;
    QPlainTextEdit *m_blockedWebsites = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_add = nullptr;
    bool m_dismissed = false;
};
