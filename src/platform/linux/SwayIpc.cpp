#include "SwayIpc.h"

#include <QJsonArray>
#include <QJsonDocument>

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

void walk(const QJsonObject &node, const QString &workspace, bool floating, QList<Window> &out)
{
    const QString type = node.value(QLatin1String("type")).toString();
    QString here = workspace;
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
        window.windowClass = properties.value(QLatin1String("class")).toString();
        window.windowInstance = properties.value(QLatin1String("instance")).toString();
        const qint64 pid = node.value(QLatin1String("pid")).toInteger();
        if (pid > 0 && pid <= std::numeric_limits<qint32>::max())
            window.pid = static_cast<qint32>(pid);
        window.workspace = here;
        window.floating = isFloating;
        if (window.id > 0)
            out.append(window);
        return;
    }
    for (const auto &child : nodes)
        walk(child.toObject(), here, false, out);
    for (const auto &child : floatingNodes)
        walk(child.toObject(), here, true, out);
}

} // namespace

bool Window::inScratchpad() const
{
    return workspace == QLatin1String(kScratchpad);
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
    walk(tree, {}, false, out);
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
