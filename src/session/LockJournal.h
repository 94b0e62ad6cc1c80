// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QString>

#include <optional>

class Workspace;

// A small file that lists what this program has hidden, or is about to
// hide, so that the next start can show it again when a run dies in the
// middle of a lock. It holds the workspace's opaque hidden-windows record,
// the records a dead earlier run left behind and could not have shown yet
// ("inherited"), the writer's process id and a format tag, as JSON.
//
// Every write is durable before it returns: the file is written beside the
// journal, flushed to disk and renamed over it. A journal belongs to the
// process that wrote it: a write never replaces the journal of a writer that
// still runs, and the records of a dead writer are carried over into every
// later write until they have been shown again. An empty journal removes
// the file.
class LockJournal
{
public:
    // "<store path>.locked-windows": next to the store, in its owner-only folder.
    static QString pathForStore(const QString &storePath);

    explicit LockJournal(QString path = {});

    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // Replaces the file with the record and the inherited records, or
    // removes it when all are empty. Returns false (and sets error) when the
    // file cannot be written or belongs to another running writer; the file
    // on disk is then what it was before.
    bool write(const QJsonObject &record, QString *error = nullptr);
    // Removes the file unless it still names something hidden: true when it
    // is gone afterwards.
    bool clear();

    // The record in the file; nothing when there is no file. A file that
    // cannot be read or parsed sets error and yields nothing.
    std::optional<QJsonObject> read(QString *error = nullptr) const;
    // Start-up, for journals of other things than hidden windows: takes over
    // the records that writers which died left (their own and those they
    // carried) to be put right by the caller; later writes leave them out.
    QJsonArray takeLeftovers();
    // Records of a dead earlier writer not shown again yet.
    QJsonArray inherited() const { return m_inherited; }
    bool hasInherited() const { return !m_inherited.isEmpty(); }

    // Start-up: shows again whatever a run that died left hidden; returns how
    // many windows were shown. When the workspace cannot act yet (no window
    // manager) the records are kept, here and in the file, for a later call.
    // A journal whose writer still runs is left alone. An unreadable journal
    // is reported in one line and moved aside to "<path>.unreadable".
    int restoreLeftovers(Workspace &workspace);
    // The same for a journal at path, for a program that holds no lock.
    static int restoreLeftovers(Workspace &workspace, const QString &path);

    // Whether the process is alive: not gone, not a zombie, and (when name
    // is given) still the same program.
    static bool isProcessAlive(qint64 pid, const QString &name = {});

private:
    std::optional<QJsonObject> readFile(QString *error) const;
    bool adoptFile(QString *error);

    QString m_path;
    // Tells this journal's writes from those of any other writer, even one
    // that had the same process id.
    QString m_token;
    QJsonArray m_inherited;
    // Writers whose records are in m_inherited already.
    QSet<QString> m_adopted;
};
