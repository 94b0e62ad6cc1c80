// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;

// Help → About Lumora: the version, the licence, where the store file is
// kept and a link to the usage notes (the README).
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    // `storePath` is the store file's path; `readme` the usage notes' file
    // (no link when empty).
    AboutDialog(const QString &storePath, const QString &readme, QWidget *parent = nullptr);

    // The version of this build.
    static QString version();
    // A path as the user writes it: the home folder as "~".
    static QString displayPath(const QString &path);
    // The README next to the installed program, else the one of the source
    // tree it was built from; empty when neither exists.
    static QString readmePath();

    QLabel *versionLabel() const { return m_version; }
    QLabel *storeLabel() const { return m_store; }
    QLabel *readmeLink() const { return m_readme; }

private:
    QLabel *m_version;
    QLabel *m_store;
    QLabel *m_readme;
};
