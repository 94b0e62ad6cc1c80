// SPDX-License-Identifier: MIT
#include "SwayOverlayKeeper.h"

#include "SwayIpc.h"
#include "SwayIpcConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace {

// Corrections allowed in one second before the keeper slows down.
constexpr int kCorrectionBurst = 20;
constexpr int kBurstWindowMs = 1000;
constexpr int kSlowSettleMs = 200;

} // namespace

struct SwayOverlayKeeper::Private
{
    SwayOverlayKeeper *q = nullptr;
    QString socketPath;
    SwayIpcConnection commands;
    SwayIpcConnection events;
    std::unique_ptr<QSocketNotifier> notifier;
    QStringList captions;
    bool othersAbove = false;
    qint32 ownPid = static_cast<qint32>(QCoreApplication::applicationPid());
    bool reportedRefusal = false;
    QTimer settleTimer;
    QElapsedTimer burstClock;
    int burstCount = 0;
    int corrections = 0;

    bool connect();
    void disconnect();
    void readEvents();
    void scheduleSettle();
    std::optional<QJsonObject> tree();
    bool run(const QStringList &list);
    void settle(bool first = false);
    bool isOverlay(const SwayIpc::Window &window) const
    {
        return window.pid == ownPid && captions.contains(window.title);
    }
    // A window of this process besides the overlays (the confirmation, a
    // dialog) keeps the focus it has.
    bool isOwnOther(const QList<SwayIpc::Window> &all, qint64 id) const
    {
        return std::any_of(all.cbegin(), all.cend(), [&](const SwayIpc::Window &w) {
            return w.id == id && w.pid == ownPid && !isOverlay(w);
        });
    }
};

bool SwayOverlayKeeper::Private::connect()
{
    if (commands.isOpen() && events.isOpen())
        return true;
    if (socketPath.isEmpty() || !commands.open(socketPath) || !events.open(socketPath) ||
        !events.send(SwayIpc::subscribe, QByteArrayLiteral(R"(["window","workspace","output"])"))) {
        disconnect();
        return false;
    }
    notifier = std::make_unique<QSocketNotifier>(events.fd(), QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, q, [this] { readEvents(); });
    return true;
}

// sway has no way to unsubscribe: the connection goes.
void SwayOverlayKeeper::Private::disconnect()
{
    notifier.reset();
    events.close();
    commands.close();
    settleTimer.stop();
}

void SwayOverlayKeeper::Private::readEvents()
{
    if (!events.readAvailable()) {
        // sway is gone, and the overlays with it.
        disconnect();
        return;
    }
    bool any = false;
    while (const auto message = events.next())
        any = any || (message->type & SwayIpc::eventBit) != 0;
    if (any)
        scheduleSettle();
}

void SwayOverlayKeeper::Private::scheduleSettle()
{
    if (settleTimer.isActive() || captions.isEmpty())
        return;
    if (!burstClock.isValid() || burstClock.hasExpired(kBurstWindowMs)) {
        burstClock.start();
        burstCount = 0;
    }
    settleTimer.start(burstCount >= kCorrectionBurst ? kSlowSettleMs : 0);
}

std::optional<QJsonObject> SwayOverlayKeeper::Private::tree()
{
    const auto reply = commands.request(SwayIpc::getTree, {});
    if (!reply)
        return std::nullopt;
    return QJsonDocument::fromJson(*reply).object();
}

bool SwayOverlayKeeper::Private::run(const QStringList &list)
{
    if (list.isEmpty())
        return true;
    const auto reply = commands.request(SwayIpc::runCommand, list.join(QLatin1String("; ")).toUtf8());
    QString error;
    if (reply && SwayIpc::succeeded(*reply, &error))
        return true;
    if (!reportedRefusal) {
        reportedRefusal = true;
        qWarning("sway refused to keep the overlays in place (%s): %s",
                 qPrintable(reply ? error : QStringLiteral("no answer")),
                 qPrintable(list.join(QLatin1String("; "))));
    }
    return false;
}

