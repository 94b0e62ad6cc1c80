// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// sway's IPC protocol (the i3 one): every message is the magic "i3-ipc", the
// payload's length and the message type (both 32-bit, native byte order),
// then the JSON payload. Replies carry the request's type; events have the
// high bit set. Pure data in and out: the sockets live in SwayWorkspace.
namespace SwayIpc {

enum Type : quint32 {
    runCommand = 0,
    getWorkspaces = 1,
    subscribe = 2,
    getTree = 4,
    getVersion = 7,
};

constexpr quint32 eventBit = 0x80000000u;
constexpr quint32 workspaceEvent = eventBit | 0u;
constexpr quint32 outputEvent = eventBit | 1u;
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
    qint64 id = 0; // the container id ([con_id=...])
    QString appId; // Wayland application id
    QString title;
    QString windowClass;    // XWayland WM_CLASS class and instance
    QString windowInstance; //
    std::optional<qint32> pid;
    QString workspace; // the workspace it is on; "__i3_scratch" for the scratchpad
    bool floating = false;
    // Where it is, to put it back as it was: its output, full screen (on its
    // workspace or global), its rectangle in layout coordinates (a floating
    // window's geometry), the layout of the container it is in (splith,
    // splitv, tabbed, stacked) and its neighbours there (0: none).
    QString output;
    bool fullscreen = false;
    bool fullscreenGlobal = false;
    QRect rect;
    QString parentLayout;
    qint64 previous = 0;
    qint64 next = 0;
    QStringList marks;

    bool inScratchpad() const;
    // Whether the overlays took its full screen, and whether it was global
    // (see fullScreenMark()).
    bool lostFullScreen(bool *global = nullptr) const;
    // Whether the overlays floated it above them from a tiled place, and
    // the neighbours it had there (see floatedMark()).
    bool floatedAbove(qint64 *before = nullptr, qint64 *after = nullptr) const;
};

// The mark a window whose full screen this program's overlays took carries
// until it gets it back: it survives this program (a mark is sway's), so a
// later run or the bringing back of a hidden window can give it back.
QString fullScreenMark(qint64 id, bool global);

// The mark a tiled window carries while this program's overlays hold it
// floating above them: it names the neighbours it had in its container (0:
// none), so that this run or a later one tiles it back in its place.
QString floatedMark(qint64 id, qint64 previous, qint64 next);

// The commands that tile a floating window back into its place on its
// workspace: after its previous neighbour, else before its next one (so in
// the same tabbed, stacked or split container and in the same order), else
// at the end of the workspace. anchored says whether a neighbour is there
// to be placed next to (tiled on the same workspace). sway puts a window
// moved to a mark right after the marked one.
QStringList tileBack(qint64 id, qint64 previous, qint64 next, const std::function<bool(qint64)> &anchored);

// Each output's rectangle in layout coordinates.
QHash<QString, QRect> outputRects(const QJsonObject &tree);

// The application windows of a GET_TREE reply, in tree order (outputs,
// workspaces, tiled before floating).
QList<Window> windows(const QJsonObject &tree);

// What the user looks at: the workspace each output shows, and where the
// keyboard focus is.
struct View
{
    QHash<QString, QString> visible; // output name -> the workspace it shows
    QString focusedOutput;
    qint64 focused = 0; // the focused window; 0 when a workspace has it

    bool operator==(const View &) const = default;
};

View view(const QJsonObject &tree);

// The window that had the focus last among those keep accepts (following
// sway's focus order from the most recently focused output down); 0 when
// there is none.
qint64 lastFocused(const QJsonObject &tree, const std::function<bool(qint64)> &keep);

// The commands that bring the view back: each output shows its workspace
// again (made again on that output if it has gone), the focused output
// last, and the focused window has the focus (unless it is one of away).
QStringList restoreView(const View &view, const QSet<qint64> &away = {});

// A workspace name as a command argument: quoted, with quotes and
// backslashes escaped.
QString quoted(const QString &name);

// The outcome of a RUN_COMMAND reply: true when every command succeeded;
// error receives the first failure's message.
bool succeeded(const QByteArray &reply, QString *error = nullptr);

} // namespace SwayIpc
