// SPDX-License-Identifier: MIT
#include "NotificationHold.h"

#include "DoNotDisturb.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {
QString notHeldBack(const QString &why)
{
    return QCoreApplication::translate("NotificationHold", "Lumora: Notifications are not held back: %1")
        .arg(why);
}
} // namespace

QString NotificationHold::pathForLockJournal(const QString &lockJournalPath)
{
    if (lockJournalPath.isEmpty())
        return {};
    return lockJournalPath + QStringLiteral(".held-notifications");
}

NotificationHold::NotificationHold(DoNotDisturb *dnd, const QString &journalPath)
    : m_dnd(dnd), m_journal(journalPath)
{}

QString NotificationHold::hold()
{
    if (!m_dnd || m_record)
        return {};
    // Whatever a dead run left is put right first, so that it is neither
    // carried on in this journal nor taken for the state before.
    restoreLeftovers();
    QString why;
    const std::optional<QJsonObject> record = m_dnd->prepare(&why);
    if (!record) {
        if (why.isEmpty() || std::exchange(m_toldWhyNot, true))
            return {};
        qCWarning(lcSession).noquote() << notHeldBack(why);
        return why;
    }
    // Written ahead: a run killed from here on leaves it to the next start.
    QString error;
    if (!m_journal.write(*record, &error)) {
        qCWarning(lcSession).noquote() << notHeldBack(error);
        return {};
    }
    if (!m_dnd->hold(*record)) {
        m_journal.clear();
        return {};
    }
    m_record = record;
    return {};
}

void NotificationHold::release()
{
    if (!m_dnd || !m_record)
        return;
    m_dnd->release(*std::exchange(m_record, std::nullopt));
    m_journal.clear();
}

int NotificationHold::restoreLeftovers()
{
    if (!m_dnd || m_journal.path().isEmpty())
        return 0;
    const QJsonArray leftovers = m_journal.takeLeftovers();
    for (const auto &record : leftovers)
        m_dnd->release(record.toObject());
    if (!leftovers.isEmpty())
        m_journal.clear();
    return int(leftovers.size());
}
