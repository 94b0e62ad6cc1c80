// SPDX-License-Identifier: MIT
#include "FocusSessionDetail.h"

#include "AppModel.h"
#include "DurationFormat.h"
#include "FocusSessionListModel.h"
#include "FormSection.h"
#include "ModelContext.h"
#include "SymbolView.h"
#include "TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kOutcomeSymbolSide = 16;
constexpr int kOutcomeSpacing = 6;

QLabel *makeValue(const char *objectName, QWidget *parent)
{
    auto *value = new QLabel(parent);
    value->setObjectName(QLatin1String(objectName));
    // Names and times come from the store: shown as they are, never as markup.
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return value;
}
} // namespace

FocusSessionDetail::FocusSessionDetail(AppModel *model, QWidget *parent)
    : RecordDetail(model, QStringLiteral("sessionForm"),
                   {tr("No Session Selected"), QStringLiteral("clock.arrow.circlepath"),
                    tr("Select a session from the list to see its details.")},
                   parent),
      m_sessions(model->context()), m_screens(model->context())
{
    setObjectName(QStringLiteral("sessionDetail"));
    connect(&m_screens, &QueryBase::resultsChanged, this, [this] { load(false); });
    follow(&m_sessions);
}

void FocusSessionDetail::setLocale(const QLocale &locale)
{
    m_locale = locale;
    load(false);
}

bool FocusSessionDetail::edits(const PersistentIdentifier &id) const
{
    return model() && model()->context()->model<FocusSession>(id);
}

void FocusSessionDetail::buildForm(QWidget *content, QVBoxLayout *column)
{
    auto *section = new FormSection(tr("Session"), content);
    m_screen = makeValue("sessionScreen", section);
    section->addLabeledRow(tr("Focus Screen"), m_screen);
    m_started = makeValue("sessionStarted", section);
    section->addLabeledRow(tr("Started"), m_started);
    m_ended = makeValue("sessionEnded", section);
    section->addLabeledRow(tr("Ended"), m_ended);
    m_planned = makeValue("sessionPlanned", section);
    section->addLabeledRow(tr("Planned Length"), m_planned);
    m_actual = makeValue("sessionActual", section);
    section->addLabeledRow(tr("Actual Length"), m_actual);

    auto *outcome = new QWidget(section);
    auto *outcomeRow = new QHBoxLayout(outcome);
    outcomeRow->setContentsMargins(0, 0, 0, 0);
    outcomeRow->setSpacing(kOutcomeSpacing);
    outcomeRow->addStretch(1);
    m_outcomeSymbol = new SymbolView(QStringLiteral("clock"), kOutcomeSymbolSide, outcome);
    m_outcomeSymbol->setObjectName(QStringLiteral("sessionOutcomeSymbol"));
    outcomeRow->addWidget(m_outcomeSymbol);
    m_outcome = makeValue("sessionOutcome", outcome);
    outcomeRow->addWidget(m_outcome);
    section->addLabeledRow(tr("Outcome"), outcome);
    m_round = makeValue("sessionRound", section);
    m_roundRow = section->addLabeledRow(tr("Round"), m_round)->parentWidget();
    section->addCaption(tr("The planned length is the focus screen's length now."));
    column->addWidget(section);

    auto *noteSection = new FormSection(tr("Note"), content);
    m_note = new QLineEdit(noteSection);
    m_note->setObjectName(QStringLiteral("sessionNote"));
    m_note->setPlaceholderText(tr("What I worked on"));
    m_note->setMaxLength(kNoteMaxLength);
    m_note->setClearButtonEnabled(true);
    noteSection->addRow(m_note);
    // Each change goes into the record; the automatic save writes it.
    connect(m_note, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (FocusSession *s = session())
            s->setNote(text);
    });
    column->addWidget(noteSection);
}

QString FocusSessionDetail::dateTime(const std::optional<QDateTime> &at) const
{
    return at ? m_locale.toString(at->toLocalTime(), QLocale::ShortFormat) : QStringLiteral("—");
}

void FocusSessionDetail::load(bool)
{
    const FocusSession *s = session();
    if (!s || !m_screen)
        return;
    const FocusScreen *screen = nullptr;
    for (const FocusScreen *candidate : m_screens.results())
        if (candidate->uuid() == s->focusScreenID())
            screen = candidate;
    m_screen->setText(screen ? screen->name() : FocusSessionListModel::unknownScreenName());
    m_started->setText(dateTime(s->startTime()));
    m_ended->setText(dateTime(s->endTime()));
    m_planned->setText(screen ? DurationFormat::screenLength(screen->duration()) : QStringLiteral("—"));
    m_actual->setText(s->actualDuration() ? DurationFormat::sessionLength(*s->actualDuration())
                                          : QStringLiteral("—"));
    m_outcome->setText(FocusSessionListModel::outcomeText(*s));
    m_outcomeSymbol->setSymbol(FocusSessionListModel::outcomeSymbol(*s));
    const QPalette pal = palette();
    m_outcomeSymbol->setColor(s->completed() ? TextStyles::green(pal)
                              : FocusSessionListModel::outcomeSymbol(*s) == u"clock"
                                  ? QColor()
                                  : TextStyles::orange(pal));
    m_outcomeSymbol->setAccessibleName(FocusSessionListModel::outcomeText(*s));
    m_round->setText(QString::number(s->round()));
    // Only a session that was one round of a cycle has a round.
    m_roundRow->setVisible(s->round() > 0);
    if (m_note->text() != s->note())
        m_note->setText(s->note());
}
