// SPDX-License-Identifier: MIT
#include "FocusOverlayController.h"

#include "ExitChallenge.h"
#include "FocusOverlayView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWindow>

#include <algorithm>

namespace {

std::optional<bool> g_nextConfirmationAnswer;

// The overlay's top-level window: just holds the view edge to edge. It is
// override-redirect, so no window manager frames, closes, minimises, lowers
// or lists it; a close request from outside (WM_DELETE_WINDOW sent by anyone)
// is refused while the session holds it, while the program's own closing
// (quitting on a signal) is not. As the window manager never gives it the
// keyboard, a press on it takes the keyboard itself.
class OverlayWindow : public QWidget
{
public:
    OverlayWindow()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_TranslucentBackground);
        setObjectName(QStringLiteral("FocusOverlayWindow"));
        setWindowTitle(QCoreApplication::translate("FocusOverlayController", "Lumora Focus"));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        // The display's size, whatever the content would like.
        layout->setSizeConstraint(QLayout::SetNoConstraint);
    }

    bool held = true;

    void watchPresses()
    {
        if (QWindow *handle = windowHandle())
            handle->installEventFilter(this);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (held && event->spontaneous())
            event->ignore();
        else
            QWidget::closeEvent(event);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && !isActiveWindow())
            OverlayWindows::takeKeyboard(this);
        return QWidget::eventFilter(watched, event);
    }
};

OverlayWindow *overlayWindow(QWidget *w)
{
    return w && w->objectName() == QLatin1String("FocusOverlayWindow") ? static_cast<OverlayWindow *>(w)
                                                                       : nullptr;
}

// One fade-out: its windows, its completion, and the guarantee that the
// completion runs once, however the windows go.
struct FadeOut
{
    QList<QPointer<QWidget>> windows;
    QList<qreal> startOpacity;
    std::function<void()> completion;
    bool done = false;

    void finish()
    {
        if (done)
            return;
        done = true;
        for (const auto &w : std::as_const(windows)) {
            if (w) {
                w->hide();
                w->close();
            }
        }
        if (completion)
            completion();
    }
};

} // namespace

FocusOverlayController::FocusOverlayController(const AppCatalogue *catalogue,
                                               std::unique_ptr<OverlayKeeper> keeper,
                                               std::unique_ptr<OverlayWatchdog> watchdog, QObject *parent)
    : QObject(parent), m_catalogue(catalogue), m_keeper(std::move(keeper)), m_watchdog(std::move(watchdog))
{
    m_clock.start();
    // Display changes come in bursts (one per output and monitor); they are
    // dealt with together, once the burst is over.
    m_screensChanged.setSingleShot(true);
    m_screensChanged.setInterval(0);
    connect(&m_screensChanged, &QTimer::timeout, this, &FocusOverlayController::screensChanged);
    connect(qApp, &QGuiApplication::screenAdded, &m_screensChanged, qOverload<>(&QTimer::start));
    connect(qApp, &QGuiApplication::screenRemoved, &m_screensChanged, qOverload<>(&QTimer::start));
    // Running again after the guard took the overlay down (on KWin the
    // keeper is to put it up again; elsewhere it does so by itself).
    m_watchdog->setOnRescued([this] { m_keeper->restack(); });
    m_keeper->setAboveWindows([this] {
        QList<QWidget *> above;
        if (m_confirmation)
            above.append(m_confirmation);
        // A menu or list opened from the overlay or the alert (the answer
        // field's context menu) stands above them.
        if (QWidget *popup = QApplication::activePopupWidget()) {
            QWidget *owner = popup->parentWidget() ? popup->parentWidget()->window() : nullptr;
            if (owner && (owner == m_confirmation || windows().contains(owner)))
                above.append(popup);
        }
        return above;
    });
    // The watchdog let go of windows it took down; once they are back the
    // main loop is beating again and they are watched again.
    connect(m_keeper.get(), &OverlayKeeper::remapped, this, [this] { m_watchdog->watch(windows()); });
}

FocusOverlayController::~FocusOverlayController()
{
    removeEscKeyMonitor();
    dismissConfirmation();
}

