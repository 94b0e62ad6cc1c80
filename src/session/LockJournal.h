#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

class Workspace;

// A small file that lists what this program has hidden while a lock is
// active, so that the next start can show it again when a run dies in the
// middle of a lock. It holds the workspace's opaque hidden-windows record,
// the writer's process id and a format tag, as JSON. Every write replaces
// the file atomically (write to a temporary file, then rename); an empty
// record removes it.
class LockJournal
{
public:
    // "<store path>.locked-windows": next to the store, in its owner-only folder.
    static QString pathForStore(const QString &storePath);

    explicit LockJournal(QString path = {});

    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // Replaces the file with the record, or removes it when the record is
    // empty. Returns false (and sets error) when the file cannot be written.
    bool write(const QJsonObject &record, QString *error = nullptr) const;
    // Removes the file; true when it is gone afterwards.
    bool clear() const;

    // The record in the file; nothing when there is no file. A file that
    // cannot be read or parsed sets error and yields nothing.
    std::optional<QJsonObject> read(QString *error = nullptr) const;

    // Start-up: shows again whatever a run that died during a lock left
    // hidden, then removes the journal; returns how many windows were shown.
    // The journal stays when the workspace is not available (nothing can be
    // checked now) or when its writer is still running. An unreadable
    // journal is reported in one line and removed.
    static int restoreLeftovers(Workspace &workspace, const QString &path);

private:
    std::optional<QJsonObject> readFile(QString *error) const;

    QString m_path;
};
