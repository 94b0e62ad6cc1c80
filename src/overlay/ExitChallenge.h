// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

// The arithmetic problem of the math challenge: its text ("23 - 58") and answer.
struct MathProblem
{
    QString text;
    int answer = 0;

    bool operator==(const MathProblem &) const = default;
};

// A uniform integer from lowest to highest, both included.
using RandomSource = std::function<int(int lowest, int highest)>;

// The pure rules of the exit challenges; ExitChallenge below holds the state.
namespace Challenge {

inline constexpr int kOperandMin = 10;
inline constexpr int kOperandMax = 99;
inline constexpr int kCooldownSeconds = 30;

// The system's random number generator.
RandomSource systemRandom();

// a and b from 10 to 99, then "+", "-" or "×", drawn in that order.
MathProblem generateMathProblem(const RandomSource &random);

// The challenge is in force only with strict mode on and a type other than none.
bool isInForce(bool strictModeEnabled, StrictModeType type);

QString challengePlaceholder(StrictModeType type, const std::optional<QString> &sentence,
                             const MathProblem &problem);

QString expectedAnswer(StrictModeType type, const std::optional<QString> &sentence,
                       const std::optional<QString> &answer, const MathProblem &problem);

// Surrounding blanks and letter case never matter; everything else must match.
bool answerMatches(const QString &input, const QString &expected);

// Whether "Submit" may be pressed: the input holds more than blanks.
bool canSubmit(const QString &input);

// Texts shown for the challenge.
QString promptText(StrictModeType type);
QString badgeName(StrictModeType type);
QString badgeSymbol(StrictModeType type);
QString sheetSymbol(StrictModeType type);
QString cooldownCaption(bool cooldown, int remaining);

} // namespace Challenge

// The challenge state of one overlay view: the sheet, what was typed, the
// error line, the current problem and the cooldown that locks the exit button
// for thirty seconds after a wrong answer. Each view owns its own.
class ExitChallenge : public QObject
{
    Q_OBJECT
public:
    ExitChallenge(bool strictModeEnabled, StrictModeType strictModeType,
                  std::optional<QString> strictModeSentence, std::optional<QString> strictModeAnswer,
                  QObject *parent = nullptr);

    // The stored commitment sentence, when there is one.
    const std::optional<QString> &strictModeSentence() const { return m_strictModeSentence; }

    bool strictModeEnabled() const { return m_strictModeEnabled; }
    StrictModeType strictModeType() const { return m_strictModeType; }
    bool isInForce() const { return Challenge::isInForce(m_strictModeEnabled, m_strictModeType); }

    bool showChallenge() const { return m_showChallenge; }
    const QString &challengeInput() const { return m_challengeInput; }
    const std::optional<QString> &challengeError() const { return m_challengeError; }
    const MathProblem &mathProblem() const { return m_mathProblem; }
    bool challengeCooldown() const { return m_challengeCooldown; }
    int cooldownRemaining() const { return m_cooldownRemaining; }

    void setChallengeInput(const QString &input);
    // Replaces the random source of the math problems (tests draw known numbers).
    void setRandomSource(RandomSource random);

    QString challengePlaceholder() const;
    QString expectedAnswer() const;
    bool canSubmit() const { return Challenge::canSubmit(m_challengeInput); }

    // Opens the sheet: empties the input, clears the error and, for math,
    // draws a new problem. Does nothing while the sheet is open or the exit
    // button is locked.
    void openChallenge();
    // "Cancel": closes the sheet, empties the input and clears the error.
    void cancelChallenge();
    void generateMathProblem();
    // Compares the input with the expected answer: a match closes the sheet
    // and emits exitRequested once; a mismatch shows the error and (re)starts
    // the cooldown, leaving the sheet open and the input as it is.
    void submitChallenge();
    void startCooldown();
    // One second of the cooldown; the timer calls it.
    void tickCooldown();

Q_SIGNALS:
    void challengeStateChanged();
    void exitRequested();

private:
    bool m_strictModeEnabled;
    StrictModeType m_strictModeType;
    std::optional<QString> m_strictModeSentence;
    std::optional<QString> m_strictModeAnswer;
    RandomSource m_random;

    bool m_showChallenge = false;
    QString m_challengeInput;
    std::optional<QString> m_challengeError;
    MathProblem m_mathProblem;
    bool m_challengeCooldown = false;
    int m_cooldownRemaining = 0;
    QTimer m_cooldownTimer;
};
