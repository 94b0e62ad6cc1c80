// SPDX-License-Identifier: MIT
// The overlay view as the user meets it (offscreen widgets): texts per lock
// mode and strict mode, the allowed applications, the exit section and the
// challenge sheet with its cooldown.
#include "TestOverlay.h"

#include "AllowedAppBadge.h"
#include "AppCatalogue.h"
#include "ChallengeSheet.h"
#include "ExitChallenge.h"
#include "FocusOverlayView.h"
#include "IconView.h"
#include "PlatformServices.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The installed applications of the scratch XDG folders the test writes.
const AppCatalogue *installedApplications()
{
    static const std::unique_ptr<AppCatalogue> catalogue =
        PlatformServices::forThisDesktop()->makeAppCatalogue();
    return catalogue.get();
}

std::unique_ptr<FocusOverlayView> makeView(const FocusOverlayContent &content)
{
    auto view = std::make_unique<FocusOverlayView>(content, nullptr, installedApplications());
    view->resize(1280, 800);
    view->show();
    return view;
}

FocusOverlayContent strict(StrictModeType type, std::optional<QString> sentence = std::nullopt,
                           std::optional<QString> answer = std::nullopt)
{
    FocusOverlayContent c;
    c.screenName = QStringLiteral("Deep Work");
    c.remainingTime = 1500;
    c.strictModeEnabled = true;
    c.strictModeType = type;
    c.strictModeSentence = std::move(sentence);
    c.strictModeAnswer = std::move(answer);
    return c;
}

// The text of a label the user can see, or a null string.
QString shownText(const QWidget *root, const char *name)
{
    const auto *label = root->findChild<QLabel *>(QString::fromLatin1(name));
    return label && label->isVisibleTo(root) ? label->text() : QString();
}

template<typename T> T *shown(const QWidget *root, const char *name)
{
    auto *w = root->findChild<T *>(QString::fromLatin1(name));
    return w && w->isVisibleTo(root) ? w : nullptr;
}

void openSheet(FocusOverlayView &view)
{
    auto *button = shown<QAbstractButton>(&view, "exitChallengeButton");
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(shown<ChallengeSheet>(&view, "challengeSheet"));
}

QRgb cornerPixel(FocusOverlayView &view)
{
    QImage img(view.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    view.render(&img, {}, {}, QWidget::DrawChildren);
    return img.pixel(2, 2);
}

} // namespace

