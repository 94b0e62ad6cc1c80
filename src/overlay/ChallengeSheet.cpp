// SPDX-License-Identifier: MIT
#include "ChallengeSheet.h"

#include "DisplayText.h"
#include "ExitChallenge.h"
#include "IconView.h"
#include "OverlayStyle.h"
#include "Symbols.h"
#include "TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace OverlayStyle;

namespace {

// The red of error text for light and dark sheets.
constexpr QRgb kErrorRedLight = 0xFF3B30;
constexpr QRgb kErrorRedDark = 0xFF453A;
constexpr qreal kSheetBorderOpacity = 0.2;
constexpr int kSheetButtonMinWidth = 88;

bool isDark(const QPalette &pal)
{
    return pal.color(QPalette::Window).lightnessF() < 0.5;
}

} // namespace

ChallengeSheet::ChallengeSheet(ExitChallenge *challenge, const QColor &accent, QWidget *parent)
    : QWidget(parent), m_challenge(challenge), m_accent(accent)
{
    setObjectName(QStringLiteral("challengeSheet"));
    setFixedWidth(kSheetWidth);
    setAutoFillBackground(false);

    auto *column = new QVBoxLayout(this);
    column->setSpacing(kSheetSpacing);
    column->setContentsMargins(kSheetMargin, kSheetMargin, kSheetMargin, kSheetMargin);

    const StrictModeType type = challenge->strictModeType();
    m_icon = IconView::symbol(Challenge::sheetSymbol(type), accent, kSheetIconSize, this);
    m_icon->setObjectName(QStringLiteral("challengeIcon"));
    column->addWidget(m_icon, 0, Qt::AlignHCenter);

    m_title = TextStyles::plainLabel(tr("Exit Challenge"), this);
    m_title->setObjectName(QStringLiteral("challengeTitle"));
    m_title->setFont(textFont(kTitleSize, QFont::Bold));
    m_title->setAlignment(Qt::AlignCenter);
    column->addWidget(m_title);

    m_prompt = TextStyles::plainLabel(Challenge::promptText(type), this);
    m_prompt->setObjectName(QStringLiteral("challengePrompt"));
    m_prompt->setFont(textFont(kBodySize));
    m_prompt->setAlignment(Qt::AlignCenter);
    m_prompt->setWordWrap(true);
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(float(kSecondaryOpacity));
    setTextColor(m_prompt, secondary);
    column->addWidget(m_prompt);

    // The sentence to type stays readable while typing: in the field it is
    // only the placeholder, cut off when long and gone at the first key.
    const std::optional<QString> &sentence = challenge->strictModeSentence();
    if (type == StrictModeType::sentence && sentence && !sentence->trimmed().isEmpty()) {
        auto *shown = TextStyles::plainLabel(tr("“%1”").arg(sentence->trimmed()), this);
        shown->setObjectName(QStringLiteral("challengeSentence"));
        shown->setFont(monospacedFont(kSheetFieldTextSize));
        shown->setAlignment(Qt::AlignCenter);
        shown->setWordWrap(true);
        shown->setTextInteractionFlags(Qt::NoTextInteraction);
        column->addWidget(shown);
    }

    if (type == StrictModeType::math) {
        m_problem = new QLabel(this);
        m_problem->setObjectName(QStringLiteral("challengeProblem"));
        m_problem->setTextFormat(Qt::PlainText);
        m_problem->setFont(monospacedFont(kSheetFieldTextSize));
        m_problem->setAlignment(Qt::AlignCenter);
        column->addWidget(m_problem);
    }

    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("challengeField"));
    m_field->setFont(monospacedFont(kSheetFieldTextSize));
    if (type == StrictModeType::password) {
        m_field->setEchoMode(QLineEdit::Password);
        m_field->setPlaceholderText(tr("Enter password"));
    }
    m_field->setAccessibleName(type == StrictModeType::password ? tr("Password") : tr("Answer"));
    m_field->setAccessibleDescription(Challenge::promptText(type));
    auto *fieldRow = new QHBoxLayout;
    fieldRow->setContentsMargins(kSheetFieldMarginH, 0, kSheetFieldMarginH, 0);
    fieldRow->addWidget(m_field);
    column->addLayout(fieldRow);

    m_error = TextStyles::plainLabel(QString(), this);
    m_error->setObjectName(QStringLiteral("challengeError"));
    m_error->setFont(textFont(kCaptionSize));
    m_error->setAlignment(Qt::AlignCenter);
    m_error->setWordWrap(true);
    setTextColor(m_error, QColor(isDark(palette()) ? kErrorRedDark : kErrorRedLight));
    m_error->hide();
    column->addWidget(m_error);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);
    m_submit = new QPushButton(tr("Submit"), this);
    m_submit->setObjectName(QStringLiteral("submitButton"));
    m_submit->setAutoDefault(false);
    for (auto *button : {m_cancel, m_submit})
        button->setMinimumWidth(kSheetButtonMinWidth);
    setAccentColor(accent);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(kSheetButtonSpacing);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_submit);
    buttons->addStretch();
    column->addLayout(buttons);

    connect(m_field, &QLineEdit::textChanged, challenge, &ExitChallenge::setChallengeInput);
    // Return submits whatever the field holds; only the button checks for blanks.
    connect(m_field, &QLineEdit::returnPressed, challenge, &ExitChallenge::submitChallenge);
    connect(m_submit, &QPushButton::clicked, challenge, [this] {
        if (m_challenge && m_challenge->canSubmit())
            m_challenge->submitChallenge();
    });
    connect(m_cancel, &QPushButton::clicked, challenge, &ExitChallenge::cancelChallenge);
    refresh();
}

void ChallengeSheet::setAccentColor(const QColor &accent)
{
    m_accent = accent;
    m_icon->setIcon(Symbols::icon(m_icon->symbolName(), accent));
    // The prominent button: filled with the accent, white text.
    QPalette pal = m_submit->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Button, accent);
        pal.setColor(group, QPalette::ButtonText, Qt::white);
    }
    m_submit->setPalette(pal);
}

void ChallengeSheet::refresh()
{
    if (!m_challenge)
        return;
    if (m_field->text() != m_challenge->challengeInput())
        m_field->setText(m_challenge->challengeInput());
    if (m_field->echoMode() != QLineEdit::Password) {
        const QString placeholder = m_challenge->challengePlaceholder();
        m_field->setPlaceholderText(placeholder);
        // A long sentence is cut off in the field.
        m_field->setToolTip(DisplayText::asRichText(placeholder));
    }
    if (m_problem)
        m_problem->setText(m_challenge->challengePlaceholder());
    const auto &error = m_challenge->challengeError();
    m_error->setText(error.value_or(QString()));
    m_error->setVisible(error.has_value());
    m_submit->setEnabled(m_challenge->canSubmit());
    adjustSize();
}

void ChallengeSheet::focusField()
{
    m_field->setFocus(Qt::OtherFocusReason);
}

void ChallengeSheet::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor border = palette().color(QPalette::WindowText);
    border.setAlphaF(float(kSheetBorderOpacity));
    p.setPen(QPen(border, kBorderWidth));
    p.setBrush(palette().color(QPalette::Window));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kSheetRadius, kSheetRadius);
}
