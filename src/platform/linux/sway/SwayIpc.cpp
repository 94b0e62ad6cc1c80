// SPDX-License-Identifier: MIT
#include "SwayIpc.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstring>
#include <limits>

namespace SwayIpc {

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr qsizetype kMagicSize = 6;
constexpr qsizetype kHeaderSize = kMagicSize + 8;
constexpr auto kScratchpad = "__i3_scratch";

quint32 readWord(const char *at)
{
    quint32 value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

QRect rectOf(const QJsonObject &node)
{
    const QJsonObject rect = node.value(QLatin1String("rect")).toObject();
    return QRect(rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
                 rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt());
}

// Where a node sits among its parent's children.
struct Siblings
{
    QString layout;
    qint64 previous = 0;
    qint64 next = 0;
};

void walk(const QJsonObject &node, const QString &output, const QString &workspace, bool floating,
          const Siblings &siblings, QList<Window> &out)
{
    const QString type = node.value(QLatin1String("type")).toString();
    QString here = workspace;
    QString on = output;
    if (type == QLatin1String("output"))
        on = node.value(QLatin1String("name")).toString();
    if (type == QLatin1String("workspace"))
        here = node.value(QLatin1String("name")).toString();
    const bool isFloating = floating || type == QLatin1String("floating_con");
    const QJsonArray nodes = node.value(QLatin1String("nodes")).toArray();
    const QJsonArray floatingNodes = node.value(QLatin1String("floating_nodes")).toArray();

    // A window is a leaf container with a client behind it.
    const QJsonValue appId = node.value(QLatin1String("app_id"));
    const QJsonObject properties = node.value(QLatin1String("window_properties")).toObject();
    const bool isContainer = type == QLatin1String("con") || type == QLatin1String("floating_con");
    if (isContainer && nodes.isEmpty() && floatingNodes.isEmpty() &&
        (appId.isString() || !properties.isEmpty())) {
        Window window;
        window.id = node.value(QLatin1String("id")).toInteger();
        window.appId = appId.toString();
        window.title = node.value(QLatin1String("name")).toString();
        window.windowClass = properties.value(QLatin1String("class")).toString();
        window.windowInstance = properties.value(QLatin1String("instance")).toString();
        const qint64 pid = node.value(QLatin1String("pid")).toInteger();
        if (pid > 0 && pid <= std::numeric_limits<qint32>::max())
            window.pid = static_cast<qint32>(pid);
        window.workspace = here;
        window.floating = isFloating;
        window.output = on;
        const int fullscreen = node.value(QLatin1String("fullscreen_mode")).toInt();
        window.fullscreen = fullscreen != 0;
        window.fullscreenGlobal = fullscreen == 2;
        window.rect = rectOf(node);
        for (const auto &mark : node.value(QLatin1String("marks")).toArray())
            window.marks.append(mark.toString());
        window.parentLayout = siblings.layout;
        window.previous = siblings.previous;
        window.next = siblings.next;
        if (window.id > 0)
            out.append(window);
        return;
    }
    const QString layout = node.value(QLatin1String("layout")).toString();
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        const Siblings place{
            layout, i > 0 ? nodes.at(i - 1).toObject().value(QLatin1String("id")).toInteger() : 0,
            i + 1 < nodes.size() ? nodes.at(i + 1).toObject().value(QLatin1String("id")).toInteger() : 0};
        walk(nodes.at(i).toObject(), on, here, false, place, out);
    }
    for (const auto &child : floatingNodes)
        walk(child.toObject(), on, here, true, {}, out);
}

// The children of a node, the most recently focused first.
QList<QJsonObject> byFocus(const QJsonObject &node)
{
    QList<QJsonObject> children;
    for (const auto &key : {QLatin1String("nodes"), QLatin1String("floating_nodes")})
        for (const auto &child : node.value(key).toArray())
            children.append(child.toObject());
    const QJsonArray focus = node.value(QLatin1String("focus")).toArray();
    const auto rank = [&focus](const QJsonObject &child) {
        const qint64 id = child.value(QLatin1String("id")).toInteger();
        for (qsizetype i = 0; i < focus.size(); ++i)
            if (focus.at(i).toInteger() == id)
                return i;
        return focus.size();
    };
    std::stable_sort(children.begin(), children.end(),
                     [&rank](const QJsonObject &a, const QJsonObject &b) { return rank(a) < rank(b); });
    return children;
}

bool isScratchpadOutput(const QJsonObject &node)
{
    return node.value(QLatin1String("name")).toString() == QLatin1String("__i3");
}

qint64 firstFocused(const QJsonObject &node, const std::function<bool(qint64)> &keep)
{
    const QString type = node.value(QLatin1String("type")).toString();
    const bool isContainer = type == QLatin1String("con") || type == QLatin1String("floating_con");
    const bool isLeaf = node.value(QLatin1String("nodes")).toArray().isEmpty() &&
                        node.value(QLatin1String("floating_nodes")).toArray().isEmpty();
    if (isContainer && isLeaf) {
        const qint64 id = node.value(QLatin1String("id")).toInteger();
        return id > 0 && keep(id) ? id : 0;
    }
    for (const auto &child : byFocus(node)) {
        if (child.value(QLatin1String("type")).toString() == QLatin1String("output") &&
            isScratchpadOutput(child))
            continue;
        // Only the workspace an output shows.
        if (type == QLatin1String("output") && child.value(QLatin1String("name")).toString() !=
                                                   node.value(QLatin1String("current_workspace")).toString())
            continue;
        if (const qint64 id = firstFocused(child, keep))
            return id;
    }
    return 0;
}

qint64 focusedIn(const QJsonObject &node)
{
    if (node.value(QLatin1String("focused")).toBool()) {
        const QString type = node.value(QLatin1String("type")).toString();
        return type == QLatin1String("con") || type == QLatin1String("floating_con")
                   ? node.value(QLatin1String("id")).toInteger()
                   : 0;
    }
    for (const auto &key : {QLatin1String("nodes"), QLatin1String("floating_nodes")})
        for (const auto &child : node.value(key).toArray())
            if (const qint64 id = focusedIn(child.toObject()))
                return id;
    return 0;
}

} // namespace

