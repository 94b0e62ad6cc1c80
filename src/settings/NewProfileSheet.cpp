// SPDX-License-Identifier: MIT
#include "NewProfileSheet.h"

#include "AppModel.h"
#include "CommaList.h"
#include "ModelContext.h"
#include "SettingsStyle.h"
#include "Symbols.h"
#include "TextStyles.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kProminentRadius = 5;
constexpr int kProminentPaddingV = 5;
constexpr int kProminentPaddingH = 14;
constexpr int kPressedDarker = 115;

// A text field that grows to several lines but leaves Return to the sheet
// (the default action); Shift+Return or Alt+Return starts a new line.
class ListTextEdit : public QPlainTextEdit
{
public:
    ListTextEdit(const QString &accessibleName, QWidget *parent) : QPlainTextEdit(parent)
    {
        setTabChangesFocus(true);
        setAccessibleName(accessibleName);
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        const QFontMetrics metrics(font());
        const int frame = 2 * frameWidth() + int(2 * document()->documentMargin());
        setMinimumHeight(NewProfileSheet::kMinimumTextLines * metrics.lineSpacing() + frame);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const auto lineBreak = Qt::ShiftModifier | Qt::AltModifier;
        if (isReturn && !(event->modifiers() & lineBreak)) {
            event->ignore();
            return;
        }
        if (isReturn) {
            insertPlainText(QStringLiteral("\n"));
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

} // namespace

NewProfileSheet::NewProfileSheet(AppModel *model, QWidget *parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("newProfileSheet"));
    setWindowTitle(tr("New Lock Profile"));
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::WindowModal);
    // Part of the settings window: it takes the window's tint and palette.
    setAttribute(Qt::WA_WindowPropagation);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    stack->setSpacing(kSpacing);

    auto *title = TextStyles::plainLabel(tr("New Lock Profile"), this);
    title->setFont(TextStyles::headline(font()));
    stack->addWidget(title);

    auto *form = new QGroupBox(this);
    auto *fields = new QFormLayout(form);
    fields->setRowWrapPolicy(QFormLayout::WrapLongRows);
    m_name = new QLineEdit(form);
    m_name->setObjectName(QStringLiteral("profileName"));
    m_name->setPlaceholderText(tr("Profile Name"));
    fields->addRow(tr("Profile Name"), m_name);

    m_mode = new QComboBox(form);
    m_mode->setObjectName(QStringLiteral("lockMode"));
    for (const LockMode mode : allCases<LockMode>())
        m_mode->addItem(Symbols::icon(icon(mode)), displayName(mode), rawValue(mode));
    fields->addRow(tr("Lock Mode"), m_mode);

    m_blockedApps = new ListTextEdit(tr("Blocked Applications (comma-separated IDs)"), form);
    m_blockedApps->setObjectName(QStringLiteral("blockedApps"));
    fields->addRow(tr("Blocked Applications (comma-separated IDs)"), m_blockedApps);
    m_blockedWebsites = new ListTextEdit(tr("Blocked Websites (comma-separated domains)"), form);
    m_blockedWebsites->setObjectName(QStringLiteral("blockedWebsites"));
    fields->addRow(tr("Blocked Websites (comma-separated domains)"), m_blockedWebsites);
    stack->addWidget(form, 1);

    auto *buttons = new QHBoxLayout;
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    // Return always means "Add Profile", whichever button has the focus.
    m_cancel->setAutoDefault(false);
    m_add = new QPushButton(tr("Add Profile"), this);
    m_add->setObjectName(QStringLiteral("addProfile"));
    m_add->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    stack->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &NewProfileSheet::cancel);
    connect(m_add, &QPushButton::clicked, this, &NewProfileSheet::addProfile);

    paintProminent();
    m_name->setFocus(Qt::OtherFocusReason);
}

void NewProfileSheet::present()
{
    open();
}

QString NewProfileSheet::profileName(const QString &typed)
{
    return typed.isEmpty() ? tr("New Profile") : typed;
}

void NewProfileSheet::addProfile()
{
    if (m_dismissed)
        return;
    if (m_model) {
        const QStringList apps = parseCommaList(m_blockedApps->toPlainText());
        const QStringList sites = parseCommaList(m_blockedWebsites->toPlainText());
        const LockMode mode =
            fromRaw<LockMode>(m_mode->currentData().toString()).value_or(LockMode::hideApps);
        // Inserts the profile and selects it, so the main window's profile
        // page shows it when visited.
        m_model->addLockProfile(profileName(m_name->text()), apps, sites, mode);
        m_model->context()->save(); // a failed save keeps the profile pending
    }
    dismiss(Accepted);
}

void NewProfileSheet::cancel()
{
    dismiss(Rejected);
}

void NewProfileSheet::reject()
{
    cancel();
}

void NewProfileSheet::dismiss(int result)
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    QDialog::done(result);
    Q_EMIT dismissed();
}

void NewProfileSheet::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_add) // also arrives while being built
        paintProminent();
}

void NewProfileSheet::paintProminent()
{
    // The default button is filled with the accent colour. A style sheet
    // with the colours of the moment; it is written again whenever the
    // palette (light, dark, accent) changes.
    const QColor fill = palette().color(QPalette::Active, QPalette::Highlight);
    const QColor text = palette().color(QPalette::Active, QPalette::HighlightedText);
    const QString sheet = QStringLiteral("QPushButton { background-color: %1; color: %2; border: none;"
                                         " border-radius: %4px; padding: %5px %6px; }"
                                         " QPushButton:pressed { background-color: %3; }")
                              .arg(fill.name(), text.name(), fill.darker(kPressedDarker).name())
                              .arg(kProminentRadius)
                              .arg(kProminentPaddingV)
                              .arg(kProminentPaddingH);
    if (m_add->styleSheet() != sheet)
        m_add->setStyleSheet(sheet);
}
