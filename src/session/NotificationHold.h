// SPDX-License-Identifier: MIT
#pragma once

#include "LockJournal.h"

#include <QJsonObject>
#include <QString>

#include <optional>

class DoNotDisturb;

// Holds other programs' notifications back for the length of a focus
// session, through the platform's DoNotDisturb, with a crash journal of its
// own beside the store: what is about to be changed is on disk before it is
// changed, so that a run that is killed has it put back at the next start.
// Where the desktop has no means it says so once per run (whyNotOnce()).
class NotificationHold
{
public:
    // "<lock journal>.held-notifications" beside the lock journal; empty: none.
    static QString pathForLockJournal(const QString &lockJournalPath);

    // dnd: not owned, may be null (nothing is held).
    NotificationHold(DoNotDisturb *dnd, const QString &journalPath);

    // Start of a session: holds notifications back. Where the desktop has no
    // means, says why on standard error and returns it, the first time only;
    // empty otherwise.
    QString hold();
    // End of a session (and an orderly exit): lets them through again.
    void release();
    bool isHolding() const { return m_record.has_value(); }

    // Start-up: puts back what a run that died left held; how many records.
    int restoreLeftovers();

private:
    DoNotDisturb *m_dnd = nullptr;
    LockJournal m_journal;
    std::optional<QJsonObject> m_record;
    bool m_toldWhyNot = false;
};
