#include "FocusOverlayController.h"

#include "FocusOverlayView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

std::optional<bool> g_nextConfirmationAnswer;

// The overlay's top-level window: just holds the view edge to edge.
class OverlayWindow : public QWidget
{
public:
    OverlayWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_TranslucentBackground);
        setObjectName(QStringLiteral("FocusOverlayWindow"));
        setWindowTitle(QStringLiteral("Lumora Focus"));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }
};

} // namespace

FocusOverlayController::FocusOverlayController(QObject *parent)
    : QObject(parent), m_watchdog(std::make_unique<OverlayWatchdog>())
{
    m_clock.start();
}

FocusOverlayController::~FocusOverlayController()
{
    removeEscKeyMonitor();
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

void FocusOverlayController::setAccentColor(const QColor &accent)
{
    m_accent = accent;
    for (FocusOverlayView *view : views())
        view->setAccentColor(accent);
}

QList<QWidget *> FocusOverlayController::windows() const
{
    QList<QWidget *> out;
    for (const auto &w : m_windows)
        if (w)
            out.append(w);
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

QWidget *FocusOverlayController::createOverlayWindow(QScreen *screen, const FocusOverlayContent &content)
{
    auto *window = new OverlayWindow;
    // What the display shows now, before the overlay covers it.
    const QImage grab = content.overlayBackgroundType == OverlayBackgroundType::system
                            ? OverlayWindows::grabScreen(screen)
                            : QImage();
    auto *view = new FocusOverlayView(content, window);
    view->setScreenGrab(grab);
    if (m_accent.isValid())
        view->setAccentColor(m_accent);
    QPointer<FocusOverlayController> weak(this);
    view->setOnEmergencyExitRequested([weak] {
        if (weak)
            weak->confirmEmergencyExit();
    });
    window->layout()->addWidget(view);

    window->winId();
    if (QWindow *handle = window->windowHandle())
        handle->setScreen(screen);
    window->setGeometry(screen->geometry());
    window->setWindowOpacity(0.0);
    // Clicks reach the allowed applications below, except in overlay mode,
    // where the overlay takes them all.
    OverlayWindows::setClickThrough(window, content.lockMode != LockMode::overlay);
    return window;
}

void FocusOverlayController::show(const FocusOverlayContent &content)
{
    hide();
    for (QScreen *screen : QGuiApplication::screens()) {
        QWidget *window = createOverlayWindow(screen, content);
        m_windows.append(window);
        window->showFullScreen();
        window->raise();
        window->activateWindow();
        if (m_animated) {
            auto *fade = new QPropertyAnimation(window, "windowOpacity", window);
            fade->setDuration(kFadeInMs);
            fade->setStartValue(0.0);
            fade->setEndValue(1.0);
            fade->start(QAbstractAnimation::DeleteWhenStopped);
        } else {
            window->setWindowOpacity(1.0);
        }
    }
    // The overlay takes the keyboard focus (without grabbing the keyboard, so
    // the allowed applications stay usable once the user switches to them).
    if (!m_windows.isEmpty() && m_windows.first()) {
        m_windows.first()->activateWindow();
        if (auto *view = m_windows.first()->findChild<FocusOverlayView *>())
            view->setFocus(Qt::ActiveWindowFocusReason);
    }
    m_watchdog->watch(windows());
    setupEscKeyMonitor(content.strictModeEnabled, content.strictModeType);
}

void FocusOverlayController::updateCountdown(double remainingTime)
{
    for (FocusOverlayView *view : views())
        view->setRemainingTime(remainingTime);
}

void FocusOverlayController::hide(std::function<void()> completion)
{
    removeEscKeyMonitor();
    const QList<QPointer<QWidget>> taken = std::exchange(m_windows, {});
    m_watchdog->clear();
    QList<QPointer<QWidget>> live;
    for (const auto &w : taken)
        if (w)
            live.append(w);
    if (live.isEmpty()) {
        if (completion)
            completion();
        return;
    }
    const auto close = [live, completion] {
        for (const auto &w : live) {
            if (w) {
                w->hide();
                w->close();
            }
        }
        if (completion)
            completion();
    };
    if (!m_animated) {
        QMetaObject::invokeMethod(this, close, Qt::QueuedConnection);
        return;
    }
    // One animation drives the fade; the others follow it.
    QPropertyAnimation *lead = nullptr;
    for (const auto &w : live) {
        auto *fade = new QPropertyAnimation(w.data(), "windowOpacity", w.data());
        fade->setDuration(kFadeOutMs);
        fade->setStartValue(w->windowOpacity());
        fade->setEndValue(0.0);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
        if (!lead)
            lead = fade;
    }
    connect(lead, &QAbstractAnimation::finished, this, close, Qt::QueuedConnection);
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

void FocusOverlayController::setWindowsAbove(bool above)
{
    for (QWidget *w : windows())
        OverlayWindows::setKeepAbove(w, above);
}

void FocusOverlayController::confirmEmergencyExit()
{
    if (m_confirming)
        return;
    m_confirming = true;
    setWindowsAbove(false);
    bool endSession = false;
    if (g_nextConfirmationAnswer) {
        endSession = *std::exchange(g_nextConfirmationAnswer, std::nullopt);
    } else {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Emergency Exit"), QStringLiteral("Emergency Exit"));
        box.setInformativeText(QStringLiteral(
            "Are you sure you want to end this focus session early? This will break your focus flow."));
        QPushButton *cancelSession = box.addButton(QStringLiteral("Cancel Focus Session"), QMessageBox::AcceptRole);
        QPushButton *keep = box.addButton(QStringLiteral("Keep Focusing"), QMessageBox::RejectRole);
        box.setDefaultButton(cancelSession);
        box.setEscapeButton(keep);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
        endSession = box.clickedButton() == cancelSession;
    }
    setWindowsAbove(true);
    m_confirming = false;
    m_escCounter.reset(m_escCounter.isStrict());
    if (endSession && m_onEmergencyExit)
        m_onEmergencyExit();
}