bool Window::inScratchpad() const
{
    return workspace == QLatin1String(kScratchpad);
}

bool Window::lostFullScreen(bool *global) const
{
    for (const bool g : {false, true}) {
        if (marks.contains(fullScreenMark(id, g))) {
            if (global)
                *global = g;
            return true;
        }
    }
    return false;
}

bool Window::floatedAbove(qint64 *before, qint64 *after) const
{
    const QString prefix = QStringLiteral("_lumora_floated_%1_").arg(id);
    for (const auto &mark : marks) {
        if (!mark.startsWith(prefix))
            continue;
        const QStringList parts = mark.mid(prefix.size()).split(QLatin1Char('_'));
        bool previousRead = false;
        bool nextRead = false;
        const qint64 previousId = parts.value(0).toLongLong(&previousRead);
        const qint64 nextId = parts.value(1).toLongLong(&nextRead);
        if (parts.size() != 2 || !previousRead || !nextRead)
            continue;
        if (before)
            *before = std::max<qint64>(0, previousId);
        if (after)
            *after = std::max<qint64>(0, nextId);
        return true;
    }
    return false;
}

QString floatedMark(qint64 id, qint64 previous, qint64 next)
{
    return QStringLiteral("_lumora_floated_%1_%2_%3").arg(id).arg(previous).arg(next);
}

QStringList tileBack(qint64 id, qint64 previous, qint64 next, const std::function<bool(qint64)> &anchored)
{
    const QString con = QStringLiteral("[con_id=%1] ").arg(id);
    const QString anchor = QStringLiteral("_lumora_anchor_%1").arg(id);
    QStringList list{con + QStringLiteral("floating disable")};
    const auto usable = [&](qint64 neighbour) {
        return neighbour > 0 && neighbour != id && anchored(neighbour);
    };
    if (usable(previous)) {
        list << QStringLiteral("[con_id=%1] mark --add %2").arg(previous).arg(anchor)
             << con + QStringLiteral("move container to mark %1").arg(anchor)
             << QStringLiteral("unmark %1").arg(anchor);
    } else if (usable(next)) {
        list << QStringLiteral("[con_id=%1] mark --add %2").arg(next).arg(anchor)
             << con + QStringLiteral("move container to mark %1").arg(anchor)
             << QStringLiteral("unmark %1").arg(anchor)
             << con + QStringLiteral("swap container with con_id %1").arg(next);
    }
    return list;
}

