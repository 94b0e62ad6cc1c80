// SPDX-License-Identifier: MIT
#include "ExitChallenge.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <algorithm>

namespace {

constexpr int kCooldownTickMs = 1000;

} // namespace

namespace Challenge {

RandomSource systemRandom()
{
    return
        [](int lowest, int highest) { return int(QRandomGenerator::system()->bounded(lowest, highest + 1)); };
}

MathProblem generateMathProblem(const RandomSource &random)
{
    // A source that strays out of range is held to it, so a bad one cannot
    // produce a problem outside the fixed ranges.
    const int a = std::clamp(random(kOperandMin, kOperandMax), kOperandMin, kOperandMax);
    const int b = std::clamp(random(kOperandMin, kOperandMax), kOperandMin, kOperandMax);
    static const QString operators[] = {QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("\u00D7")};
    const int op = std::clamp(random(0, 2), 0, 2);
    const int answer = op == 0 ? a + b : op == 1 ? a - b : a * b;
    return {QString::number(a) + QLatin1Char(' ') + operators[op] + QLatin1Char(' ') + QString::number(b),
            answer};
}

bool isInForce(bool strictModeEnabled, StrictModeType type)
{
    return strictModeEnabled && type != StrictModeType::none;
}

QString challengePlaceholder(StrictModeType type, const std::optional<QString> &sentence,
                             const MathProblem &problem)
{
    switch (type) {
    case StrictModeType::sentence:
        return sentence ? *sentence
                        : QCoreApplication::translate("Challenge", "Type the commitment sentence...");
    case StrictModeType::math:
        return problem.text + QStringLiteral(" = ?");
    case StrictModeType::password:
    case StrictModeType::none:
        break;
    }
    return {};
}

QString expectedAnswer(StrictModeType type, const std::optional<QString> &sentence,
                       const std::optional<QString> &answer, const MathProblem &problem)
{
    switch (type) {
    case StrictModeType::sentence:
        return sentence ? sentence->trimmed().toLower() : QString();
    case StrictModeType::math:
        return QString::number(problem.answer);
    case StrictModeType::password:
        return answer ? answer->trimmed() : QString();
    case StrictModeType::none:
        break;
    }
    return {};
}

bool answerMatches(const QString &input, const QString &expected)
{
    return input.trimmed().toLower() == expected.toLower();
}

bool canSubmit(const QString &input)
{
    return !input.trimmed().isEmpty();
}

QString promptText(StrictModeType type)
{
    switch (type) {
    case StrictModeType::sentence:
        return QCoreApplication::translate("Challenge",
                                           "Type the following sentence exactly to prove your commitment:");
    case StrictModeType::math:
        return QCoreApplication::translate("Challenge", "Solve this math problem:");
    case StrictModeType::password:
        return QCoreApplication::translate("Challenge", "Enter your exit password:");
    case StrictModeType::none:
        break;
    }
    return {};
}

QString badgeName(StrictModeType type)
{
    switch (type) {
    case StrictModeType::sentence:
        return QCoreApplication::translate("Challenge", "Sentence");
    case StrictModeType::math:
        return QCoreApplication::translate("Challenge", "Math Problem");
    case StrictModeType::password:
        return QCoreApplication::translate("Challenge", "Password");
    case StrictModeType::none:
        break;
    }
    return QCoreApplication::translate("Challenge", "None");
}

QString badgeSymbol(StrictModeType type)
{
    return sheetSymbol(type);
}

QString sheetSymbol(StrictModeType type)
{
    switch (type) {
    case StrictModeType::sentence:
        return QStringLiteral("text.quote");
    case StrictModeType::math:
        return QStringLiteral("number");
    case StrictModeType::password:
        return QStringLiteral("lock");
    case StrictModeType::none:
        break;
    }
    return QStringLiteral("checkmark.circle");
}

QString cooldownCaption(bool cooldown, int remaining)
{
    if (!cooldown)
        return QCoreApplication::translate("Challenge", "Complete a challenge to exit early");
    return QCoreApplication::translate("Challenge", "Try again in %1s").arg(remaining);
}

} // namespace Challenge

ExitChallenge::ExitChallenge(bool strictModeEnabled, StrictModeType strictModeType,
                             std::optional<QString> strictModeSentence,
                             std::optional<QString> strictModeAnswer, QObject *parent)
    : QObject(parent), m_strictModeEnabled(strictModeEnabled), m_strictModeType(strictModeType),
      m_strictModeSentence(std::move(strictModeSentence)), m_strictModeAnswer(std::move(strictModeAnswer)),
      m_random(Challenge::systemRandom())
{
    m_cooldownTimer.setInterval(kCooldownTickMs);
    connect(&m_cooldownTimer, &QTimer::timeout, this, &ExitChallenge::tickCooldown);
}

void ExitChallenge::setChallengeInput(const QString &input)
{
    if (input == m_challengeInput)
        return;
    m_challengeInput = input;
    Q_EMIT challengeStateChanged();
}

void ExitChallenge::setRandomSource(RandomSource random)
{
    m_random = random ? std::move(random) : Challenge::systemRandom();
}

QString ExitChallenge::challengePlaceholder() const
{
    return Challenge::challengePlaceholder(m_strictModeType, m_strictModeSentence, m_mathProblem);
}

QString ExitChallenge::expectedAnswer() const
{
    return Challenge::expectedAnswer(m_strictModeType, m_strictModeSentence, m_strictModeAnswer,
                                     m_mathProblem);
}

void ExitChallenge::openChallenge()
{
    if (m_showChallenge || m_challengeCooldown || !isInForce())
        return;
    m_showChallenge = true;
    m_challengeInput.clear();
    m_challengeError.reset();
    if (m_strictModeType == StrictModeType::math)
        m_mathProblem = Challenge::generateMathProblem(m_random);
    Q_EMIT challengeStateChanged();
}

void ExitChallenge::cancelChallenge()
{
    m_showChallenge = false;
    m_challengeInput.clear();
    m_challengeError.reset();
    Q_EMIT challengeStateChanged();
}

void ExitChallenge::generateMathProblem()
{
    m_mathProblem = Challenge::generateMathProblem(m_random);
    Q_EMIT challengeStateChanged();
}

void ExitChallenge::submitChallenge()
{
    if (!m_showChallenge)
        return; // only the open sheet submits; a late second Return does nothing
    if (!Challenge::answerMatches(m_challengeInput, expectedAnswer())) {
        m_challengeError = tr("Incorrect. Please try again.");
        startCooldown(); // emits the state change
        return;
    }
    m_showChallenge = false;
    m_challengeInput.clear();
    m_challengeError.reset();
    Q_EMIT challengeStateChanged();
    Q_EMIT exitRequested();
}

void ExitChallenge::startCooldown()
{
    m_challengeCooldown = true;
    m_cooldownRemaining = Challenge::kCooldownSeconds;
    m_cooldownTimer.start(); // restarts a running cooldown: there is only ever one timer
    Q_EMIT challengeStateChanged();
}

void ExitChallenge::tickCooldown()
{
    if (!m_challengeCooldown)
        return;
    m_cooldownRemaining -= 1;
    if (m_cooldownRemaining <= 0) {
        m_cooldownRemaining = 0;
        m_challengeCooldown = false;
        m_cooldownTimer.stop();
    }
    Q_EMIT challengeStateChanged();
}
