// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

class ModelContext;
class QSqlQuery;

// A store file of its own in a temporary folder, filled through the store
// library before Lumora starts and read back straight from the SQLite file
// afterwards. The folder also holds the run's XDG config and data folders.
class ScratchStore
{
public:
    // One FocusSession row as the file holds it, with its screen's name.
    struct SessionRow
    {
        qint64 id = 0;
        QString screenName;
        double startTime = 0;
        std::optional<double> endTime;
        bool completed = false;
        std::optional<double> actualDuration;
        qint64 round = 0; // in a cycle of rounds, from 1; 0 otherwise
    };

    // Where the store of a run without APP_STORE lives, below folder():
    // $XDG_DATA_HOME/Lumora/Lumora.store with the run's data folder.
    static constexpr const char *kUserStorePath = "data/Lumora/Lumora.store";

    // relativePath: the store file below folder(); parent: where the folder
    // is made (a small file system of a test's own), the temporary folder
    // when empty.
    explicit ScratchStore(const QString &relativePath = QStringLiteral("Lumora.store"),
                          const QString &parent = QString());

    bool isValid() const { return m_dir.isValid(); }
    QString path() const;
    QString folder() const { return m_dir.path(); }
    // The bus name a Lumora on this store serves.
    QString serviceName() const;

    // Opens the store, lets fill insert records, saves and closes it again.
    // Returns an error text, empty on success.
    QString fill(const std::function<void(ModelContext *)> &fill) const;

    // The sessions in the file, oldest first; empty when it cannot be read.
    QList<SessionRow> sessions() const;
    // The newest session; nothing when there is none.
    std::optional<SessionRow> lastSession() const;
    // The newest session is of this screen and has ended.
    bool lastSessionEnded(const QString &screenName) const;
    // The names of the focus screens in the file, in row order.
    QStringList screenNames() const;
    // The file and its journal on disk, in bytes.
    qint64 sizeOnDisk() const;

private:
    // Runs a query on a read-only connection of its own, row by row.
    void read(const QString &sql, const std::function<void(QSqlQuery &)> &row) const;

    QTemporaryDir m_dir;
    QString m_relativePath;
};
