// SPDX-License-Identifier: MIT
#include "KWinScripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace {

// A JavaScript literal for the list (JSON is valid JavaScript).
QString literal(const QStringList &list)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
}

QStringList windowIds(const QStringList &ids)
{
    QStringList out;
    for (const auto &id : ids)
        if (KWinScripts::isWindowId(id) && !out.contains(id))
            out.append(id);
    return out;
}

} // namespace

namespace KWinScripts {

bool isWindowId(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\{[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}\\}$"));
    return pattern.match(text).hasMatch();
}

QString listing(const QStringList &minimize, const QStringList &unminimize)
{
    // Setting minimized on a window that cannot be minimised does nothing;
    // the answer tells what each window is after the change.
    return QStringLiteral(R"(var minimize = %1;
var unminimize = %2;
var out = [];
var all = windows();
for (var i = 0; i < all.length; ++i) {
    var w = all[i];
    if (!w.normalWindow && !w.dialog)
        continue;
    var id = String(w.internalId);
    if (minimize.indexOf(id) >= 0 && !w.minimized)
        w.minimized = true;
    if (unminimize.indexOf(id) >= 0 && w.minimized)
        w.minimized = false;
    out.push({id: id, pid: w.pid, resourceClass: String(w.resourceClass || ""),
              resourceName: String(w.resourceName || ""), desktopFileName: String(w.desktopFileName || ""),
              caption: String(w.caption || ""), minimized: !!w.minimized});
}
reply(JSON.stringify({windows: out}));
)")
        .arg(literal(windowIds(minimize)), literal(windowIds(unminimize)));
}

std::optional<QList<Window>> parseWindows(const QString &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue list = document.object().value(QLatin1String("windows"));
    if (!list.isArray())
        return std::nullopt;
    QList<Window> out;
    QSet<QString> seen;
    for (const auto &value : list.toArray()) {
        const QJsonObject entry = value.toObject();
        Window window;
        window.id = entry.value(QLatin1String("id")).toString();
        if (!isWindowId(window.id) || seen.contains(window.id))
            continue;
        seen.insert(window.id);
        const double pid = entry.value(QLatin1String("pid")).toDouble(0);
        if (pid >= 1 && pid <= 0x7fffffff && pid == double(qint64(pid)))
            window.pid = qint32(pid);
        window.resourceClass = entry.value(QLatin1String("resourceClass")).toString();
        window.resourceName = entry.value(QLatin1String("resourceName")).toString();
        window.desktopFileName = entry.value(QLatin1String("desktopFileName")).toString();
        window.caption = entry.value(QLatin1String("caption")).toString();
        window.minimized = entry.value(QLatin1String("minimized")).toBool(false);
        out.append(window);
    }
    return out;
}

QString watcher()
{
    return QStringLiteral(R"(function follow(w) {
    if (w.minimizedChanged)
        w.minimizedChanged.connect(function () { reply("changed"); });
}
var all = windows();
for (var i = 0; i < all.length; ++i)
    follow(all[i]);
onWindowAdded(function (w) { follow(w); reply("changed"); });
onWindowRemoved(function (w) { reply("changed"); });
)");
}

QString keepAbove(qint32 pid, const QStringList &covering, const QStringList &above, bool othersAbove)
{
    // Everything is set again when someone takes it away, and on a window
    // whose caption changes to one of those named.
    //
    // Covering windows are on every desktop and activity and off taskbars,
    // pagers and switchers. With nothing allowed above them they are kept
    // above, and no other window is left active while full screen: KWin
    // lifts the active full-screen window (and any full-screen window on
    // another output than the active one) over the windows kept above, so
    // the covering window of that output is made the active one instead.
    // With others allowed above they are kept below, the backdrop of
    // whatever the session leaves on screen.
    return QStringLiteral(R"(var pid = %1;
var covering = %2;
var above = %3;
var othersAbove = %4;
function caption(w) {
    return String(w.caption || "");
}
function covers(w) {
    return w.pid === pid && covering.indexOf(caption(w)) >= 0;
}
function pin(w) {
    if (w.pid !== pid)
        return;
    var cover = covering.indexOf(caption(w)) >= 0;
    if (!cover && above.indexOf(caption(w)) < 0)
        return;
    var keepAbove = !cover || !othersAbove;
    if (w.keepAbove !== keepAbove)
        w.keepAbove = keepAbove;
    if (cover) {
        // Taken down by the guard of a stopped run, up again now.
        if (w.minimized)
            w.minimized = false;
        if (w.keepBelow !== othersAbove)
            w.keepBelow = othersAbove;
        if (!w.onAllDesktops)
            w.onAllDesktops = true;
        try {
            if (w.activities && w.activities.length > 0)
                w.activities = [];
        } catch (e) {
        }
        w.skipTaskbar = true;
        w.skipPager = true;
        w.skipSwitcher = true;
    }
}
function activeWindow() {
    return workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
}
function activate(w) {
    if (workspace.activeWindow !== undefined)
        workspace.activeWindow = w;
    else
        workspace.activeClient = w;
}
function coveringWindowOver(w) {
    var g = w.frameGeometry;
    var x = g.x + g.width / 2, y = g.y + g.height / 2;
    var all = windows(), first = null;
    for (var i = 0; i < all.length; ++i) {
        if (!covers(all[i]))
            continue;
        var c = all[i].frameGeometry;
        if (x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height)
            return all[i];
        first = first || all[i];
    }
    return first;
}
function guard() {
    if (othersAbove)
        return;
    var w = activeWindow();
    if (!w || !w.fullScreen || covers(w) || w.pid === pid)
        return;
    var cover = coveringWindowOver(w);
    // A covering window taken down by the guard stays down until this
    // program runs again.
    if (cover && !cover.minimized)
        activate(cover);
}
function follow(w) {
    pin(w);
    if (w.keepAboveChanged)
        w.keepAboveChanged.connect(function () { pin(w); });
    if (w.keepBelowChanged)
        w.keepBelowChanged.connect(function () { pin(w); });
    if (w.desktopChanged)
        w.desktopChanged.connect(function () { pin(w); });
    if (w.captionChanged)
        w.captionChanged.connect(function () { pin(w); });
    if (w.fullScreenChanged)
        w.fullScreenChanged.connect(guard);
}
var all = windows();
for (var i = 0; i < all.length; ++i)
    follow(all[i]);
onWindowAdded(function (w) { follow(w); guard(); });
(workspace.windowActivated || workspace.clientActivated).connect(guard);
guard();
)")
        .arg(pid)
        .arg(literal(covering), literal(above),
             othersAbove ? QStringLiteral("true") : QStringLiteral("false"));
}

QString takeDown(qint32 pid, const QStringList &covering)
{
    return QStringLiteral(R"(var pid = %1;
var covering = %2;
var all = windows(), taken = 0;
for (var i = 0; i < all.length; ++i) {
    var w = all[i];
    if (w.pid === pid && covering.indexOf(String(w.caption || "")) >= 0 && !w.minimized) {
        w.minimized = true;
        ++taken;
    }
}
reply(String(taken));
)")
        .arg(pid)
        .arg(literal(covering));
}

} // namespace KWinScripts