QHash<QString, QRect> outputRects(const QJsonObject &tree)
{
    QHash<QString, QRect> out;
    for (const auto &value : tree.value(QLatin1String("nodes")).toArray()) {
        const QJsonObject output = value.toObject();
        if (output.value(QLatin1String("type")).toString() == QLatin1String("output") &&
            !isScratchpadOutput(output))
            out.insert(output.value(QLatin1String("name")).toString(), rectOf(output));
    }
    return out;
}

QString fullScreenMark(qint64 id, bool global)
{
    return (global ? QStringLiteral("_lumora_fullscreen_global_%1") : QStringLiteral("_lumora_fullscreen_%1"))
        .arg(id);
}

QByteArray encode(quint32 type, const QByteArray &payload)
{
    QByteArray out(kMagic, kMagicSize);
    const quint32 length = static_cast<quint32>(payload.size());
    out.append(reinterpret_cast<const char *>(&length), sizeof length);
    out.append(reinterpret_cast<const char *>(&type), sizeof type);
    out.append(payload);
    return out;
}

void Decoder::feed(const QByteArray &bytes)
{
    if (!m_failed)
        m_buffer.append(bytes);
}

std::optional<Message> Decoder::next()
{
    if (m_failed || m_buffer.size() < kHeaderSize) {
        // Even a partial header must start the right way.
        if (!m_failed && !QByteArrayView(kMagic, kMagicSize).startsWith(m_buffer.left(kMagicSize)))
            m_failed = true;
        return std::nullopt;
    }
    if (!m_buffer.startsWith(QByteArrayView(kMagic, kMagicSize))) {
        m_failed = true;
        return std::nullopt;
    }
    const quint32 length = readWord(m_buffer.constData() + kMagicSize);
    if (length > maximumPayload) {
        m_failed = true;
        return std::nullopt;
    }
    if (m_buffer.size() < kHeaderSize + qsizetype(length))
        return std::nullopt;
    Message message;
    message.type = readWord(m_buffer.constData() + kMagicSize + 4);
    message.payload = m_buffer.mid(kHeaderSize, length);
    m_buffer.remove(0, kHeaderSize + length);
    return message;
}

QList<Window> windows(const QJsonObject &tree)
{
    QList<Window> out;
    walk(tree, {}, {}, false, {}, out);
    return out;
}

View view(const QJsonObject &tree)
{
    View out;
    for (const auto &output : byFocus(tree)) {
        if (output.value(QLatin1String("type")).toString() != QLatin1String("output") ||
            isScratchpadOutput(output))
            continue;
        const QString name = output.value(QLatin1String("name")).toString();
        const QString workspace = output.value(QLatin1String("current_workspace")).toString();
        if (name.isEmpty() || workspace.isEmpty())
            continue;
        out.visible.insert(name, workspace);
        if (out.focusedOutput.isEmpty())
            out.focusedOutput = name;
    }
    out.focused = focusedIn(tree);
    return out;
}

qint64 lastFocused(const QJsonObject &tree, const std::function<bool(qint64)> &keep)
{
    return firstFocused(tree, keep);
}

QStringList restoreView(const View &view, const QSet<qint64> &away)
{
    QStringList out;
    auto outputs = view.visible.keys();
    std::sort(outputs.begin(), outputs.end());
    outputs.removeOne(view.focusedOutput);
    if (view.visible.contains(view.focusedOutput))
        outputs.append(view.focusedOutput);
    for (const auto &output : std::as_const(outputs)) {
        out << QStringLiteral("focus output %1").arg(quoted(output))
            << QStringLiteral("workspace --no-auto-back-and-forth %1")
                   .arg(quoted(view.visible.value(output)));
    }
    if (view.focused > 0 && !away.contains(view.focused))
        out << QStringLiteral("[con_id=%1] focus").arg(view.focused);
    return out;
}

QString quoted(const QString &name)
{
    QString out = name;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

bool succeeded(const QByteArray &reply, QString *error)
{
    QJsonParseError parseError;
    const auto document = QJsonDocument::fromJson(reply, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isArray() || document.array().isEmpty()) {
        if (error)
            *error = QStringLiteral("unreadable reply");
        return false;
    }
    for (const auto &value : document.array()) {
        const QJsonObject result = value.toObject();
        if (!result.value(QLatin1String("success")).toBool()) {
            if (error)
                *error = result.value(QLatin1String("error")).toString(QStringLiteral("command failed"));
            return false;
        }
    }
    return true;
}

} // namespace SwayIpc
