// SPDX-License-Identifier: MIT
// The overlay controller offscreen, against the fake keeper and watchdog:
// one window per display, hide and fade semantics, the Esc counting with
// injected times and key events, the confirmation through its test seam and
// the strict-mode challenges.
#include "EscapeCounter.h"
#include "FakeOverlayWindows.h"
#include "FocusOverlayController.h"
#include "FocusOverlayView.h"

#include "ExitChallenge.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

namespace {

// Counts the Esc presses that got past the application's filters.
class EscRecorder : public QObject
{
public:
    int escapes = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            ++escapes;
        return false;
    }
};

FocusOverlayContent content(bool strict = false, StrictModeType type = StrictModeType::none)
{
    FocusOverlayContent c;
    c.screenName = QStringLiteral("Deep Work");
    c.duration = 600;
    c.remainingTime = 300;
    c.lockMode = LockMode::overlay;
    c.strictModeEnabled = strict;
    c.strictModeType = type;
    c.strictModeSentence = QStringLiteral("I stay");
    c.overlayBackgroundType = OverlayBackgroundType::solid;
    c.overlayBackgroundValue = QStringLiteral("#202040");
    return c;
}

QAbstractButton *destructiveButton(QMessageBox *box)
{
    for (QAbstractButton *button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::DestructiveRole)
            return button;
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(LockMode)

class TestOverlayController : public QObject
{
    Q_OBJECT

    qint64 m_now = 100000;
    std::unique_ptr<FocusOverlayController> m_controller;
    FakeOverlayKeeper *m_keeper = nullptr;
    FakeOverlayWatchdog *m_watchdog = nullptr;
    int m_exits = 0;
    EscRecorder m_recorder;

    void pressEsc(qint64 advanceMs)
    {
        m_now += advanceMs;
        QTest::keyClick(m_controller->windows().first()->windowHandle(), Qt::Key_Escape);
    }

private Q_SLOTS:
    void init()
    {
        auto keeper = std::make_unique<FakeOverlayKeeper>();
        auto watchdog = std::make_unique<FakeOverlayWatchdog>();
        m_keeper = keeper.get();
        m_watchdog = watchdog.get();
        m_controller =
            std::make_unique<FocusOverlayController>(nullptr, std::move(keeper), std::move(watchdog));
        m_controller->setAnimated(false);
        m_controller->setClock([this] { return m_now; });
        m_exits = 0;
        m_controller->setOnEmergencyExit([this] { ++m_exits; });
        m_recorder.escapes = 0;
    }
    void cleanup()
    {
        m_controller->hide();
        QCoreApplication::processEvents();
        m_controller.reset();
    }

    void escapeCounter_data()
    {
        QTest::addColumn<QList<int>>("gapsMs");
        QTest::addColumn<bool>("strict");
        QTest::addColumn<QList<int>>("outcomes"); // 0 pass on, 1 swallow, 2 confirm
        QTest::newRow("three quick") << QList<int>{0, 400, 400} << false << QList<int>{0, 0, 2};
        QTest::newRow("just under a second") << QList<int>{0, 999, 999} << false << QList<int>{0, 0, 2};
        QTest::newRow("a second apart never")
            << QList<int>{0, 1000, 1000, 1000} << false << QList<int>{0, 0, 0, 0};
        QTest::newRow("slow press restarts the count")
            << QList<int>{0, 100, 1500, 100, 100} << false << QList<int>{0, 0, 0, 0, 2};
        QTest::newRow("count starts over after a confirmation")
            << QList<int>{0, 10, 10, 10, 10, 10} << false << QList<int>{0, 0, 2, 0, 0, 2};
        QTest::newRow("strict swallows every press")
            << QList<int>{0, 10, 10, 10} << true << QList<int>{1, 1, 1, 1};
    }
    void escapeCounter()
    {
        QFETCH(QList<int>, gapsMs);
        QFETCH(bool, strict);
        QFETCH(QList<int>, outcomes);
        EscapeCounter counter;
        counter.reset(strict);
        qint64 t = 5000;
        for (int i = 0; i < gapsMs.size(); ++i) {
            t += gapsMs[i];
            QCOMPARE(int(counter.press(t)), outcomes[i]);
        }
    }

    void oneWindowPerDisplay()
    {
        m_controller->show(content());
        const auto windows = m_controller->windows();
        QCOMPARE(windows.size(), QGuiApplication::screens().size());
        for (int i = 0; i < windows.size(); ++i) {
            QVERIFY(windows[i]->isVisible());
            QCOMPARE(windows[i]->geometry(), QGuiApplication::screens().at(i)->geometry());
            QVERIFY(windows[i]->windowFlags() & Qt::WindowStaysOnTopHint);
            QVERIFY(windows[i]->windowFlags() & Qt::FramelessWindowHint);
        }
        QVERIFY(m_controller->isEscMonitorInstalled());
        m_controller->updateCountdown(299);
        for (FocusOverlayView *view : m_controller->views())
            QCOMPARE(view->remainingTime(), 299.0);
        // Showing again replaces the windows.
        m_controller->show(content());
        QCOMPARE(m_controller->windows().size(), QGuiApplication::screens().size());
    }

    void hideRunsCompletionAfterTheWindowsAreGone()
    {
        int completions = 0;
        m_controller->hide([&] { ++completions; });
        QCOMPARE(completions, 1); // no windows: at once

        m_controller->show(content());
        QPointer<QWidget> window = m_controller->windows().first();
        m_controller->hide([&] { ++completions; });
        QVERIFY(m_controller->windows().isEmpty());
        QVERIFY(!m_controller->isEscMonitorInstalled());
        QCOMPARE(completions, 1); // not yet
        QTRY_COMPARE(completions, 2);
        QTRY_VERIFY(!window || !window->isVisible());
    }

    // Three quick presses open the confirmation (the third is swallowed), as
    // does the view's "Emergency Exit" button; only "Cancel Focus Session"
    // ends the session. A strict challenge swallows every press.
    void exitAsksFirst_data()
    {
        QTest::addColumn<bool>("strict");
        QTest::addColumn<StrictModeType>("type");
        QTest::addColumn<int>("gapMs"); // between Esc presses; 0: the button instead
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("passedOn");
        QTest::addColumn<bool>("confirms");
        const auto none = StrictModeType::none;
        QTest::newRow("Esc, Cancel Focus Session") << false << none << 300 << true << 2 << true;
        QTest::newRow("Esc, Keep Focusing") << false << none << 300 << false << 2 << true;
        QTest::newRow("Esc a second apart") << false << none << 1000 << true << 3 << false;
        QTest::newRow("button, Cancel Focus Session") << false << none << 0 << true << 0 << true;
        QTest::newRow("button, Keep Focusing") << false << none << 0 << false << 0 << true;
        QTest::newRow("strict sentence") << true << StrictModeType::sentence << 100 << true << 0 << false;
        QTest::newRow("strict math") << true << StrictModeType::math << 100 << true << 0 << false;
        QTest::newRow("strict password") << true << StrictModeType::password << 100 << true << 0 << false;
        QTest::newRow("strict with type none keeps the rapid exit")
            << true << none << 100 << true << 2 << true;
    }
    void exitAsksFirst()
    {
        QFETCH(bool, strict);
        QFETCH(StrictModeType, type);
        QFETCH(int, gapMs);
        QFETCH(bool, answer);
        QFETCH(int, passedOn);
        QFETCH(bool, confirms);
        m_controller->show(content(strict, type));
        m_controller->windows().first()->windowHandle()->installEventFilter(&m_recorder);
        FocusOverlayController::answerNextConfirmation(answer);
        if (gapMs == 0) {
            auto *button = m_controller->views().first()->findChild<QAbstractButton *>(
                QStringLiteral("emergencyExitButton"));
            QVERIFY(button);
            button->click();
        } else {
            for (int i = 0; i < 3; ++i)
                pressEsc(gapMs);
        }
        QCOMPARE(m_recorder.escapes, passedOn);
        const int exits = confirms && answer ? 1 : 0;
        QTRY_COMPARE(m_exits, exits);
        QCoreApplication::processEvents();
        QCOMPARE(m_exits, exits);
        if (!confirms) { // leave no answer behind
            FocusOverlayController::answerNextConfirmation(false);
            m_controller->confirmEmergencyExit();
        }
    }

    // The fade-out takes its time; whatever happens to the windows during
    // it, its completion runs exactly once and no window is left behind.
    void fadeOutEndsOnceWhateverHappensToTheWindows_data()
    {
        QTest::addColumn<QString>("during");
        QTest::newRow("nothing") << QStringLiteral("nothing");
        QTest::newRow("one window closed") << QStringLiteral("close");
        QTest::newRow("one window destroyed") << QStringLiteral("delete");
        QTest::newRow("every window destroyed") << QStringLiteral("deleteAll");
    }
    void fadeOutEndsOnceWhateverHappensToTheWindows()
    {
        QFETCH(QString, during);
        m_controller->setAnimated(true);
        m_controller->show(content());
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : m_controller->windows())
            windows.append(w);
        // A close request from outside is refused while the session holds
        // the window.
        QCloseEvent request;
        QSpontaneKeyEvent::setSpontaneous(&request);
        QCoreApplication::sendEvent(windows.first()->windowHandle(), &request);
        QVERIFY(!request.isAccepted());
        QVERIFY(windows.first()->isVisible());
        QTRY_COMPARE(windows.first()->windowOpacity(), 1.0); // faded in

        QElapsedTimer fade;
        fade.start();
        int completions = 0;
        m_controller->hide([&] { ++completions; });
        QTRY_VERIFY(windows.first()->windowOpacity() < 1.0); // fading out
        if (during == QLatin1String("close"))
            windows.first()->close();
        else if (during == QLatin1String("delete"))
            delete windows.first().data();
        else if (during == QLatin1String("deleteAll"))
            for (const auto &w : windows)
                delete w.data();
        QTRY_COMPARE(completions, 1);
        if (during == QLatin1String("nothing"))
            QVERIFY(fade.elapsed() >= FocusOverlayController::kFadeOutMs - 20);
        // The fade's animation runs to its end (or was stopped) and is gone,
        // with whatever it had queued: the completion ran once all the same.
        QTRY_VERIFY(m_controller->findChildren<QVariantAnimation *>().isEmpty());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(completions, 1);
        for (const auto &w : windows)
            QVERIFY(!w);
    }

    // The confirmation does not stop the event loop; taking the overlay down
    // (the session reached zero underneath) takes the alert with it and ends
    // nothing.
    void confirmationGoesWithTheOverlay()
    {
        m_controller->show(content());
        bool returned = false;
        QTimer::singleShot(0, this, [&] { returned = true; });
        m_controller->confirmEmergencyExit();
        QPointer<QMessageBox> box = m_controller->confirmation();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QTRY_VERIFY(returned); // the loop goes on under the alert

        int completions = 0;
        m_controller->hide([&] { ++completions; });
        QVERIFY(!m_controller->confirmation());
        QTRY_COMPARE(completions, 1);
        QTRY_VERIFY(!box);
        QCOMPARE(m_exits, 0);
    }

    // Return, Enter and Esc keep the session; only the button drawn as
    // destructive ends it, and a key still held from before the alert
    // answers nothing.
    void confirmationDefaultsToKeepFocusing_data()
    {
        QTest::addColumn<int>("key"); // 0: the destructive button
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Return") << int(Qt::Key_Return) << false << true << false;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << false << true << false;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false << true << false;
        QTest::newRow("held Return") << int(Qt::Key_Return) << true << false << false;
        QTest::newRow("Cancel Focus Session") << 0 << false << true << true;
    }
    void confirmationDefaultsToKeepFocusing()
    {
        QFETCH(int, key);
        QFETCH(bool, held);
        QFETCH(bool, closes);
        QFETCH(bool, ends);
        m_controller->show(content());
        m_controller->confirmEmergencyExit();
        QPointer<QMessageBox> box = m_controller->confirmation();
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QAbstractButton *destructive = destructiveButton(box);
        QVERIFY(destructive);
        QVERIFY(box->defaultButton() && box->defaultButton() != destructive);
        QCOMPARE(box->escapeButton(), box->defaultButton());
        QWidget *focused = box->focusWidget() ? box->focusWidget() : box.data();
        if (key == 0) {
            destructive->click();
        } else if (held) {
            QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QSpontaneKeyEvent::setSpontaneous(&repeat);
            QApplication::sendEvent(focused, &repeat);
        } else {
            QTest::keyClick(focused, Qt::Key(key));
        }
        if (closes)
            QTRY_VERIFY(!m_controller->confirmation());
        QCoreApplication::processEvents();
        QCOMPARE(bool(m_controller->confirmation()), !closes);
        QCOMPARE(m_exits, ends ? 1 : 0);
        QVERIFY(m_controller->isShown());
    }

    // A quit attempt under strict mode opens the challenge; passing it runs
    // the quit instead of the confirmation, cancelling it forgets the quit.
    void quitChallenge_data()
    {
        QTest::addColumn<bool>("strict");
        QTest::addColumn<bool>("cancelFirst");
        QTest::newRow("passed") << true << false;
        QTest::newRow("cancelled, then the exit challenge passed") << true << true;
        QTest::newRow("no challenge in force") << false << false;
    }
    void quitChallenge()
    {
        QFETCH(bool, strict);
        QFETCH(bool, cancelFirst);
        m_controller->show(content(strict, strict ? StrictModeType::sentence : StrictModeType::none));
        int quits = 0;
        QCOMPARE(m_controller->openQuitChallenge([&] { ++quits; }), strict);
        if (!strict)
            return;
        ExitChallenge *challenge = m_controller->views().first()->challenge();
        QVERIFY(challenge->showChallenge());
        if (cancelFirst) {
            challenge->cancelChallenge();
            QCoreApplication::processEvents();
            challenge->openChallenge();
            FocusOverlayController::answerNextConfirmation(false);
        }
        challenge->setChallengeInput(QStringLiteral("i stay"));
        challenge->submitChallenge();
        QTRY_COMPARE(quits + m_exits, cancelFirst ? 0 : 1);
        QCoreApplication::processEvents();
        QCOMPARE(quits, cancelFirst ? 0 : 1);
        QCOMPARE(m_exits, 0);
    }

    // A quit during the challenge's cooldown is refused and the overlay
    // says so until the cooldown is over.
    void quitDuringTheCooldownSaysSo()
    {
        m_controller->show(content(true, StrictModeType::sentence));
        FocusOverlayView *view = m_controller->views().first();
        ExitChallenge *challenge = view->challenge();
        challenge->openChallenge();
        challenge->setChallengeInput(QStringLiteral("wrong"));
        challenge->submitChallenge();
        challenge->cancelChallenge();
        QVERIFY(challenge->challengeCooldown());
        QVERIFY(view->quitNotice().isEmpty());
        int quits = 0;
        QVERIFY(m_controller->openQuitChallenge([&] { ++quits; }));
        QVERIFY(!challenge->showChallenge());
        QVERIFY(!view->quitNotice().isEmpty());
        for (int i = 0; i < Challenge::kCooldownSeconds; ++i)
            challenge->tickCooldown();
        QVERIFY(!challenge->challengeCooldown());
        QVERIFY(view->quitNotice().isEmpty());
        QCOMPARE(quits, 0);
    }

    // Click-through windows take pointer input on the exit button, and on
    // the challenge sheet while it is open.
    void interactiveRegionFollowsTheControls()
    {
        FocusOverlayContent c = content(true, StrictModeType::sentence);
        c.lockMode = LockMode::hideApps;
        m_controller->show(c);
        FocusOverlayView *view = m_controller->views().first();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        auto *button = view->findChild<QWidget *>(QStringLiteral("exitChallengeButton"));
        QVERIFY(button);
        const QRect buttonRect(button->mapTo(view, QPoint()), button->size());
        QTRY_COMPARE(view->interactiveRegion(), QRegion(buttonRect));
        QSignalSpy changed(view, &FocusOverlayView::interactiveRegionChanged);
        view->challenge()->openChallenge();
        QVERIFY(!changed.isEmpty());
        QVERIFY(view->interactiveRegion().rectCount() >= 2);
        QVERIFY(view->interactiveRegion().contains(view->rect().center()));
        view->challenge()->cancelChallenge();
        QCOMPARE(view->interactiveRegion(), QRegion(buttonRect));
    }

    // Without a challenge the overlay and the tray's menu offer "+5 min" and
    // "End Session": the end comes at once (no confirmation), the extension
    // asks for five minutes; a strict session offers neither.
    void sessionControls_data()
    {
        QTest::addColumn<bool>("strict");
        QTest::newRow("plain") << false;
        QTest::newRow("strict") << true;
    }
    void sessionControls()
    {
        QFETCH(bool, strict);
        QVERIFY(!m_controller->showSessionMenu(QPoint(10, 10))); // no session
        FocusOverlayContent c = content(strict, strict ? StrictModeType::math : StrictModeType::none);
        c.lockMode = LockMode::hideApps;
        QList<int> extensions;
        m_controller->setOnExtendRequested([&](int minutes) { extensions.append(minutes); });
        m_controller->show(c);
        FocusOverlayView *view = m_controller->views().first();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        auto *extend = view->findChild<QAbstractButton *>(QStringLiteral("extendButton"));
        auto *end = view->findChild<QAbstractButton *>(QStringLiteral("endSessionButton"));
        QPointer<QMenu> menu = m_controller->showSessionMenu(QPoint(10, 10));
        if (strict) {
            QVERIFY(!extend && !end && !menu);
            return;
        }
        QVERIFY(extend && end && menu);
        const auto actions = menu->actions();
        QCOMPARE(actions.size(), 2);
        actions.at(0)->trigger();
        QCOMPARE(extensions, QList<int>{5});
        actions.at(1)->trigger();
        QCOMPARE(m_exits, 1);
        menu->close();

        // Both buttons take clicks through the click-through window.
        for (QAbstractButton *button : {extend, end})
            QTRY_VERIFY(
                view->interactiveRegion().contains(QRect(button->mapTo(view, QPoint()), button->size())));
        extend->click();
        QTRY_COMPARE(extensions, (QList<int>{5, 5}));
        QCOMPARE(m_exits, 1);
        end->click();
        QTRY_COMPARE(m_exits, 2);
        QVERIFY(!m_controller->confirmation());
    }

    // The windows are held and watched for the whole session, through the
    // platform's keeper and watchdog; the allowed applications (and what
    // the session leaves on screen) may stand above the overlay in the
    // click-through modes only.
    void keeperAndWatchdogFollowTheSession_data()
    {
        QTest::addColumn<LockMode>("mode");
        QTest::addColumn<QStringList>("above");
        QTest::addColumn<bool>("othersAbove");
        const QStringList allowed{QStringLiteral("xterm"), QStringLiteral("org.gnome.TextEditor")};
        QTest::newRow("hideApps") << LockMode::hideApps << allowed << true;
        QTest::newRow("preventLaunch") << LockMode::preventLaunch << allowed << true;
        QTest::newRow("overlay") << LockMode::overlay << QStringList() << false;
    }
    void keeperAndWatchdogFollowTheSession()
    {
        QFETCH(LockMode, mode);
        QFETCH(QStringList, above);
        QFETCH(bool, othersAbove);
        FocusOverlayContent c = content();
        c.lockMode = mode;
        c.allowedApps = {QStringLiteral("xterm"), QStringLiteral("org.gnome.TextEditor")};
        m_controller->show(c);
        QCOMPARE(m_controller->applicationsAbove(), above);
        QCOMPARE(m_keeper->allowed, above);
        QCOMPARE(m_keeper->othersAbove, othersAbove);
        const auto shown = m_controller->windows();
        QTRY_COMPARE(m_keeper->held.size(), shown.size());
        QCOMPARE(m_watchdog->watched.size(), shown.size());
        for (QWidget *w : shown) {
            QVERIFY(m_keeper->held.contains(w));
            QVERIFY(m_watchdog->watched.contains(w));
        }

        // The confirmation may stand above the held windows.
        QVERIFY(m_keeper->aboveWindows);
        QVERIFY(m_keeper->aboveWindows().isEmpty());
        m_controller->confirmEmergencyExit();
        QVERIFY(m_controller->confirmation());
        QVERIFY(m_keeper->aboveWindows().contains(m_controller->confirmation()));

        // Windows the guard took down and the keeper mapped again are
        // watched again.
        m_watchdog->watched.clear();
        m_keeper->simulateRemap();
        QCOMPARE(m_watchdog->watched.size(), shown.size());

        m_controller->hide();
        QVERIFY(!m_keeper->isHolding());
        QVERIFY(m_watchdog->watched.isEmpty());
    }

    // A name of megabytes is laid out as one elided line: a tick stays cheap.
    void longNameIsElided()
    {
        FocusOverlayContent c = content();
        c.screenName = QString(5 * 1024 * 1024, QLatin1Char('x'));
        m_controller->show(c);
        FocusOverlayView *view = m_controller->views().first();
        auto *name = view->findChild<QLabel *>(QStringLiteral("screenName"));
        QVERIFY(name);
        QTRY_VERIFY(name->text().endsWith(QChar(0x2026)));
        QVERIFY(name->text().size() < 1000);
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 20; ++i) {
            m_controller->updateCountdown(100 - i);
            QCoreApplication::processEvents();
        }
        QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_MAIN(TestOverlayController)
#include "tst_overlay_controller.moc"
