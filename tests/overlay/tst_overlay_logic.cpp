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
#include <limits>

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
        QTest::newRow("three F is white") << "FFF" << true << QRgb(0xFFFFFF);
        QTest::newRow("three digits") << "#F0A" << true << QRgb(0xFF00AA);
        QTest::newRow("eight ignores last byte") << "1A1A2E80" << true << QRgb(0x1A1A2E);
        QTest::newRow("0x prefix counts as characters") << "0x1A2B3C" << true << QRgb(0x001A2B);
        QTest::newRow("0X prefix") << "0X1A2B3C" << true << QRgb(0x001A2B);
        QTest::newRow("0x before three digits is five") << "0xFFF" << false << QRgb(0);
        QTest::newRow("0x and one digit is three") << "0xF" << true << QRgb(0x0000FF);
        QTest::newRow("0x without digits reads the zero") << "0xZZZZ" << true << QRgb(0x000000);
        QTest::newRow("every hash removed") << "F#F#F" << true << QRgb(0xFFFFFF);
        QTest::newRow("double hash") << "##1A1A2E" << true << QRgb(0x1A1A2E);
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
        QTest::newRow("only commas") << ",,,," << true << 0 << QList<QRgb>{};
        QTest::newRow("type alone") << "linear" << true << 0 << QList<QRgb>{};
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
        QTest::newRow("solid garbage") << OverlayBackgroundType::solid << std::optional<QString>("\x01\x02zz")
                                       << true << int(Style::color);
        QTest::newRow("solid five digits")
            << OverlayBackgroundType::solid << std::optional<QString>("12345") << true << int(Style::color);
        QTest::newRow("gradient") << OverlayBackgroundType::gradient
                                  << std::optional<QString>("linear,#667eea,#764ba2") << false
                                  << int(Style::linearGradient);
        QTest::newRow("gradient absent")
            << OverlayBackgroundType::gradient << none << true << int(Style::color);
        QTest::newRow("gradient a colour")
            << OverlayBackgroundType::gradient << std::optional<QString>("#fff") << true << int(Style::color);
        QTest::newRow("image absent") << OverlayBackgroundType::image << none << true << int(Style::color);
        QTest::newRow("image empty path")
            << OverlayBackgroundType::image << std::optional<QString>("") << true << int(Style::color);
        QTest::newRow("image tilde not expanded")
            << OverlayBackgroundType::image << std::optional<QString>("~/no-such-picture.png") << true
            << int(Style::color);
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

    // What reaches the screen: the fallback is black at 0.9, the system
    // background without a grab black at 0.85, gradients run corner to
    // corner or from the centre out to 500 pixels.
    void paintedPixels()
    {
        const QImage fallback = paintBackground(OverlayBackground::fallback(), {40, 30});
        QVERIFY(near(fallback.pixel(20, 15), qRgba(0, 0, 0, 230)));

        const QImage screen = paintBackground(OverlayBackground::screen({}), {40, 30});
        QVERIFY(near(screen.pixel(20, 15), qRgba(0, 0, 0, 217)));

        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QImage grabbed =
            paintBackground(OverlayBackground::screen(OverlayBackground::blurred(red)), {40, 30});
        QVERIFY2(near(grabbed.pixel(20, 15), qRgba(38, 0, 0, 255), 4),
                 qPrintable(QString::number(grabbed.pixel(20, 15), 16)));

        const QImage solid = paintBackground(
            OverlayBackground::make(OverlayBackgroundType::solid, QStringLiteral("1A1A2E"), {40, 30}),
            {40, 30});
        QVERIFY(near(solid.pixel(0, 0), qRgba(0x1A, 0x1A, 0x2E, 255), 0));

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
        QTest::newRow("smallest difference") << QList<int>{10, 99, 1} << "10 - 99" << -89;
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

    void placeholderAndExpected_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<std::optional<QString>>("sentence");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("expected");
        const std::optional<QString> none;
        QTest::newRow("sentence") << StrictModeType::sentence << std::optional<QString>("  I Will Focus.\n")
                                  << none << "  I Will Focus.\n"
                                  << "i will focus.";
        QTest::newRow("sentence absent")
            << StrictModeType::sentence << none << none << "Type the commitment sentence..."
            << "";
        QTest::newRow("math") << StrictModeType::math << none << none << "47 \u00D7 12 = ?"
                              << "564";
        QTest::newRow("password keeps case")
            << StrictModeType::password << none << std::optional<QString>(" PaSS \t") << ""
            << "PaSS";
        QTest::newRow("password absent") << StrictModeType::password << none << none << ""
                                         << "";
        QTest::newRow("none") << StrictModeType::none << std::optional<QString>("x")
                              << std::optional<QString>("y") << ""
                              << "";
    }
    void placeholderAndExpected()
    {
        QFETCH(StrictModeType, type);
        QFETCH(std::optional<QString>, sentence);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, placeholder);
        QFETCH(QString, expected);
        const MathProblem problem{QStringLiteral("47 \u00D7 12"), 564};
        QCOMPARE(Challenge::challengePlaceholder(type, sentence, problem), placeholder);
        QCOMPARE(Challenge::expectedAnswer(type, sentence, answer, problem), expected);
    }

    void submit_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("passes");
        const auto sentence = std::optional<QString>("I Will Stay Focused");
        const auto password = std::optional<QString>("S3cret");
        const std::optional<QString> none;
        QTest::newRow("sentence lower case with blanks")
            << StrictModeType::sentence << sentence << "  i will stay focused \n"
            << true;
        QTest::newRow("sentence doubled blank")
            << StrictModeType::sentence << sentence << "i will  stay focused" << false;
        QTest::newRow("sentence punctuation")
            << StrictModeType::sentence << sentence << "I will stay focused." << false;
        QTest::newRow("sentence no-break space around")
            << StrictModeType::sentence << sentence << "\u00A0I will stay focused\u00A0" << true;
        QTest::newRow("diacritics must match")
            << StrictModeType::sentence << std::optional<QString>("Caf\u00E9") << "cafe" << false;
        QTest::newRow("password any case") << StrictModeType::password << password << "s3CRET" << true;
        QTest::newRow("password blanks") << StrictModeType::password << password << "  S3cret  " << true;
        QTest::newRow("password extra character")
            << StrictModeType::password << password << "S3cret!" << false;
        QTest::newRow("math hyphen-minus") << StrictModeType::math << none << "-35" << true;
        QTest::newRow("math blanks around") << StrictModeType::math << none << " -35\n" << true;
        QTest::newRow("math blank after sign") << StrictModeType::math << none << "- 35" << false;
        QTest::newRow("math minus sign") << StrictModeType::math << none << "\u221235" << false;
        QTest::newRow("math leading zero") << StrictModeType::math << none << "-035" << false;
        QTest::newRow("math wrong") << StrictModeType::math << none << "35" << false;
        QTest::newRow("sentence absent, empty input") << StrictModeType::sentence << none << "" << true;
        QTest::newRow("password absent, blanks") << StrictModeType::password << none << "   " << true;
        QTest::newRow("sentence stored, empty input") << StrictModeType::sentence << sentence << "" << false;
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

    void cooldownStateMachine()
    {
        ExitChallenge challenge(true, StrictModeType::password, std::nullopt, QStringLiteral("pw"));
        challenge.openChallenge();
        challenge.setChallengeInput(QStringLiteral("wrong"));
        challenge.submitChallenge();
        QCOMPARE(challenge.cooldownRemaining(), 30);
        for (int i = 0; i < 10; ++i)
            challenge.tickCooldown();
        QCOMPARE(challenge.cooldownRemaining(), 20);
        // The open sheet stays usable; a second wrong answer starts again at 30.
        challenge.submitChallenge();
        QCOMPARE(challenge.cooldownRemaining(), 30);
        challenge.cancelChallenge();
        QVERIFY(!challenge.showChallenge());
        QVERIFY(challenge.challengeInput().isEmpty());
        QVERIFY(!challenge.challengeError());
        QVERIFY(challenge.challengeCooldown());
        // The locked button cannot open the sheet.
        challenge.openChallenge();
        QVERIFY(!challenge.showChallenge());
        for (int i = 0; i < 29; ++i)
            challenge.tickCooldown();
        QVERIFY(challenge.challengeCooldown());
        QCOMPARE(challenge.cooldownRemaining(), 1);
        challenge.tickCooldown();
        QVERIFY(!challenge.challengeCooldown());
        QCOMPARE(challenge.cooldownRemaining(), 0);
        challenge.tickCooldown(); // a stray tick after the end changes nothing
        QCOMPARE(challenge.cooldownRemaining(), 0);
        challenge.openChallenge();
        QVERIFY(challenge.showChallenge());
    }

    void cooldownTimerTicksEverySecond()
    {
        ExitChallenge challenge(true, StrictModeType::math, std::nullopt, std::nullopt);
        challenge.startCooldown();
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(challenge.cooldownRemaining(), 29, 3000);
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        // Restarting replaces the timer: still one step per second, from 30.
        challenge.startCooldown();
        QCOMPARE(challenge.cooldownRemaining(), 30);
        QTest::qWait(1500);
        QVERIFY(challenge.cooldownRemaining() >= 28 && challenge.cooldownRemaining() <= 29);
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

    void notInForce_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<bool>("inForce");
        QTest::newRow("off, sentence") << false << StrictModeType::sentence << false;
        QTest::newRow("on, none") << true << StrictModeType::none << false;
        QTest::newRow("off, none") << false << StrictModeType::none << false;
        QTest::newRow("on, math") << true << StrictModeType::math << true;
        QTest::newRow("on, password") << true << StrictModeType::password << true;
    }
    void notInForce()
    {
        QFETCH(bool, enabled);
        QFETCH(StrictModeType, type);
        QFETCH(bool, inForce);
        ExitChallenge challenge(enabled, type, std::nullopt, std::nullopt);
        QCOMPARE(challenge.isInForce(), inForce);
        challenge.openChallenge();
        QCOMPARE(challenge.showChallenge(), inForce);
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