class TestOverlayView : public QObject
{
    Q_OBJECT
    QTemporaryDir m_data;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_data.filePath(QStringLiteral("none")).toLocal8Bit());
        QDir().mkpath(m_data.filePath(QStringLiteral("applications")));
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::green);
        QVERIFY(icon.save(m_data.filePath(QStringLiteral("editor.png"))));
        QFile entry(m_data.filePath(QStringLiteral("applications/org.example.Editor.desktop")));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Text Editor\nExec=editor\nIcon=" +
                    m_data.filePath(QStringLiteral("editor.png")).toUtf8() + "\n");
        QFile terminal(m_data.filePath(QStringLiteral("applications/debian-xterm.desktop")));
        QVERIFY(terminal.open(QIODevice::WriteOnly));
        terminal.write(
            "[Desktop Entry]\nType=Application\nName=XTerm\nExec=xterm\nStartupWMClass=XTerm\nIcon=" +
            m_data.filePath(QStringLiteral("editor.png")).toUtf8() + "\n");
    }

    void header_data()
    {
        QTest::addColumn<LockMode>("lockMode");
        QTest::addColumn<bool>("strictEnabled");
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<QString>("modeName");
        QTest::addColumn<QString>("modeSymbol");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<QString>("badgeSymbol");
        QTest::addColumn<bool>("challenge");
        QTest::newRow("hide apps") << LockMode::hideApps << false << StrictModeType::none << "Hide Apps"
                                   << "eye.slash" << QString() << QString() << false;
        QTest::newRow("strict off keeps emergency exit")
            << LockMode::preventLaunch << false << StrictModeType::sentence << "Prevent Launch"
            << "lock" << QString() << QString() << false;
        QTest::newRow("strict on with type none")
            << LockMode::overlay << true << StrictModeType::none << "Overlay"
            << "rectangle.on.rectangle" << QString() << QString() << false;
        QTest::newRow("sentence") << LockMode::hideApps << true << StrictModeType::sentence << "Hide Apps"
                                  << "eye.slash"
                                  << "Strict Mode: Sentence"
                                  << "text.quote" << true;
        QTest::newRow("math") << LockMode::preventLaunch << true << StrictModeType::math << "Prevent Launch"
                              << "lock"
                              << "Strict Mode: Math Problem"
                              << "number" << true;
        QTest::newRow("password") << LockMode::overlay << true << StrictModeType::password << "Overlay"
                                  << "rectangle.on.rectangle"
                                  << "Strict Mode: Password"
                                  << "lock" << true;
    }
    void header()
    {
        QFETCH(LockMode, lockMode);
        QFETCH(bool, strictEnabled);
        QFETCH(StrictModeType, type);
        QFETCH(QString, modeName);
        QFETCH(QString, modeSymbol);
        QFETCH(QString, badge);
        QFETCH(QString, badgeSymbol);
        QFETCH(bool, challenge);
        FocusOverlayContent c = strict(type);
        c.strictModeEnabled = strictEnabled;
        c.lockMode = lockMode;
        const auto view = makeView(c);

        QCOMPARE(shown<IconView>(view.get(), "lockModeIcon")->symbolName(), modeSymbol);
        QCOMPARE(shownText(view.get(), "screenName"), QStringLiteral("Deep Work"));
        QCOMPARE(shownText(view.get(), "lockModeName"), modeName);
        QCOMPARE(shownText(view.get(), "strictModeBadgeText"), badge);
        if (!badge.isEmpty())
            QCOMPARE(shown<IconView>(view.get(), "strictModeBadgeIcon")->symbolName(), badgeSymbol);
        QCOMPARE(shownText(view.get(), "countdown"), QStringLiteral("25:00"));
        QCOMPARE(shownText(view.get(), "countdownCaption"), QStringLiteral("Time Remaining"));

        auto *emergency = shown<QAbstractButton>(view.get(), "emergencyExitButton");
        auto *exitChallenge = shown<QAbstractButton>(view.get(), "exitChallengeButton");
        if (challenge) {
            QVERIFY(!emergency);
            QVERIFY(exitChallenge);
            QVERIFY(exitChallenge->isEnabled());
            QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Complete a challenge to exit early"));
        } else {
            QVERIFY(!exitChallenge);
            QVERIFY(emergency);
            QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Press Esc 3 times for rapid exit"));
        }
    }

    void allowedApps_data()
    {
        QTest::addColumn<QStringList>("apps");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<bool>>("ownIcons");
        QTest::newRow("empty list hides the block") << QStringList{} << QStringList{} << QList<bool>{};
        QTest::newRow("installed and unknown, in list order")
            << QStringList{"org.gnome.Nautilus", "org.example.Editor", "plainname", "trailing."}
            << QStringList{"Nautilus", "Text Editor", "plainname", ""}
            << QList<bool>{false, true, false, false};
        QTest::newRow("named by any name of the application")
            << QStringList{"XTerm", "xterm", "Debian-XTerm.desktop", "org.example.editor"}
            << QStringList{"XTerm", "XTerm", "XTerm", "Text Editor"} << QList<bool>{true, true, true, true};
        QTest::newRow("arbitrary ids")
            << QStringList{"../../etc/passwd", "/abs/x.desktop", ""}
            << QStringList{"/etc/passwd", "desktop", ""} << QList<bool>{false, false, false};
    }
    void allowedApps()
    {
        QFETCH(QStringList, apps);
        QFETCH(QStringList, names);
        QFETCH(QList<bool>, ownIcons);
        FocusOverlayContent c;
        c.allowedApps = apps;
        const auto view = makeView(c);
        if (apps.isEmpty()) {
            QVERIFY(!shown<QWidget>(view.get(), "allowedApps"));
            QVERIFY(shownText(view.get(), "allowedAppsTitle").isNull());
            return;
        }
        QCOMPARE(shownText(view.get(), "allowedAppsTitle"), QStringLiteral("Allowed Applications"));
        const auto badges = view->findChildren<AllowedAppBadge *>();
        QCOMPARE(badges.size(), apps.size());
        for (qsizetype i = 0; i < badges.size(); ++i) {
            QCOMPARE(badges[i]->appId(), apps[i]);
            QCOMPARE(badges[i]->name(), names[i]);
            QCOMPARE(badges[i]->hasAppIcon(), ownIcons[i]);
            const auto *icon = badges[i]->findChild<IconView *>(QStringLiteral("appIcon"));
            QCOMPARE(icon->symbolName(), ownIcons[i] ? QString() : QStringLiteral("app.fill"));
            QCOMPARE(icon->width(), ownIcons[i] ? 24 : 16);
        }
        // In list order from left to right.
        for (qsizetype i = 1; i < badges.size(); ++i)
            QVERIFY(badges[i - 1]->geometry().right() < badges[i]->geometry().left());
    }

    void manyAllowedAppsOverflowWithoutGrowing()
    {
        FocusOverlayContent c;
        for (int i = 0; i < 60; ++i)
            c.allowedApps << QStringLiteral("org.example.Application%1").arg(i);
        const auto view = makeView(c);
        QCOMPARE(view->size(), QSize(1280, 800));
        QCOMPARE(view->findChildren<AllowedAppBadge *>().size(), 60);
    }

    void sheetPerType_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<std::optional<QString>>("sentence");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<bool>("secure");
        QTest::addColumn<QString>("placeholder");
        QTest::newRow("sentence") << StrictModeType::sentence << std::optional<QString>("Stay on task")
                                  << "Type the following sentence exactly to prove your commitment:"
                                  << "text.quote" << false << "Stay on task";
        QTest::newRow("sentence absent") << StrictModeType::sentence << std::optional<QString>()
                                         << "Type the following sentence exactly to prove your commitment:"
                                         << "text.quote" << false << "Type the commitment sentence...";
        QTest::newRow("math") << StrictModeType::math << std::optional<QString>()
                              << "Solve this math problem:"
                              << "number" << false << "47 \u00D7 12 = ?";
        QTest::newRow("password") << StrictModeType::password << std::optional<QString>()
                                  << "Enter your exit password:"
                                  << "lock" << true << "Enter password";
    }
    void sheetPerType()
    {
        QFETCH(StrictModeType, type);
        QFETCH(std::optional<QString>, sentence);
        QFETCH(QString, prompt);
        QFETCH(QString, symbol);
        QFETCH(bool, secure);
        QFETCH(QString, placeholder);
        const auto view = makeView(strict(type, sentence, QStringLiteral("pw")));
        view->challenge()->setRandomSource(ScriptedRandom({47, 12, 2}).source());
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));
        openSheet(*view);
        auto *sheet = shown<ChallengeSheet>(view.get(), "challengeSheet");
        QCOMPARE(sheet->width(), 420);
        QCOMPARE(shownText(sheet, "challengeTitle"), QStringLiteral("Exit Challenge"));
        QCOMPARE(shownText(sheet, "challengePrompt"), prompt);
        QCOMPARE(shown<IconView>(sheet, "challengeIcon")->symbolName(), symbol);
        auto *field = shown<QLineEdit>(sheet, "challengeField");
        QCOMPARE(field->echoMode() == QLineEdit::Password, secure);
        QCOMPARE(field->placeholderText(), placeholder);
        QVERIFY(field->text().isEmpty());
        // A stored sentence stays readable above the field while typing.
        const bool sentenceShown = type == StrictModeType::sentence && sentence.has_value();
        QCOMPARE(shown<QLabel>(sheet, "challengeSentence") != nullptr, sentenceShown);
        if (sentenceShown)
            QCOMPARE(shownText(sheet, "challengeSentence"), QStringLiteral("\u201C%1\u201D").arg(*sentence));
        // The math problem stays readable above the field while typing.
        QCOMPARE(shown<QLabel>(sheet, "challengeProblem") != nullptr, type == StrictModeType::math);
        if (type == StrictModeType::math) {
            QTest::keyClicks(field, QStringLiteral("5"));
            QCOMPARE(shownText(sheet, "challengeProblem"), placeholder);
            field->clear();
        }
        QVERIFY(!shown<QLabel>(sheet, "challengeError"));
        // The sheet lies over the centre of the view; nothing behind it is usable.
        QVERIFY(sheet->geometry().contains(view->rect().center()));
        QVERIFY(!view->findChild<QAbstractButton *>(QStringLiteral("exitChallengeButton"))->isEnabled());
    }

    void submitEnabledOnlyForText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks") << "   " << false;
        QTest::newRow("text") << "x" << true;
        QTest::newRow("text with blanks") << "  x  " << true;
    }
    void submitEnabledOnlyForText()
    {
        QFETCH(QString, input);
        QFETCH(bool, enabled);
        const auto view = makeView(strict(StrictModeType::sentence, QStringLiteral("Stay")));
        openSheet(*view);
        auto *field = view->findChild<QLineEdit *>(QStringLiteral("challengeField"));
        auto *submit = view->findChild<QPushButton *>(QStringLiteral("submitButton"));
        QVERIFY(!submit->isEnabled());
        QTest::keyClicks(field, input);
        QCOMPARE(field->text(), input);
        QCOMPARE(submit->isEnabled(), enabled);
        // A disabled Submit does nothing when clicked.
        QTest::mouseClick(submit, Qt::LeftButton);
        QCOMPARE(view->challenge()->challengeError().has_value(), enabled);
    }

    void returnSubmitsEvenWhenBlank()
    {
        const auto view = makeView(strict(StrictModeType::sentence, QStringLiteral("Stay on task")));
        openSheet(*view);
        auto *field = view->findChild<QLineEdit *>(QStringLiteral("challengeField"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(shownText(view.get(), "challengeError"), QStringLiteral("Incorrect. Please try again."));
        QVERIFY(view->challenge()->challengeCooldown());
        QVERIFY(shown<ChallengeSheet>(view.get(), "challengeSheet"));
    }

    void returnWithNothingStoredPasses()
    {
        // Without a stored password the expected answer is empty: Submit stays
        // disabled, but Return in the empty field passes.
        const auto view = makeView(strict(StrictModeType::password));
        QSignalSpy exits(view.get(), &FocusOverlayView::emergencyExitRequested);
        openSheet(*view);
        QVERIFY(!view->findChild<QPushButton *>(QStringLiteral("submitButton"))->isEnabled());
        QTest::keyClick(view->findChild<QLineEdit *>(QStringLiteral("challengeField")), Qt::Key_Return);
        QTRY_COMPARE(exits.count(), 1);
    }

    void wrongAnswerLocksExitButtonForThirtySeconds()
    {
        const auto view = makeView(strict(StrictModeType::password, std::nullopt, QStringLiteral("Secret")));
        openSheet(*view);
        auto *field = view->findChild<QLineEdit *>(QStringLiteral("challengeField"));
        QTest::keyClicks(field, QStringLiteral("guess"));
        QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("submitButton")), Qt::LeftButton);
        QCOMPARE(shownText(view.get(), "challengeError"), QStringLiteral("Incorrect. Please try again."));
        QCOMPARE(field->text(), QStringLiteral("guess")); // kept for another try

        QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));
        auto *exitButton = shown<QAbstractButton>(view.get(), "exitChallengeButton");
        QVERIFY(!exitButton->isEnabled());
        QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Try again in 30s"));
        QTest::mouseClick(exitButton, Qt::LeftButton);
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));

        for (int left = 29; left >= 1; --left) {
            view->challenge()->tickCooldown();
            QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Try again in %1s").arg(left));
            QVERIFY(!exitButton->isEnabled());
        }
        view->challenge()->tickCooldown();
        QVERIFY(exitButton->isEnabled());
        QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Complete a challenge to exit early"));

        // Reopened: a fresh, empty sheet.
        openSheet(*view);
        QVERIFY(field->text().isEmpty());
        QVERIFY(!shown<QLabel>(view.get(), "challengeError"));
    }

    void cooldownCaptionFollowsTheClock()
    {
        const auto view = makeView(strict(StrictModeType::math));
        view->challenge()->startCooldown();
        QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Try again in 30s"));
        QTRY_COMPARE_WITH_TIMEOUT(shownText(view.get(), "exitHint"), QStringLiteral("Try again in 29s"),
                                  3000);
    }

    void correctAnswerRequestsExitOnce_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byReturn");
        QTest::newRow("math by Return") << StrictModeType::math << "-35" << true;
        QTest::newRow("sentence by Submit") << StrictModeType::sentence << "  stay ON task " << false;
        QTest::newRow("password by Submit") << StrictModeType::password << "SECRET" << false;
    }
    void correctAnswerRequestsExitOnce()
    {
        QFETCH(StrictModeType, type);
        QFETCH(QString, typed);
        QFETCH(bool, byReturn);
        const auto view = makeView(strict(type, QStringLiteral("Stay on task"), QStringLiteral("Secret")));
        view->challenge()->setRandomSource(ScriptedRandom({23, 58, 1}).source());
        int callbacks = 0;
        view->setOnEmergencyExitRequested([&callbacks] { ++callbacks; });
        QSignalSpy exits(view.get(), &FocusOverlayView::emergencyExitRequested);
        QSignalSpy passed(view.get(), &FocusOverlayView::challengePassed);
        openSheet(*view);
        auto *field = view->findChild<QLineEdit *>(QStringLiteral("challengeField"));
        QTest::keyClicks(field, typed);
        if (byReturn)
            QTest::keyClick(field, Qt::Key_Return);
        else
            QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("submitButton")), Qt::LeftButton);
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));
        QCOMPARE(passed.count(), 1);
        QTRY_COMPARE(exits.count(), 1);
        QCOMPARE(callbacks, 1);
        // A late Return in the now hidden field asks nothing more.
        QTest::keyClick(field, Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(exits.count(), 1);
        QCOMPARE(callbacks, 1);
        // The state is fresh, so "Keep Focusing" leaves a usable overlay.
        QVERIFY(view->challenge()->challengeInput().isEmpty());
        QVERIFY(!view->challenge()->challengeError());
        QVERIFY(shown<QAbstractButton>(view.get(), "exitChallengeButton")->isEnabled());
    }

    // A break says so, counts down the break and offers the skip (also
    // behind a challenge); a round of a cycle says which.
    void breakAndRounds_data()
    {
        QTest::addColumn<bool>("isBreak");
        QTest::addColumn<bool>("isLong");
        QTest::addColumn<bool>("strict");
        QTest::addColumn<QString>("title"); // empty: none
        QTest::addColumn<QString>("roundText");
        QTest::newRow("a round") << false << false << false << ""
                                 << "Round 2 of 4";
        QTest::newRow("a break") << true << false << false << "Break"
                                 << "Round 2 of 4 done";
        QTest::newRow("a long break") << true << true << false << "Long Break"
                                      << "Round 2 of 4 done";
        QTest::newRow("a strict screen's break") << true << false << true << "Break"
                                                 << "Round 2 of 4 done";
    }
    void breakAndRounds()
    {
        QFETCH(bool, isBreak);
        QFETCH(bool, isLong);
        QFETCH(bool, strict);
        QFETCH(QString, title);
        QFETCH(QString, roundText);
        FocusOverlayContent c;
        c.round = 2;
        c.rounds = 4;
        c.isBreak = isBreak;
        c.isLongBreak = isLong;
        c.remainingTime = 300;
        if (strict) {
            c.strictModeEnabled = true;
            c.strictModeType = StrictModeType::math;
        }
        const auto view = makeView(c);
        auto *breakTitle = view->findChild<QLabel *>(QStringLiteral("breakTitle"));
        QCOMPARE(breakTitle ? breakTitle->text() : QString(), title);
        QCOMPARE(view->findChild<QLabel *>(QStringLiteral("roundText"))->text(), roundText);
        QCOMPARE(view->findChild<QLabel *>(QStringLiteral("countdown"))->text(), QStringLiteral("05:00"));
        auto *skip = view->findChild<QAbstractButton *>(QStringLiteral("skipBreakButton"));
        QCOMPARE(skip != nullptr, isBreak);
        auto *extend = view->findChild<QAbstractButton *>(QStringLiteral("extendButton"));
        if (extend)
            QCOMPARE(extend->isVisibleTo(view.get()), !isBreak);
        if (skip) {
            QVERIFY(skip->isVisibleTo(view.get()));
            QVERIFY(!view->interactiveRegion()
                         .intersected(QRect(skip->mapTo(view.get(), QPoint(0, 0)), skip->size()))
                         .isEmpty());
            QSignalSpy skips(view.get(), &FocusOverlayView::skipBreakRequested);
            QTest::mouseClick(skip, Qt::LeftButton);
            QTRY_COMPARE(skips.count(), 1);
        }
    }

    void emergencyExitButton()
    {
        FocusOverlayContent c;
        const auto view = makeView(c);
        int callbacks = 0;
        view->setOnEmergencyExitRequested([&callbacks] { ++callbacks; });
        QSignalSpy exits(view.get(), &FocusOverlayView::emergencyExitRequested);
        QTest::mouseClick(shown<QAbstractButton>(view.get(), "emergencyExitButton"), Qt::LeftButton);
        QTRY_COMPARE(exits.count(), 1);
        QCOMPARE(callbacks, 1);
    }

    void viewGoneBeforeRequestArrives()
    {
        int callbacks = 0;
        {
            const auto view = makeView(FocusOverlayContent{});
            view->setOnEmergencyExitRequested([&callbacks] { ++callbacks; });
            QTest::mouseClick(shown<QAbstractButton>(view.get(), "emergencyExitButton"), Qt::LeftButton);
        }
        QTest::qWait(20);
        QCOMPARE(callbacks, 0);
    }

    void ownerMayDeleteViewInCallback()
    {
        auto *view = makeView(FocusOverlayContent{}).release();
        QPointer<FocusOverlayView> guard(view);
        view->setOnEmergencyExitRequested([view] { delete view; });
        QTest::mouseClick(shown<QAbstractButton>(view, "emergencyExitButton"), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
    }

    void countdownUpdateKeepsChallengeState()
    {
        const auto view = makeView(strict(StrictModeType::sentence, QStringLiteral("Stay")));
        openSheet(*view);
        auto *field = view->findChild<QLineEdit *>(QStringLiteral("challengeField"));
        QTest::keyClicks(field, QStringLiteral("sta"));
        view->setRemainingTime(100.7);
        QCOMPARE(shownText(view.get(), "countdown"), QStringLiteral("01:40"));
        QCOMPARE(field->text(), QStringLiteral("sta"));
        QVERIFY(shown<ChallengeSheet>(view.get(), "challengeSheet"));
        view->setRemainingTime(-3);
        QCOMPARE(shownText(view.get(), "countdown"), QStringLiteral("00:00"));
    }

    void viewsHaveTheirOwnState()
    {
        const auto first = makeView(strict(StrictModeType::password, std::nullopt, QStringLiteral("pw")));
        const auto second = makeView(strict(StrictModeType::password, std::nullopt, QStringLiteral("pw")));
        openSheet(*first);
        first->challenge()->submitChallenge();
        QVERIFY(first->challenge()->challengeCooldown());
        QVERIFY(!second->challenge()->challengeCooldown());
        QVERIFY(!shown<ChallengeSheet>(second.get(), "challengeSheet"));
    }

    void backgroundPixels_data()
    {
        QTest::addColumn<OverlayBackgroundType>("type");
        QTest::addColumn<std::optional<QString>>("value");
        QTest::addColumn<QRgb>("corner");
        QTest::newRow("solid") << OverlayBackgroundType::solid << std::optional<QString>("#1A1A2E")
                               << qRgba(0x1A, 0x1A, 0x2E, 255);
        QTest::newRow("solid without hash")
            << OverlayBackgroundType::solid << std::optional<QString>("1A1A2E")
            << qRgba(0x1A, 0x1A, 0x2E, 255);
        QTest::newRow("bad solid") << OverlayBackgroundType::solid << std::optional<QString>("nope")
                                   << qRgba(0, 0, 0, 230);
        QTest::newRow("bad gradient") << OverlayBackgroundType::gradient
                                      << std::optional<QString>("Linear,#fff,#000") << qRgba(0, 0, 0, 230);
        QTest::newRow("missing image")
            << OverlayBackgroundType::image << std::optional<QString>("/no/such.png") << qRgba(0, 0, 0, 230);
        QTest::newRow("system without grab")
            << OverlayBackgroundType::system << std::optional<QString>() << qRgba(0, 0, 0, 217);
        QTest::newRow("linear starts top left")
            << OverlayBackgroundType::gradient << std::optional<QString>("linear,#ff0000,#0000ff")
            << qRgba(255, 0, 0, 255);
    }
    void backgroundPixels()
    {
        QFETCH(OverlayBackgroundType, type);
        QFETCH(std::optional<QString>, value);
        QFETCH(QRgb, corner);
        FocusOverlayContent c;
        c.overlayBackgroundType = type;
        c.overlayBackgroundValue = value;
        const auto view = makeView(c);
        const QRgb px = cornerPixel(*view);
        QVERIFY2(std::abs(qRed(px) - qRed(corner)) <= 3 && std::abs(qGreen(px) - qGreen(corner)) <= 3 &&
                     std::abs(qBlue(px) - qBlue(corner)) <= 3 && std::abs(qAlpha(px) - qAlpha(corner)) <= 2,
                 qPrintable(QString::number(px, 16)));
    }

    void systemBackgroundShowsBlurredGrab()
    {
        const auto view = makeView(FocusOverlayContent{});
        QImage grab(1280, 800, QImage::Format_RGB32);
        grab.fill(QColor(200, 100, 0));
        view->setScreenGrab(grab);
        const QRgb px = cornerPixel(*view);
        // The grab under black at 0.85: 15 % of it shows, fully opaque.
        QCOMPARE(qAlpha(px), 255);
        QVERIFY2(std::abs(qRed(px) - 30) <= 3 && std::abs(qGreen(px) - 15) <= 3,
                 qPrintable(QString::number(px, 16)));
        view->setScreenGrab(QImage());
        QCOMPARE(qAlpha(cornerPixel(*view)), 217);
    }
};

int runOverlayViewTests(int argc, char **argv)
{
    TestOverlayView t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_overlay_view.moc"
