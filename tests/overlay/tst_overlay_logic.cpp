// SPDX-License-Identifier: MIT
// Pure pieces of the overlay: countdown text, hex colours, gradients and the
// exit challenge state machine. No window is involved.
#include "TestOverlay.h"

#include "ExitChallenge.h"
#include "FocusOverlayView.h"
#include "OverlayBackground.h"
#include "TestSupport.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

QImage paintBackground(const OverlayBackground &bg, QSize size)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    bg.paint(p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return img;
}

bool near(QRgb a, QRgb b, int tolerance = 3)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

} // namespace

class TestOverlayLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hexColor_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QRgb>("rgb");
        QTest::newRow("hash six") << "#1A1A2E" << true << QRgb(0x1A1A2E);
        QTest::newRow("bare six") << "1A1A2E" << true << QRgb(0x1A1A2E);
        QTest::newRow("lower case with blanks") << "  #1a1a2e \n" << true << QRgb(0x1A1A2E);
        QTest::newRow("three digits") << "#F0A" << true << QRgb(0xFF00AA);
        QTest::newRow("eight ignores last byte") << "1A1A2E80" << true << QRgb(0x1A1A2E);
        QTest::newRow("0x prefix counts as characters") << "0x1A2B3C" << true << QRgb(0x001A2B);
        QTest::newRow("0x before three digits is five") << "0xFFF" << false << QRgb(0);
        QTest::newRow("0x and one digit is three") << "0xF" << true << QRgb(0x0000FF);
        QTest::newRow("0x without digits reads the zero") << "0xZZZZ" << true << QRgb(0x000000);
        QTest::newRow("every hash removed") << "F#F#F" << true << QRgb(0xFFFFFF);
        QTest::newRow("digits stop early") << "12GGGG" << true << QRgb(0x000012);
        QTest::newRow("blank inside after hash") << "# 12345" << true << QRgb(0x012345);
        QTest::newRow("five digits") << "12345" << false << QRgb(0);
        QTest::newRow("seven digits") << "1234567" << false << QRgb(0);
        QTest::newRow("nine digits") << "123456789" << false << QRgb(0);
        QTest::newRow("starts beyond F") << "G12345" << false << QRgb(0);
        QTest::newRow("empty") << "" << false << QRgb(0);
        QTest::newRow("only hash") << "#" << false << QRgb(0);
        QTest::newRow("sign") << "-FFFFF" << false << QRgb(0);
        QTest::newRow("full-width digits") << "\uFF26\uFF26\uFF26" << false << QRgb(0);
        QTest::newRow("combining mark makes five characters") << "FFFFF\u0301" << false << QRgb(0);
        QTest::newRow("long digits") << QString(4000, QLatin1Char('F')) << false << QRgb(0);
        QTest::newRow("nul inside") << QString::fromUtf16(u"FF\0FFF", 6) << true << QRgb(0x0000FF);
    }
    void hexColor()
    {
        QFETCH(QString, hex);
        QFETCH(bool, valid);
        QFETCH(QRgb, rgb);
        const auto color = Color::fromHex(hex);
        QCOMPARE(color.has_value(), valid);
        if (!valid)
            return;
        QCOMPARE(color->rgb() & 0xFFFFFF, rgb);
        QCOMPARE(color->alphaF(), 1.0f);
    }

    void parseGradient_data()
    {
        using Style = OverlayBackground::Style;
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<int>("style");
        QTest::addColumn<QList<QRgb>>("colors");
        QTest::newRow("linear") << "linear,#667eea,#764ba2" << false << int(Style::linearGradient)
                                << QList<QRgb>{0x667eea, 0x764ba2};
        QTest::newRow("radial") << "radial,#f093fb,#f5576c" << false << int(Style::radialGradient)
                                << QList<QRgb>{0xf093fb, 0xf5576c};
        QTest::newRow("three colours evenly") << "radial,FFF,000,F00" << false << int(Style::radialGradient)
                                              << QList<QRgb>{0xFFFFFF, 0x000000, 0xFF0000};
        QTest::newRow("invalid colour skipped")
            << "linear,#667eea,zz,#764ba2" << false << int(Style::linearGradient)
            << QList<QRgb>{0x667eea, 0x764ba2};
        QTest::newRow("empty pieces dropped")
            << ",,linear,,#667eea,,#764ba2,," << false << int(Style::linearGradient)
            << QList<QRgb>{0x667eea, 0x764ba2};
        QTest::newRow("colours trimmed")
            << "linear, #667eea , #764ba2\n"
            << false << int(Style::linearGradient) << QList<QRgb>{0x667eea, 0x764ba2};
        QTest::newRow("capitalised type") << "Linear,#667eea,#764ba2" << true << 0 << QList<QRgb>{};
        QTest::newRow("type not trimmed") << " linear,#667eea,#764ba2" << true << 0 << QList<QRgb>{};
        QTest::newRow("one colour") << "linear,#667eea" << true << 0 << QList<QRgb>{};
        QTest::newRow("one of two invalid") << "radial,#f093fb,nothex" << true << 0 << QList<QRgb>{};
        QTest::newRow("unknown type") << "conic,#fff,#000" << true << 0 << QList<QRgb>{};
        QTest::newRow("empty") << "" << true << 0 << QList<QRgb>{};
        QTest::newRow("other separators") << "linear;#fff;#000" << true << 0 << QList<QRgb>{};
    }
    void parseGradient()
    {
        QFETCH(QString, description);
        QFETCH(bool, fallback);
        QFETCH(int, style);
        QFETCH(QList<QRgb>, colors);
        const OverlayBackground bg = ::parseGradient(description);
        QCOMPARE(bg.isFallback(), fallback);
        if (fallback) {
            QCOMPARE(bg.color(), QColor::fromRgbF(0, 0, 0, 0.9f));
            return;
        }
        QCOMPARE(int(bg.style()), style);
        QCOMPARE(bg.stops().size(), colors.size());
        for (qsizetype i = 0; i < colors.size(); ++i) {
            QCOMPARE(bg.stops()[i].second.rgb() & 0xFFFFFF, colors[i]);
            QCOMPARE(bg.stops()[i].first, qreal(i) / qreal(colors.size() - 1));
        }
    }

    void backgroundForValue_data()
    {
        using Style = OverlayBackground::Style;
        QTest::addColumn<OverlayBackgroundType>("type");
        QTest::addColumn<std::optional<QString>>("value");
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<int>("style");
        const std::optional<QString> none;
        QTest::newRow("solid") << OverlayBackgroundType::solid << std::optional<QString>("#1A1A2E") << false
                               << int(Style::color);
        QTest::newRow("solid absent") << OverlayBackgroundType::solid << none << true << int(Style::color);
        QTest::newRow("gradient") << OverlayBackgroundType::gradient
                                  << std::optional<QString>("linear,#667eea,#764ba2") << false
                                  << int(Style::linearGradient);
        QTest::newRow("gradient absent")
            << OverlayBackgroundType::gradient << none << true << int(Style::color);
        QTest::newRow("gradient a colour")
            << OverlayBackgroundType::gradient << std::optional<QString>("#fff") << true << int(Style::color);
        QTest::newRow("image absent") << OverlayBackgroundType::image << none << true << int(Style::color);
        QTest::newRow("system ignores value")
            << OverlayBackgroundType::system << std::optional<QString>("zz") << false << int(Style::screen);
    }
    void backgroundForValue()
    {
        QFETCH(OverlayBackgroundType, type);
        QFETCH(std::optional<QString>, value);
        QFETCH(bool, fallback);
        QFETCH(int, style);
        const auto bg = OverlayBackground::make(type, value, QSize(64, 48));
        QCOMPARE(bg.isFallback(), fallback);
        QCOMPARE(int(bg.style()), style);
    }

    // Gradients run corner to corner, or from the centre out to 500 pixels.
    void gradientPixels()
    {
        const QImage linear =
            paintBackground(::parseGradient(QStringLiteral("linear,#ff0000,#0000ff")), {200, 100});
        QVERIFY(near(linear.pixel(0, 0), qRgb(255, 0, 0), 6));
        QVERIFY(near(linear.pixel(199, 99), qRgb(0, 0, 255), 6));
        QVERIFY(near(linear.pixel(100, 50), qRgb(128, 0, 127), 6)); // halfway along the diagonal

        const QImage radial =
            paintBackground(::parseGradient(QStringLiteral("radial,#ff0000,#0000ff")), {1400, 1200});
        QVERIFY(near(radial.pixel(700, 600), qRgb(255, 0, 0), 6));
        QVERIFY(near(radial.pixel(700 + 505, 600), qRgb(0, 0, 255), 3)); // beyond 500: the last colour
        QVERIFY(near(radial.pixel(700 + 250, 600), qRgb(128, 0, 127), 6));
    }

    void generateMathProblem_data()
    {
        QTest::addColumn<QList<int>>("script");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("answer");
        QTest::newRow("subtraction not reordered") << QList<int>{23, 58, 1} << "23 - 58" << -35;
        QTest::newRow("addition") << QList<int>{10, 99, 0} << "10 + 99" << 109;
        QTest::newRow("largest product") << QList<int>{99, 99, 2} << "99 \u00D7 99" << 9801;
        QTest::newRow("out-of-range source held to the ranges")
            << QList<int>{5, 200, 7} << "10 \u00D7 99" << 990;
    }
    void generateMathProblem()
    {
        QFETCH(QList<int>, script);
        QFETCH(QString, text);
        QFETCH(int, answer);
        ScriptedRandom random(script);
        const MathProblem problem = Challenge::generateMathProblem(random.source());
        QCOMPARE(problem.text, text);
        QCOMPARE(problem.answer, answer);
        // a, then b, then the operator, each from its own range.
        QCOMPARE(*random.asked, (QList<QPair<int, int>>{{10, 99}, {10, 99}, {0, 2}}));
    }

    void systemRandomCoversRanges()
    {
        int lowest = 100;
        int highest = 0;
        QSet<QString> operators;
        const RandomSource random = Challenge::systemRandom();
        for (int i = 0; i < 3000; ++i) {
            const MathProblem p = Challenge::generateMathProblem(random);
            const QStringList parts = p.text.split(QLatin1Char(' '));
            QCOMPARE(parts.size(), 3);
            const int a = parts[0].toInt();
            const int b = parts[2].toInt();
            QVERIFY(a >= 10 && a <= 99 && b >= 10 && b <= 99);
            lowest = std::min({lowest, a, b});
            highest = std::max({highest, a, b});
            operators.insert(parts[1]);
        }
        QCOMPARE(lowest, 10);
        QCOMPARE(highest, 99);
        QCOMPARE(operators, (QSet<QString>{"+", "-", "\u00D7"}));
    }

    // What passes: sentences and passwords in any case with blanks around,
    // the math answer as a plain number; nothing stored expects nothing.
    void submit_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("passes");
        const auto row = [](const char *name, StrictModeType type, std::optional<QString> stored,
                            const QString &input,
                            bool passes) { QTest::newRow(name) << type << stored << input << passes; };
        const auto sentence = StrictModeType::sentence;
        const auto password = StrictModeType::password;
        const auto math = StrictModeType::math;
        const QString stay = QStringLiteral("I Will Stay Focused");
        const QString secret = QStringLiteral("S3cret");
        row("sentence lower case with blanks", sentence, stay, "  i will stay focused \n", true);
        row("stored sentence trimmed", sentence, "  I Will Focus.\n", "I WILL FOCUS.", true);
        row("sentence doubled blank", sentence, stay, "i will  stay focused", false);
        row("sentence punctuation", sentence, stay, "I will stay focused.", false);
        row("sentence no-break space around", sentence, stay, "\u00A0I will stay focused\u00A0", true);
        row("diacritics must match", sentence, "Caf\u00E9", "cafe", false);
        row("password any case", password, secret, "s3CRET", true);
        row("password blanks", password, secret, "  S3cret  ", true);
        row("password extra character", password, secret, "S3cret!", false);
        row("math hyphen-minus", math, {}, "-35", true);
        row("math blanks around", math, {}, " -35\n", true);
        row("math blank after sign", math, {}, "- 35", false);
        row("math minus sign", math, {}, "\u221235", false);
        row("math leading zero", math, {}, "-035", false);
        row("math wrong", math, {}, "35", false);
        row("sentence absent, empty input", sentence, {}, "", true);
        row("password absent, blanks", password, {}, "   ", true);
        row("sentence stored, empty input", sentence, stay, "", false);
    }
    void submit()
    {
        QFETCH(StrictModeType, type);
        QFETCH(std::optional<QString>, stored);
        QFETCH(QString, input);
        QFETCH(bool, passes);
        ExitChallenge challenge(true, type, stored, stored);
        challenge.setRandomSource(ScriptedRandom({23, 58, 1}).source());
        QSignalSpy exits(&challenge, &ExitChallenge::exitRequested);
        challenge.openChallenge();
        QVERIFY(challenge.showChallenge());
        challenge.setChallengeInput(input);
        challenge.submitChallenge();
        QCOMPARE(exits.count(), passes ? 1 : 0);
        if (passes) {
            QVERIFY(!challenge.showChallenge());
            QVERIFY(challenge.challengeInput().isEmpty());
            QVERIFY(!challenge.challengeError());
            QVERIFY(!challenge.challengeCooldown());
        } else {
            QVERIFY(challenge.showChallenge());
            QCOMPARE(challenge.challengeInput(), input);
            QCOMPARE(challenge.challengeError(), std::optional<QString>("Incorrect. Please try again."));
            QVERIFY(challenge.challengeCooldown());
            QCOMPARE(challenge.cooldownRemaining(), 30);
        }
    }

    // A second wrong answer in the still open sheet starts the cooldown
    // again at 30; a stray tick after its end changes nothing. (The rest of
    // the cycle is followed through the view.)
    void cooldownRestartsAndEnds()
    {
        ExitChallenge challenge(true, StrictModeType::password, std::nullopt, QStringLiteral("pw"));
        challenge.openChallenge();
        challenge.setChallengeInput(QStringLiteral("wrong"));
        challenge.submitChallenge();
        for (int i = 0; i < 10; ++i)
            challenge.tickCooldown();
        QCOMPARE(challenge.cooldownRemaining(), 20);
        challenge.submitChallenge();
        QCOMPARE(challenge.cooldownRemaining(), 30);
        for (int i = 0; i < 31; ++i)
            challenge.tickCooldown();
        QVERIFY(!challenge.challengeCooldown());
        QCOMPARE(challenge.cooldownRemaining(), 0);
    }

    // One step a second; restarting starts again from 30 a full second ahead.
    void cooldownTimerTicksEverySecond()
    {
        ExitChallenge challenge(true, StrictModeType::math, std::nullopt, std::nullopt);
        for (int run = 0; run < 2; ++run) {
            challenge.startCooldown();
            QCOMPARE(challenge.cooldownRemaining(), 30);
            QElapsedTimer clock;
            clock.start();
            QTRY_COMPARE_WITH_TIMEOUT(challenge.cooldownRemaining(), 29, 3000);
            QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        }
    }

    void sheetOpeningDrawsNewProblem()
    {
        ExitChallenge challenge(true, StrictModeType::math, std::nullopt, std::nullopt);
        challenge.setRandomSource(ScriptedRandom({23, 58, 1, 47, 12, 2}).source());
        challenge.openChallenge();
        QCOMPARE(challenge.mathProblem(), (MathProblem{"23 - 58", -35}));
        QCOMPARE(challenge.challengePlaceholder(), QStringLiteral("23 - 58 = ?"));
        // A wrong answer keeps the problem.
        challenge.setChallengeInput(QStringLiteral("1"));
        challenge.submitChallenge();
        QCOMPARE(challenge.mathProblem().text, QStringLiteral("23 - 58"));
        challenge.cancelChallenge();
        for (int i = 0; i < 30; ++i)
            challenge.tickCooldown();
        challenge.openChallenge();
        QCOMPARE(challenge.mathProblem(), (MathProblem{"47 \u00D7 12", 564}));
        QVERIFY(challenge.challengeInput().isEmpty());
        QVERIFY(!challenge.challengeError());
    }

    void submitWithoutSheetDoesNothing()
    {
        ExitChallenge challenge(true, StrictModeType::sentence, QStringLiteral("x"), std::nullopt);
        QSignalSpy exits(&challenge, &ExitChallenge::exitRequested);
        challenge.setChallengeInput(QStringLiteral("x"));
        challenge.submitChallenge();
        QCOMPARE(exits.count(), 0);
        QVERIFY(!challenge.challengeCooldown());
    }
};

int runOverlayLogicTests(int argc, char **argv)
{
    TestOverlayLogic t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_overlay_logic.moc"