qint64 FocusOverlayController::nowMs() const
{
    return m_nowMs ? m_nowMs() : m_clock.elapsed();
}

void FocusOverlayController::answerNextConfirmation(bool endSession)
{
    g_nextConfirmationAnswer = endSession;
}

void FocusOverlayController::setOnEmergencyExit(std::function<void()> callback)
{
    m_onEmergencyExit = std::move(callback);
}

void FocusOverlayController::setOnExtendRequested(std::function<void(int minutes)> callback)
{
    m_onExtendRequested = std::move(callback);
}

void FocusOverlayController::setOnSkipBreak(std::function<void()> callback)
{
    m_onSkipBreak = std::move(callback);
}

void FocusOverlayController::setAccentColor(const QColor &accent)
{
    m_accent = accent;
    for (FocusOverlayView *view : views())
        view->setAccentColor(accent);
}

QList<QWidget *> FocusOverlayController::windows() const
{
    QList<QWidget *> out;
    for (const auto &e : m_windows)
        if (e.window)
            out.append(e.window);
    return out;
}

QList<FocusOverlayView *> FocusOverlayController::views() const
{
    QList<FocusOverlayView *> out;
    for (QWidget *w : windows())
        if (auto *view = w->findChild<FocusOverlayView *>(QString(), Qt::FindDirectChildrenOnly))
            out.append(view);
    return out;
}

QMessageBox *FocusOverlayController::confirmation() const
{
    return m_confirmation;
}

QWidget *FocusOverlayController::createOverlayWindow(QScreen *screen, const FocusOverlayContent &content)
{
    auto *window = new OverlayWindow;
    // What the display shows now, before the overlay covers it.
    const QImage grab = content.overlayBackgroundType == OverlayBackgroundType::system
                            ? OverlayWindows::grabScreen(screen)
                            : QImage();
    auto *view = new FocusOverlayView(content, window, m_catalogue);
    view->setScreenGrab(grab);
    if (m_accent.isValid())
        view->setAccentColor(m_accent);
    QPointer<FocusOverlayController> weak(this);
    QPointer<FocusOverlayView> weakView(view);
    view->setOnEmergencyExitRequested([weak, weakView] {
        if (weak)
            weak->exitRequested(weakView);
    });
    // "End Session" ends at once, as ended early, without the confirmation
    // the emergency exit asks for.
    connect(view, &FocusOverlayView::endSessionRequested, this, [this] {
        if (m_shown && !m_confirming && m_onEmergencyExit)
            m_onEmergencyExit();
    });
    connect(view, &FocusOverlayView::extendRequested, this, [this](int minutes) {
        if (m_shown && m_onExtendRequested)
            m_onExtendRequested(minutes);
    });
    connect(view, &FocusOverlayView::skipBreakRequested, this, [this] {
        if (m_shown && !m_confirming && m_onSkipBreak)
            m_onSkipBreak();
    });
    connect(view, &FocusOverlayView::challengePassed, this, [this] {
        if (m_onQuitChallengePassed)
            m_quitChallengePassed = true;
    });
    // A quit challenge closed without being passed is simply over.
    connect(
        view->challenge(), &ExitChallenge::challengeStateChanged, this,
        [this, weakView] {
            if (weakView && !weakView->challenge()->showChallenge() && !m_quitChallengePassed)
                m_onQuitChallengePassed = nullptr;
        },
        Qt::QueuedConnection);
    window->layout()->addWidget(view);

    window->winId();
    window->watchPresses();
    if (QWindow *handle = window->windowHandle())
        handle->setScreen(screen);
    window->setGeometry(screen->geometry());
    if (OverlayWindows::canFade())
        window->setWindowOpacity(0.0);
    OverlayWindows::setSkipTaskbar(window);
    // Clicks reach the allowed applications below, except on the overlay's
    // own controls; in overlay mode the overlay takes them all.
    if (content.lockMode != LockMode::overlay) {
        connect(view, &FocusOverlayView::interactiveRegionChanged, window,
                [this, window] { updateInputRegion(window); });
        updateInputRegion(window);
    } else {
        OverlayWindows::setClickThrough(window, false);
    }
    return window;
}