void SwayOverlayKeeper::Private::settle(bool first)
{
    const auto current = tree();
    if (!current)
        return;
    const SwayIpc::View view = SwayIpc::view(*current);
    const QList<SwayIpc::Window> all = SwayIpc::windows(*current);
    QSet<QString> visible;
    for (const auto &workspace : view.visible)
        visible.insert(workspace);

    QStringList list;
    // Where the overlays are and should be: the workspace each output shows.
    QSet<QString> covered;
    QSet<QString> yielded;
    for (const auto &window : all) {
        if (isOverlay(window) || !window.fullscreen || !visible.contains(window.workspace))
            continue;
        if (window.pid == ownPid) {
            yielded.insert(window.workspace);
            continue;
        }
        const QString mark = QStringLiteral("[con_id=%1] mark --add %2")
                                 .arg(window.id)
                                 .arg(SwayIpc::fullScreenMark(window.id, window.fullscreenGlobal));
        if (first) {
            // The overlays, coming full screen, take it from the window.
            list << mark;
        }
        if (othersAbove && !window.fullscreenGlobal) {
            // A window the session left on screen may be full screen.
            yielded.insert(window.workspace);
            continue;
        }
        if (!first)
            list << mark;
        if (window.fullscreenGlobal)
            list << QStringLiteral("[con_id=%1] fullscreen disable").arg(window.id);
    }
    for (const auto &window : all) {
        if (!isOverlay(window) || window.inScratchpad())
            continue;
        const QString con = QStringLiteral("[con_id=%1] ").arg(window.id);
        const QString shown = view.visible.value(window.output);
        if (shown.isEmpty() || covered.contains(shown))
            continue;
        covered.insert(shown);
        if (window.workspace != shown)
            list << con + QStringLiteral("move container to workspace %1").arg(SwayIpc::quoted(shown));
        if ((!window.fullscreen || window.workspace != shown || window.fullscreenGlobal) &&
            !yielded.contains(shown))
            list << con + QStringLiteral("fullscreen enable");
    }
    // In overlay mode the overlay of the focused output has the keyboard
    // (a workspace switch or a window started elsewhere takes it away).
    // Focusing a window under a full-screen one ends that full screen in
    // sway: the focus is put back only onto this program's windows.
    SwayIpc::View wanted = view;
    const bool ownFocus = std::any_of(all.cbegin(), all.cend(), [&](const SwayIpc::Window &w) {
        return w.id == view.focused && w.pid == ownPid;
    });
    if (!ownFocus)
        wanted.focused = 0;
    if (!othersAbove) {
        for (const auto &window : all) {
            if (isOverlay(window) && window.output == view.focusedOutput) {
                if (view.focused != window.id && !isOwnOther(all, view.focused))
                    list << QStringLiteral("[con_id=%1] focus").arg(window.id);
                wanted.focused = isOwnOther(all, view.focused) ? view.focused : window.id;
                break;
            }
        }
    }
    if (list.isEmpty())
        return;
    if (!first) {
        ++corrections;
        ++burstCount;
    }
    run(list);
    // Put back what the corrections changed in the user's view.
    if (const auto after = tree()) {
        const SwayIpc::View now = SwayIpc::view(*after);
        if (now.visible != wanted.visible || now.focusedOutput != wanted.focusedOutput ||
            (wanted.focused > 0 && now.focused != wanted.focused))
            run(SwayIpc::restoreView(wanted));
    }
}

SwayOverlayKeeper::SwayOverlayKeeper(const QString &socketPath, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->socketPath = socketPath.isEmpty() ? qEnvironmentVariable("SWAYSOCK") : socketPath;
    d->settleTimer.setSingleShot(true);
    connect(&d->settleTimer, &QTimer::timeout, this, [this] { d->settle(); });
}

SwayOverlayKeeper::~SwayOverlayKeeper()
{
    release();
}

bool SwayOverlayKeeper::isSwaySession()
{
    return !qEnvironmentVariableIsEmpty("SWAYSOCK");
}

bool SwayOverlayKeeper::hold(const QStringList &captions)
{
    QStringList names = captions;
    names.removeAll(QString());
    names.removeDuplicates();
    if (names.isEmpty()) {
        release();
        return true;
    }
    const bool first = d->captions.isEmpty();
    d->captions = names;
    if (!d->connect()) {
        d->captions.clear();
        return false;
    }
    d->settle(first);
    return true;
}

void SwayOverlayKeeper::release()
{
    if (d->captions.isEmpty())
        return;
    d->captions.clear();
    d->settleTimer.stop();
    // The full screen taken from other windows goes back to them; one hidden
    // in the scratchpad keeps its mark and gets it back when it comes back.
    if (d->commands.isOpen()) {
        QStringList list;
        if (const auto current = d->tree()) {
            for (const auto &window : SwayIpc::windows(*current)) {
                bool global = false;
                if (!window.lostFullScreen(&global) || window.inScratchpad())
                    continue;
                if (!window.fullscreen)
                    list << QStringLiteral("[con_id=%1] fullscreen enable%2")
                                .arg(window.id)
                                .arg(global ? QStringLiteral(" global") : QString());
                list << QStringLiteral("unmark %1").arg(SwayIpc::fullScreenMark(window.id, global));
            }
        }
        d->run(list);
    }
    d->disconnect();
}

bool SwayOverlayKeeper::isHolding() const
{
    return !d->captions.isEmpty();
}

void SwayOverlayKeeper::setOthersAbove(bool othersAbove)
{
    if (d->othersAbove == othersAbove)
        return;
    d->othersAbove = othersAbove;
    d->scheduleSettle();
}

int SwayOverlayKeeper::corrections() const
{
    return d->corrections;
}
