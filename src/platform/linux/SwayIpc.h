#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// sway's IPC protocol (the i3 one): every message is the magic "i3-ipc", the
// payload's length and the message type (both 32-bit, native byte order),
// then the JSON payload. Replies carry the request's type; events have the
// high bit set. Pure data in and out: the sockets live in SwayWorkspace.
namespace SwayIpc {

enum Type : quint32 {
    runCommand = 0,
    subscribe = 2,
    getTree = 4,
    getVersion = 7,
};

constexpr quint32 eventBit = 0x80000000u;
constexpr quint32 windowEvent = eventBit | 3u;
constexpr quint32 shutdownEvent = eventBit | 6u;
// Larger payloads are taken for a broken stream (a tree is a few hundred
// kilobytes on a crowded desktop).
constexpr quint32 maximumPayload = 64u * 1024u * 1024u;

struct Message
{
    quint32 type = 0;
    QByteArray payload;
};

QByteArray encode(quint32 type, const QByteArray &payload = {});

// Splits a byte stream into messages, whatever pieces it arrives in.
class Decoder
{
public:
    void feed(const QByteArray &bytes);
    // The next whole message; nothing while one is incomplete or after a fault.
    std::optional<Message> next();
    // The stream is not i3-ipc (wrong magic or an absurd length): nothing
    // more can be read from it.
    bool failed() const { return m_failed; }

private:
    QByteArray m_buffer;
    bool m_failed = false;
};

// One application window of the layout tree.
struct Window
{
    qint64 id = 0;          // the container id ([con_id=...])
    QString appId;          // Wayland application id
    QString windowClass;    // XWayland WM_CLASS class and instance
    QString windowInstance; //
    std::optional<qint32> pid;
    QString workspace; // the workspace it is on; "__i3_scratch" for the scratchpad
    bool floating = false;

    bool inScratchpad() const;
};

// The application windows of a GET_TREE reply, in tree order (outputs,
// workspaces, tiled before floating).
QList<Window> windows(const QJsonObject &tree);

// A workspace name as a command argument: quoted, with quotes and
// backslashes escaped.
QString quoted(const QString &name);

// The outcome of a RUN_COMMAND reply: true when every command succeeded;
// error receives the first failure's message.
bool succeeded(const QByteArray &reply, QString *error = nullptr);

} // namespace SwayIpc