void FocusOverlayController::updateInputRegion(QWidget *window)
{
    if (auto *view = window->findChild<FocusOverlayView *>(QString(), Qt::FindDirectChildrenOnly))
        OverlayWindows::setInputRegion(window, view->interactiveRegion().translated(view->pos()));
}

void FocusOverlayController::addWindow(QScreen *screen)
{
    QWidget *window = createOverlayWindow(screen, m_content);
    m_windows.append({window, screen});
    connect(screen, &QScreen::geometryChanged, &m_screensChanged, qOverload<>(&QTimer::start));
    OverlayWindows::showCovering(window, screen);
    window->raise();
    if (m_animated && OverlayWindows::canFade()) {
        auto *fade = new QPropertyAnimation(window, "windowOpacity", window);
        fade->setDuration(kFadeInMs);
        fade->setStartValue(0.0);
        fade->setEndValue(1.0);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    } else if (OverlayWindows::canFade()) {
        window->setWindowOpacity(1.0);
    }
}

void FocusOverlayController::holdWindows()
{
    // In the click-through modes what the session leaves on screen (the
    // allowed applications) may stand above the overlay.
    m_keeper->setOthersAbove(m_content.lockMode != LockMode::overlay);
    m_keeper->hold(windows());
    m_watchdog->watch(windows());
}

void FocusOverlayController::show(const FocusOverlayContent &content)
{
    hide();
    m_content = content;
    m_shown = true;
    // The allowed applications stay usable above the overlay in the
    // click-through modes; in overlay mode it covers everything.
    if (content.lockMode != LockMode::overlay && content.blockList)
        m_keeper->setBlockedApplications(content.blockedApps);
    else
        m_keeper->setAllowedApplications(content.lockMode == LockMode::overlay ? QStringList()
                                                                               : content.allowedApps);
    for (QScreen *screen : QGuiApplication::screens())
        addWindow(screen);
    // The overlay takes the keyboard focus (without grabbing the keyboard, so
    // the allowed applications stay usable once the user switches to them).
    if (!m_windows.isEmpty() && m_windows.first().window) {
        OverlayWindows::takeKeyboard(m_windows.first().window);
        if (auto *view = m_windows.first().window->findChild<FocusOverlayView *>())
            view->setFocus(Qt::ActiveWindowFocusReason);
    }
    holdWindows();
    setupEscKeyMonitor(content.strictModeEnabled, content.strictModeType);
}

void FocusOverlayController::screensChanged()
{
    if (!m_shown)
        return;
    const QList<QScreen *> screens = QGuiApplication::screens();
    // A display that went away takes its window with it (the window is not
    // moved onto another display, which has one already).
    for (qsizetype i = m_windows.size() - 1; i >= 0; --i) {
        Entry &e = m_windows[i];
        if (e.window && e.screen && screens.contains(e.screen))
            continue;
        if (auto *w = overlayWindow(e.window)) {
            w->held = false;
            w->hide();
            w->close();
        }
        m_windows.removeAt(i);
    }
    // A full-screen window (Wayland) follows its output by itself.
    for (const Entry &e : std::as_const(m_windows))
        if (!e.window->isFullScreen() && e.window->geometry() != e.screen->geometry())
            e.window->setGeometry(e.screen->geometry());
    // Every display without a window gets one, in the display list's order.
    for (QScreen *screen : screens) {
        const bool covered = std::any_of(m_windows.cbegin(), m_windows.cend(),
                                         [screen](const Entry &e) { return e.screen == screen; });
        if (!covered)
            addWindow(screen);
    }
    std::stable_sort(m_windows.begin(), m_windows.end(), [&screens](const Entry &a, const Entry &b) {
        return screens.indexOf(a.screen) < screens.indexOf(b.screen);
    });
    holdWindows();
}

void FocusOverlayController::updateCountdown(double remainingTime)
{
    m_content.remainingTime = remainingTime;
    for (FocusOverlayView *view : views())
        view->setRemainingTime(remainingTime);
}

