// SPDX-License-Identifier: MIT
#include "SwayOverlayKeeper.h"

#include "AppIdentity.h"
#include "Logging.h"
#include "ProgramNames.h"
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
    // The applications whose windows stand above the overlays in the
    // click-through modes, and what was found out about each window.
    QSet<QString> allowedNames;
    QHash<qint64, bool> allowedWindows;
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
    // The click-through modes: see settleBackdrop's comment.
    void settleBackdrop(const QJsonObject &tree, bool first);
    // Tiles back every window floated above the overlays (this run's, or a
    // killed run's), each in its place.
    void tileBackFloated();
    void putBack();
    bool isAllowed(const SwayIpc::Window &window)
    {
        if (window.pid == ownPid || allowedNames.isEmpty())
            return false;
        const auto known = allowedWindows.constFind(window.id);
        if (known != allowedWindows.cend())
            return *known;
        const QStringList names =
            ProgramNames::applicationNames(window.appId.isEmpty() ? QStringList() : QStringList{window.appId},
                                           {window.windowClass, window.windowInstance}, window.pid, ownPid);
        const bool allowed = AppIdentity::matchesAny(names, allowedNames);
        allowedWindows.insert(window.id, allowed);
        return allowed;
    }
    // The commands that mark a window whose full screen the overlays take,
    // to give it back at the end. On a workspace one window is full screen
    // at a time: one that went full screen before on the same workspace
    // would have lost it to this one anyway, and is given nothing back.
    static QStringList fullScreenTaken(const QList<SwayIpc::Window> &all, const SwayIpc::Window &window)
    {
        QStringList list{QStringLiteral("[con_id=%1] mark --add %2")
                             .arg(window.id)
                             .arg(SwayIpc::fullScreenMark(window.id, window.fullscreenGlobal))};
        for (const auto &other : all) {
            bool global = false;
            if (other.id != window.id && other.workspace == window.workspace && other.lostFullScreen(&global))
                list << QStringLiteral("unmark %1").arg(SwayIpc::fullScreenMark(other.id, global));
        }
        return list;
    }
    bool isOverlay(const SwayIpc::Window &window) const
    {
        return window.pid == ownPid && captions.contains(window.title);
    }
    // Each overlay with the output it is to cover: the one it is on (one
    // overlay an output), and for an overlay that was put away (the guard
    // of a stopped run moves the overlays to the scratchpad) an output no
    // other covers.
    QList<QPair<SwayIpc::Window, QString>> placeOverlays(const QList<SwayIpc::Window> &all,
                                                         const SwayIpc::View &view) const
    {
        QList<QPair<SwayIpc::Window, QString>> out;
        QSet<QString> taken;
        QList<SwayIpc::Window> away;
        for (const auto &window : all) {
            if (!isOverlay(window))
                continue;
            if (window.inScratchpad() || !view.visible.contains(window.output)) {
                away << window;
            } else if (!taken.contains(window.output)) {
                taken.insert(window.output);
                out.append({window, window.output});
            }
        }
        auto outputs = view.visible.keys();
        std::sort(outputs.begin(), outputs.end());
        for (const auto &window : std::as_const(away)) {
            const auto free = std::find_if(outputs.cbegin(), outputs.cend(),
                                           [&](const QString &output) { return !taken.contains(output); });
            if (free == outputs.cend())
                break;
            taken.insert(*free);
            out.append({window, *free});
        }
        return out;
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
        qCWarning(lcSway, "sway refused to keep the overlays in place (%s): %s",
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
    if (othersAbove)
        return settleBackdrop(*current, first);
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
        // The overlays, coming full screen, take it from the window.
        list << fullScreenTaken(all, window);
        if (window.fullscreenGlobal)
            list << QStringLiteral("[con_id=%1] fullscreen disable").arg(window.id);
    }
    for (const auto &[window, output] : placeOverlays(all, view)) {
        const QString con = QStringLiteral("[con_id=%1] ").arg(window.id);
        const QString shown = view.visible.value(output);
        if (shown.isEmpty() || covered.contains(shown))
            continue;
        covered.insert(shown);
        if (window.workspace != shown)
            list << con + QStringLiteral("move container to workspace %1").arg(SwayIpc::quoted(shown));
        if (window.floating)
            list << con + QStringLiteral("floating disable");
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

// In the click-through modes the overlays are the backdrop of the allowed
// applications. sway draws a full-screen window above everything on its
// workspace, floating windows included, and tiled windows below every
// floating one; so here each overlay is a floating window over the whole of
// its output, on the workspace the output shows, and the allowed windows
// there are floated above it where they were tiled (keeping their place on
// screen, and a mark naming their place in the layout, see
// SwayIpc::floatedMark()). What else is on screen stays below: other tiled
// windows under the overlay, other floating ones raised over by the overlay.
// An allowed window may be full screen (it is above everything then); the
// full screen of any other is taken, and given back at the end. sway raises
// a floating window when it gets the focus, so the stacking is put right by
// focusing the overlay and then the windows above it, bottom to top, and
// the user's focus is given back (but for an overlay's own, which stays with
// the allowed window on top).
void SwayOverlayKeeper::Private::settleBackdrop(const QJsonObject &tree, bool first)
{
    SwayIpc::View view = SwayIpc::view(tree);
    QList<SwayIpc::Window> all = SwayIpc::windows(tree);
    const QHash<QString, QRect> outputs = SwayIpc::outputRects(tree);
    QSet<QString> visible;
    for (const auto &workspace : std::as_const(view.visible))
        visible.insert(workspace);

    QStringList list;
    QSet<QString> covered;
    for (const auto &[window, output] : placeOverlays(all, view)) {
        const QString shown = view.visible.value(output);
        const QRect rect = outputs.value(output);
        if (shown.isEmpty() || covered.contains(shown) || !rect.isValid())
            continue;
        covered.insert(shown);
        const QString con = QStringLiteral("[con_id=%1] ").arg(window.id);
        if (window.workspace != shown)
            list << con + QStringLiteral("move container to workspace %1").arg(SwayIpc::quoted(shown));
        if (window.fullscreen)
            list << con + QStringLiteral("fullscreen disable");
        if (!window.floating)
            list << con + QStringLiteral("floating enable") << con + QStringLiteral("border none");
        if (window.rect != rect || window.workspace != shown || window.fullscreen || !window.floating)
            list << con + QStringLiteral("resize set width %1 px height %2 px")
                              .arg(rect.width())
                              .arg(rect.height())
                 << con + QStringLiteral("move absolute position %1 %2").arg(rect.x()).arg(rect.y());
    }
    for (const auto &window : std::as_const(all)) {
        if (window.pid == ownPid || window.inScratchpad() || !visible.contains(window.workspace))
            continue;
        const QString con = QStringLiteral("[con_id=%1] ").arg(window.id);
        const bool allowed = isAllowed(window);
        if (window.fullscreen && !allowed) {
            list << fullScreenTaken(all, window) << con + QStringLiteral("fullscreen disable");
        } else if (allowed && !window.floating && !window.fullscreen) {
            list << con + QStringLiteral("mark --add %1")
                              .arg(SwayIpc::floatedMark(window.id, window.previous, window.next))
                 << con + QStringLiteral("floating enable")
                 << con + QStringLiteral("resize set width %1 px height %2 px")
                              .arg(window.rect.width())
                              .arg(window.rect.height())
                 << con + QStringLiteral("move absolute position %1 %2")
                              .arg(window.rect.x())
                              .arg(window.rect.y());
        }
    }
    if (!list.isEmpty()) {
        if (!first) {
            ++corrections;
            ++burstCount;
        }
        run(list);
        const auto after = this->tree();
        if (!after)
            return;
        all = SwayIpc::windows(*after);
        view.focused = SwayIpc::view(*after).focused;
        list.clear();
    }

    // The stacking on each workspace with an overlay, bottom to top: other
    // floating windows, the overlay, the allowed windows and this program's
    // other windows (a confirmation). A wrong order is put right whole.
    qint64 topAllowed = 0;
    for (const QString &workspace : std::as_const(covered)) {
        qint64 overlay = 0;
        QList<qint64> above;
        bool wrong = false;
        // A full-screen window there is above all the rest, and focusing
        // another window would end its full screen.
        if (std::any_of(all.cbegin(), all.cend(),
                        [&](const SwayIpc::Window &w) { return w.workspace == workspace && w.fullscreen; }))
            continue;
        for (const auto &window : std::as_const(all)) {
            if (!window.floating || window.workspace != workspace || window.fullscreen)
                continue;
            if (isOverlay(window)) {
                overlay = overlay ? overlay : window.id;
                continue;
            }
            const bool goesAbove = window.pid == ownPid || isAllowed(window);
            if (goesAbove)
                above << window.id;
            wrong = wrong || (goesAbove ? overlay == 0 : overlay != 0);
        }
        if (!overlay || !wrong)
            continue;
        list << QStringLiteral("[con_id=%1] focus").arg(overlay);
        for (const qint64 id : std::as_const(above))
            list << QStringLiteral("[con_id=%1] focus").arg(id);
        if (!above.isEmpty())
            topAllowed = above.last();
    }
    SwayIpc::View wanted = view;
    const bool overlayFocused = std::any_of(all.cbegin(), all.cend(), [&](const SwayIpc::Window &w) {
        return w.id == view.focused && isOverlay(w);
    });
    // Focusing an overlay raises it over the allowed windows again: its
    // focus goes to the allowed window on top.
    if (overlayFocused)
        wanted.focused = topAllowed;
    if (!list.isEmpty()) {
        if (!first) {
            ++corrections;
            ++burstCount;
        }
        run(list);
    }
    if (const auto after = this->tree()) {
        const SwayIpc::View now = SwayIpc::view(*after);
        if (now.visible != wanted.visible || now.focusedOutput != wanted.focusedOutput ||
            (wanted.focused > 0 && now.focused != wanted.focused))
            run(SwayIpc::restoreView(wanted));
    }
}

void SwayOverlayKeeper::Private::tileBackFloated()
{
    // One window at a time, the tree read again after each: a window whose
    // neighbour is floated too comes back after the neighbour. When only
    // such windows are left, the first goes where it can.
    for (int round = 0; round < 256; ++round) {
        const auto current = tree();
        if (!current)
            return;
        const QList<SwayIpc::Window> all = SwayIpc::windows(*current);
        std::optional<SwayIpc::Window> chosen;
        for (const auto &window : all) {
            qint64 previous = 0;
            qint64 next = 0;
            if (!window.floatedAbove(&previous, &next) || window.inScratchpad())
                continue;
            const auto floatedNow = [&](qint64 neighbour) {
                return std::any_of(all.cbegin(), all.cend(), [&](const SwayIpc::Window &w) {
                    return w.id == neighbour && w.floatedAbove() && !w.inScratchpad();
                });
            };
            if (!chosen)
                chosen = window;
            if (!floatedNow(previous) && !floatedNow(next)) {
                chosen = window;
                break;
            }
        }
        if (!chosen)
            return;
        qint64 previous = 0;
        qint64 next = 0;
        chosen->floatedAbove(&previous, &next);
        const QString workspace = chosen->workspace;
        const auto anchored = [&all, &workspace](qint64 neighbour) {
            return std::any_of(all.cbegin(), all.cend(), [&](const SwayIpc::Window &w) {
                return w.id == neighbour && w.workspace == workspace && !w.floating;
            });
        };
        QStringList list = SwayIpc::tileBack(chosen->id, previous, next, anchored);
        list << QStringLiteral("unmark %1").arg(SwayIpc::floatedMark(chosen->id, previous, next));
        if (!run(list)) {
            // Whatever sway refused, the mark goes: never the same refusal again.
            run({QStringLiteral("unmark %1").arg(SwayIpc::floatedMark(chosen->id, previous, next))});
        }
    }
}

// The windows floated above the overlays go back into their places, and
// the full screen taken from other windows goes back to them (one hidden in
// the scratchpad keeps its mark and gets it back when it comes back); the
// user's view of before stays.
void SwayOverlayKeeper::Private::putBack()
{
    const auto before = tree();
    tileBackFloated();
    QStringList list;
    if (const auto current = tree()) {
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
    run(list);
    // Tiling back focuses where windows come; the user's view stays.
    if (!before)
        return;
    SwayIpc::View wanted = SwayIpc::view(*before);
    const auto all = SwayIpc::windows(*before);
    if (std::any_of(all.cbegin(), all.cend(),
                    [&](const SwayIpc::Window &w) { return w.id == wanted.focused && w.pid == ownPid; }))
        wanted.focused = 0;
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
    // Windows a killed run floated above its overlays go back to their
    // places before anything else (the click-through modes float them anew).
    if (first)
        d->tileBackFloated();
    d->settle(first);
    return true;
}

void SwayOverlayKeeper::release()
{
    if (d->captions.isEmpty())
        return;
    d->captions.clear();
    d->settleTimer.stop();
    if (d->commands.isOpen())
        d->putBack();
    d->allowedWindows.clear();
    d->disconnect();
}

void SwayOverlayKeeper::putBackLeftovers()
{
    // The command connection alone: nothing here waits for sway's events,
    // so the start subscribes to none.
    if (!d->captions.isEmpty() || d->commands.isOpen() || d->socketPath.isEmpty() ||
        !d->commands.open(d->socketPath))
        return;
    // Most starts find nothing left, and then touch nothing: not even the
    // focus, which the new run's first window may have taken.
    const auto current = d->tree();
    const auto all = current ? SwayIpc::windows(*current) : QList<SwayIpc::Window>{};
    if (std::any_of(all.cbegin(), all.cend(), [](const SwayIpc::Window &window) {
            return !window.inScratchpad() && (window.floatedAbove() || window.lostFullScreen());
        }))
        d->putBack();
    d->commands.close();
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

void SwayOverlayKeeper::setAllowedApplications(const QStringList &names)
{
    d->allowedNames = AppIdentity::normalizedSet(names);
    d->allowedWindows.clear();
    d->scheduleSettle();
}

int SwayOverlayKeeper::corrections() const
{
    return d->corrections;
}
