// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// This program's side of the Lumora GNOME Shell extension (src/gnome-extension),
// which exports io.github.lumora.Lumora.Shell1 at /io/github/lumora/Lumora/Shell
// in GNOME Shell's own connection (org.gnome.Shell) on the session bus.
//
// The extension answers only a connection that owns one of this program's bus
// names, so it is reached once the single-instance name is held. connect()
// says this program's version; an extension of another version answers with
// its own and does nothing else, and connect() then reports a mismatch. The
// state is asked afresh (at most once a second) when it was not connected,
// and whenever GNOME Shell comes, goes or is replaced.
class GnomeShellExtension : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kService = "org.gnome.Shell";
    static constexpr const char *kPath = "/io/github/lumora/Lumora/Shell";
    static constexpr const char *kInterface = "io.github.lumora.Lumora.Shell1";
    static constexpr const char *kUuid = "lumora@lumora.github.io";
    // The shell answers at once; this is the limit for a busy machine.
    static constexpr int kAnswerTimeoutMs = 5000;

    enum class State {
        noShell,    // GNOME Shell is not on the session bus
        absent,     // the shell runs without the extension (not installed, not enabled)
        refused,    // the extension refused this process (it owns no Lumora name)
        mismatched, // the extension is of another version
        connected,
    };

    // One window as the extension lists it.
    struct Window
    {
        quint64 id = 0;
        QString wmClass;
        QString wmInstance;
        QString gtkApplicationId;
        QString sandboxedAppId;
        QString desktopId; // the desktop entry GNOME Shell matched, "" when none
        QString title;
        qint32 pid = 0; // 0 when unknown
        bool minimized = false;
    };

    explicit GnomeShellExtension(QObject *parent = nullptr);
    ~GnomeShellExtension() override;

    // Whether GNOME Shell is on the session bus.
    static bool isGnomeShellRunning();
    // The extension is installed where GNOME Shell finds it (for the user or
    // system-wide), and whether the shell lists it as enabled.
    static bool isInstalled();

    // Connects when not connected (asked at most once a second while it is
    // not) and returns the state.
    State ensureConnected();
    State state() const;
    // The extension's version when it answered.
    QString extensionVersion() const;
    // One short phrase saying why the extension is of no use here; empty when
    // connected.
    QString problem() const;

    std::optional<QList<Window>> listWindows();
    // Returns the ids whose state changed; nothing when the call failed.
    std::optional<QList<quint64>> setMinimized(const QList<quint64> &ids, bool minimized);
    bool holdOverlays(const QStringList &titles, const QStringList &aboveTitles, bool othersAbove);
    bool releaseOverlays();
    // Whether the extension follows windows and says when they change
    // (windowsChanged); it follows nothing otherwise, unless overlays are held.
    bool watch(bool watching);
    bool setIndicator(bool visible, const QString &countdown, const QString &tooltip);
    bool setShortcut(const QString &accelerator);

Q_SIGNALS:
    void windowsChanged();
    void indicatorActivated();
    void shortcutActivated();
    // GNOME Shell came, went or was replaced: whatever the old one held is
    // gone, and the next call connects afresh.
    void shellChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