void FocusOverlayController::hide(std::function<void()> completion)
{
    removeEscKeyMonitor();
    // Whatever was being asked is moot once the overlay goes.
    dismissConfirmation();
    m_onQuitChallengePassed = nullptr;
    m_quitChallengePassed = false;
    m_shown = false;
    m_keeper->release();
    m_watchdog->clear();
    const QList<Entry> taken = std::exchange(m_windows, {});
    auto fade = std::make_shared<FadeOut>();
    fade->completion = std::move(completion);
    for (const auto &e : taken) {
        if (auto *w = overlayWindow(e.window)) {
            w->held = false;
            fade->windows.append(w);
            fade->startOpacity.append(w->windowOpacity());
        }
    }
    if (fade->windows.isEmpty()) {
        fade->finish();
        return;
    }
    const auto finish = [fade] { fade->finish(); };
    if (!m_animated || !OverlayWindows::canFade()) {
        QMetaObject::invokeMethod(this, finish, Qt::QueuedConnection);
        return;
    }
    // One animation, owned here, drives every window: a window closed or
    // destroyed during the fade neither stops it nor keeps the completion
    // from running, and the last window gone ends the fade at once.
    for (const auto &w : std::as_const(fade->windows)) {
        connect(
            w.data(), &QObject::destroyed, this,
            [fade, finish] {
                if (std::none_of(fade->windows.cbegin(), fade->windows.cend(),
                                 [](const auto &p) { return bool(p); }))
                    finish();
            },
            Qt::QueuedConnection);
    }
    auto *animation = new QVariantAnimation(this);
    animation->setDuration(kFadeOutMs);
    animation->setStartValue(1.0);
    animation->setEndValue(0.0);
    connect(animation, &QVariantAnimation::valueChanged, this, [fade](const QVariant &value) {
        for (qsizetype i = 0; i < fade->windows.size(); ++i)
            if (const auto &w = fade->windows.at(i))
                w->setWindowOpacity(fade->startOpacity.at(i) * value.toDouble());
    });
    connect(animation, &QAbstractAnimation::finished, this, finish, Qt::QueuedConnection);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void FocusOverlayController::setupEscKeyMonitor(bool strictModeEnabled, StrictModeType strictModeType)
{
    removeEscKeyMonitor();
    m_escCounter.reset(strictModeEnabled && strictModeType != StrictModeType::none);
    qApp->installEventFilter(this);
    m_escMonitorInstalled = true;
}

void FocusOverlayController::removeEscKeyMonitor()
{
    if (!m_escMonitorInstalled)
        return;
    if (qApp)
        qApp->removeEventFilter(this);
    m_escMonitorInstalled = false;
}

bool FocusOverlayController::eventFilter(QObject *watched, QEvent *event)
{
    // A key held down since before the alert (the Return that submitted a
    // challenge) answers nothing there: only a fresh press does.
    if (m_confirmation && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (watched == m_confirmation->windowHandle() ||
            (widget && (widget == m_confirmation || m_confirmation->isAncestorOf(widget))))
            return true;
    }
    // Key events reach the application filter once for the window and again
    // for every widget they travel through; counting at the window sees each
    // press exactly once, before any widget does.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType() || m_confirming)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Escape)
        return false;
    switch (m_escCounter.press(nowMs())) {
    case EscapeCounter::Outcome::passOn:
        return false;
    case EscapeCounter::Outcome::swallow:
        return true;
    case EscapeCounter::Outcome::confirm:
        // Shown after this key press has been dealt with.
        QMetaObject::invokeMethod(this, &FocusOverlayController::confirmEmergencyExit, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void FocusOverlayController::exitRequested(FocusOverlayView *view)
{
    Q_UNUSED(view);
    if (m_quitChallengePassed && m_onQuitChallengePassed) {
        const auto onPassed = std::exchange(m_onQuitChallengePassed, nullptr);
        m_quitChallengePassed = false;
        onPassed();
        return;
    }
    confirmEmergencyExit();
}

bool FocusOverlayController::openQuitChallenge(std::function<void()> onPassed)
{
    if (!m_shown || m_windows.isEmpty())
        return false;
    // The primary display's window, else the first.
    QWidget *window = nullptr;
    for (const Entry &e : std::as_const(m_windows))
        if (e.window && e.screen == QGuiApplication::primaryScreen())
            window = e.window;
    if (!window)
        window = windows().value(0);
    auto *view =
        window ? window->findChild<FocusOverlayView *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!view || !view->challenge()->isInForce())
        return false;
    if (view->challenge()->challengeCooldown()) {
        // Locked for now: the quit is refused, and the overlay says why.
        view->showQuitRefused();
        OverlayWindows::takeKeyboard(window);
        m_keeper->restack();
        return true;
    }
    m_onQuitChallengePassed = std::move(onPassed);
    m_quitChallengePassed = false;
    if (!view->challenge()->showChallenge())
        view->challenge()->openChallenge();
    OverlayWindows::takeKeyboard(window);
    m_keeper->restack();
    return true;
}

QMenu *FocusOverlayController::showSessionMenu(const QPoint &at)
{
    QWidget *owner = windows().value(0);
    if (!m_shown || !owner ||
        (m_content.strictModeEnabled && m_content.strictModeType != StrictModeType::none))
        return nullptr;
    // Owned by an overlay window, so the keeper lets it stand above.
    auto *menu = new QMenu(owner);
    menu->setObjectName(QStringLiteral("sessionMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (m_content.isBreak) {
        menu->addAction(FocusOverlayView::tr("Skip Break"), this, [this] {
            if (m_shown && !m_confirming && m_onSkipBreak)
                m_onSkipBreak();
        });
    } else {
        menu->addAction(FocusOverlayView::tr("+5 min"), this, [this] {
            if (m_shown && m_onExtendRequested)
                m_onExtendRequested(FocusOverlayView::kQuickExtendMinutes);
        });
    }
    menu->addAction(FocusOverlayView::tr("End Session"), this, [this] {
        if (m_shown && !m_confirming && m_onEmergencyExit)
            m_onEmergencyExit();
    });
    menu->popup(at);
    m_keeper->restack();
    return menu;
}

void FocusOverlayController::confirmEmergencyExit()
{
    if (m_confirming)
        return;
    if (g_nextConfirmationAnswer) {
        finishConfirmation(*std::exchange(g_nextConfirmationAnswer, std::nullopt));
        return;
    }
    m_confirming = true;
    // A dialog of the window manager's, with the overlay kept just below it;
    // application-modal, yet without a nested event loop, so the session's
    // timer goes on underneath.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Emergency Exit"), tr("Emergency Exit"),
                                QMessageBox::NoButton, nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    box->setObjectName(QStringLiteral("emergencyExitConfirmation"));
    box->setInformativeText(
        tr("Are you sure you want to end this focus session early? This will break your focus flow."));
    // Ending is the destructive answer, drawn as such; the safe one is the
    // default and the escape button, so Return and Esc keep the session.
    QPushButton *cancelSession = box->addButton(tr("Cancel Focus Session"), QMessageBox::DestructiveRole);
    QPushButton *keep = box->addButton(tr("Keep Focusing"), QMessageBox::RejectRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);

    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QDialog::finished, this, [this, box, cancelSession] {
        const bool endSession = box->clickedButton() == cancelSession;
        m_confirmation = nullptr;
        box->deleteLater();
        finishConfirmation(endSession);
    });
    m_confirmation = box;
    box->show();
    OverlayWindows::takeKeyboard(box);
    m_keeper->restack();
}

void FocusOverlayController::finishConfirmation(bool endSession)
{
    m_confirming = false;
    m_escCounter.reset(m_escCounter.isStrict());
    if (endSession && m_onEmergencyExit)
        m_onEmergencyExit();
}

void FocusOverlayController::dismissConfirmation()
{
    if (QMessageBox *box = std::exchange(m_confirmation, nullptr)) {
        disconnect(box, nullptr, this, nullptr);
        box->hide();
        box->deleteLater();
    }
    m_confirming = false;
}
