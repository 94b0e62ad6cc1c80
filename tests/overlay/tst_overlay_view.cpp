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
        const QString iconPath = m_data.filePath(QStringLiteral("editor.png"));
        QVERIFY(icon.save(iconPath));
        for (const auto &[id, fields] :
             {std::pair{"org.example.Editor", "Name=Text Editor\nExec=editor\n"},
              std::pair{"debian-xterm", "Name=XTerm\nExec=xterm\nStartupWMClass=XTerm\n"}}) {
            QFile entry(m_data.filePath(QStringLiteral("applications/%1.desktop").arg(QLatin1String(id))));
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write(QByteArray("[Desktop Entry]\nType=Application\n") + fields +
                        "Icon=" + iconPath.toUtf8() + "\n");
        }
    }

    // A challenge in force brings the strict-mode badge and the challenge
    // button; otherwise the emergency exit stays.
    void exitControls_data()
    {
        QTest::addColumn<bool>("strictEnabled");
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<bool>("challenge");
        QTest::newRow("no strict mode") << false << StrictModeType::none << false;
        QTest::newRow("strict off keeps emergency exit") << false << StrictModeType::sentence << false;
        QTest::newRow("strict on with type none") << true << StrictModeType::none << false;
        QTest::newRow("sentence") << true << StrictModeType::sentence << true;
        QTest::newRow("math") << true << StrictModeType::math << true;
        QTest::newRow("password") << true << StrictModeType::password << true;
    }
    void exitControls()
    {
        QFETCH(bool, strictEnabled);
        QFETCH(StrictModeType, type);
        QFETCH(bool, challenge);
        FocusOverlayContent c = strict(type);
        c.strictModeEnabled = strictEnabled;
        const auto view = makeView(c);
        QCOMPARE(shown<QLabel>(view.get(), "strictModeBadgeText") != nullptr, challenge);
        QCOMPARE(shown<QAbstractButton>(view.get(), "emergencyExitButton") != nullptr, !challenge);
        auto *exitChallenge = shown<QAbstractButton>(view.get(), "exitChallengeButton");
        QCOMPARE(exitChallenge != nullptr, challenge);
        if (exitChallenge)
            QVERIFY(exitChallenge->isEnabled());
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
        QCOMPARE(shown<QWidget>(view.get(), "allowedApps") != nullptr, !apps.isEmpty());
        const auto badges = view->findChildren<AllowedAppBadge *>();
        QCOMPARE(badges.size(), apps.size());
        for (qsizetype i = 0; i < badges.size(); ++i) {
            QCOMPARE(badges[i]->appId(), apps[i]);
            QCOMPARE(badges[i]->name(), names[i]);
            QCOMPARE(badges[i]->hasAppIcon(), ownIcons[i]);
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

    // The sheet over the view: a secret field for the password, the sentence
    // or the math problem readable above the field while typing, nothing
    // behind it usable.
    void challengeSheet_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<std::optional<QString>>("sentence");
        QTest::newRow("sentence") << StrictModeType::sentence << std::optional<QString>("Stay on task");
        QTest::newRow("sentence absent") << StrictModeType::sentence << std::optional<QString>();
        QTest::newRow("math") << StrictModeType::math << std::optional<QString>();
        QTest::newRow("password") << StrictModeType::password << std::optional<QString>();
    }
    void challengeSheet()
    {
        QFETCH(StrictModeType, type);
        QFETCH(std::optional<QString>, sentence);
        const auto view = makeView(strict(type, sentence, QStringLiteral("pw")));
        view->challenge()->setRandomSource(ScriptedRandom({47, 12, 2}).source());
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));
        openSheet(*view);
        auto *sheet = shown<ChallengeSheet>(view.get(), "challengeSheet");
        auto *field = shown<QLineEdit>(sheet, "challengeField");
        QCOMPARE(field->echoMode() == QLineEdit::Password, type == StrictModeType::password);
        QVERIFY(field->text().isEmpty());
        QTest::keyClicks(field, QStringLiteral("5"));
        const bool sentenceShown = type == StrictModeType::sentence && sentence.has_value();
        QCOMPARE(shown<QLabel>(sheet, "challengeSentence") != nullptr, sentenceShown);
        if (sentenceShown)
            QCOMPARE(shownText(sheet, "challengeSentence"), QStringLiteral("\u201C%1\u201D").arg(*sentence));
        QCOMPARE(shown<QLabel>(sheet, "challengeProblem") != nullptr, type == StrictModeType::math);
        if (type == StrictModeType::math)
            QCOMPARE(shownText(sheet, "challengeProblem"), QStringLiteral("47 \u00D7 12 = ?"));
        QVERIFY(!shown<QLabel>(sheet, "challengeError"));
        QVERIFY(sheet->geometry().contains(view->rect().center()));
        QVERIFY(!view->findChild<QAbstractButton *>(QStringLiteral("exitChallengeButton"))->isEnabled());
    }

    // Submit takes only text (a disabled one does nothing when clicked).
    void submitEnabledOnlyForText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks") << "   " << false;
        QTest::newRow("text with blanks") << "  x  " << true;
    }
    void submitEnabledOnlyForText()
    {
        QFETCH(QString, input);
        QFETCH(bool, enabled);
        const auto view = makeView(strict(StrictModeType::sentence, QStringLiteral("Stay")));
        openSheet(*view);
        auto *submit = view->findChild<QPushButton *>(QStringLiteral("submitButton"));
        QVERIFY(!submit->isEnabled());
        QTest::keyClicks(view->findChild<QLineEdit *>(QStringLiteral("challengeField")), input);
        QCOMPARE(submit->isEnabled(), enabled);
        QTest::mouseClick(submit, Qt::LeftButton);
        QCOMPARE(view->challenge()->challengeError().has_value(), enabled);
    }

    void wrongAnswerLocksExitButtonForThirtySeconds()
    {
        const auto view = makeView(strict(StrictModeType::password, std::nullopt, QStringLiteral("Secret")));
        openSheet(*view);
        auto *field = view->findChild<QLineEdit *>(QStringLiteral("challengeField"));
        QTest::keyClicks(field, QStringLiteral("guess"));
        QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("submitButton")), Qt::LeftButton);
        QVERIFY(shown<QLabel>(view.get(), "challengeError"));
        QCOMPARE(field->text(), QStringLiteral("guess")); // kept for another try

        QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));
        auto *exitButton = shown<QAbstractButton>(view.get(), "exitChallengeButton");
        QTest::mouseClick(exitButton, Qt::LeftButton);
        QVERIFY(!shown<ChallengeSheet>(view.get(), "challengeSheet"));
        for (int left = 30; left >= 1; --left) {
            QCOMPARE(shownText(view.get(), "exitHint"), QStringLiteral("Try again in %1s").arg(left));
            QVERIFY(!exitButton->isEnabled());
            view->challenge()->tickCooldown();
        }
        QVERIFY(exitButton->isEnabled());
        QVERIFY(!shownText(view.get(), "exitHint").startsWith(QStringLiteral("Try again")));

        // Reopened: a fresh, empty sheet.
        openSheet(*view);
        QVERIFY(field->text().isEmpty());
        QVERIFY(!shown<QLabel>(view.get(), "challengeError"));
    }

    // A right answer asks for the exit once, by Return or Submit, and leaves
    // a fresh state behind ("Keep Focusing" keeps a usable overlay). Return
    // submits even an empty field: wrong against a stored sentence, right
    // when nothing is stored (the expected answer is empty).
    void submitting_data()
    {
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byReturn");
        QTest::addColumn<bool>("passes");
        QTest::newRow("math by Return") << StrictModeType::math << ""
                                        << "-35" << true << true;
        QTest::newRow("sentence by Submit") << StrictModeType::sentence << "Stay on task"
                                            << "  stay ON task " << false << true;
        QTest::newRow("password by Submit") << StrictModeType::password << "Secret"
                                            << "SECRET" << false << true;
        QTest::newRow("empty, sentence stored") << StrictModeType::sentence << "Stay"
                                                << "" << true << false;
        QTest::newRow("empty, no password stored") << StrictModeType::password << ""
                                                   << "" << true << true;
    }
    void submitting()
    {
        QFETCH(StrictModeType, type);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, byReturn);
        QFETCH(bool, passes);
        std::optional<QString> kept;
        if (!stored.isEmpty())
            kept = stored;
        const auto view = makeView(strict(type, kept, kept));
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
        QCOMPARE(shown<ChallengeSheet>(view.get(), "challengeSheet") != nullptr, !passes);
        QCOMPARE(passed.count(), passes ? 1 : 0);
        if (!passes) {
            QVERIFY(shown<QLabel>(view.get(), "challengeError"));
            QVERIFY(view->challenge()->challengeCooldown());
            QCoreApplication::processEvents();
            QCOMPARE(exits.count(), 0);
            return;
        }
        QTRY_COMPARE(exits.count(), 1);
        QCOMPARE(callbacks, 1);
        // A late Return in the now hidden field asks nothing more (the
        // request would arrive through the event loop).
        QTest::keyClick(field, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(exits.count(), 1);
        QCOMPARE(callbacks, 1);
        QVERIFY(view->challenge()->challengeInput().isEmpty());
        QVERIFY(!view->challenge()->challengeError());
        QVERIFY(shown<QAbstractButton>(view.get(), "exitChallengeButton")->isEnabled());
    }

    // A break offers the skip (also behind a challenge) and no extension.
    void breakOffersTheSkip_data()
    {
        QTest::addColumn<bool>("isBreak");
        QTest::addColumn<bool>("strict");
        QTest::newRow("a round") << false << false;
        QTest::newRow("a break") << true << false;
        QTest::newRow("a strict screen's break") << true << true;
    }
    void breakOffersTheSkip()
    {
        QFETCH(bool, isBreak);
        QFETCH(bool, strict);
        FocusOverlayContent c;
        c.round = 2;
        c.rounds = 4;
        c.isBreak = isBreak;
        c.strictModeEnabled = strict;
        c.strictModeType = strict ? StrictModeType::math : StrictModeType::none;
        const auto view = makeView(c);
        auto *skip = view->findChild<QAbstractButton *>(QStringLiteral("skipBreakButton"));
        QCOMPARE(skip != nullptr, isBreak);
        auto *extend = view->findChild<QAbstractButton *>(QStringLiteral("extendButton"));
        if (extend)
            QCOMPARE(extend->isVisibleTo(view.get()), !isBreak);
        if (!skip)
            return;
        QVERIFY(skip->isVisibleTo(view.get()));
        QVERIFY(!view->interactiveRegion()
                     .intersected(QRect(skip->mapTo(view.get(), QPoint(0, 0)), skip->size()))
                     .isEmpty());
        QSignalSpy skips(view.get(), &FocusOverlayView::skipBreakRequested);
        QTest::mouseClick(skip, Qt::LeftButton);
        QTRY_COMPARE(skips.count(), 1);
    }

    // The request comes through the event loop: a view gone by then asks
    // nothing, and the owner may delete the view in its handler.
    void viewGoneBeforeRequestArrives()
    {
        int callbacks = 0;
        {
            const auto view = makeView(FocusOverlayContent{});
            view->setOnEmergencyExitRequested([&callbacks] { ++callbacks; });
            QTest::mouseClick(shown<QAbstractButton>(view.get(), "emergencyExitButton"), Qt::LeftButton);
            QCOMPARE(callbacks, 0);
        }
        QCoreApplication::processEvents();
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

    // What the view paints (the backgrounds themselves are tested on their own).
    void backgroundPixels_data()
    {
        QTest::addColumn<OverlayBackgroundType>("type");
        QTest::addColumn<std::optional<QString>>("value");
        QTest::addColumn<QRgb>("corner");
        QTest::newRow("solid") << OverlayBackgroundType::solid << std::optional<QString>("#1A1A2E")
                               << qRgba(0x1A, 0x1A, 0x2E, 255);
        QTest::newRow("bad gradient") << OverlayBackgroundType::gradient
                                      << std::optional<QString>("Linear,#fff,#000") << qRgba(0, 0, 0, 230);
        QTest::newRow("system without grab")
            << OverlayBackgroundType::system << std::optional<QString>() << qRgba(0, 0, 0, 217);
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
