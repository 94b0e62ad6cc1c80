// SPDX-License-Identifier: MIT
#pragma once

#include "DoNotDisturb.h"
#include "SessionSound.h"

#include <QList>
#include <QStringList>

// Do not disturb for unit tests: a desktop whose notifications are held back
// while `held` is true. With `means` empty the desktop has none (prepare()
// says why); `log` lists what was asked, "hold <means>" and "release <means>".
class FakeDoNotDisturb final : public DoNotDisturb
{
public:
    QString means = QStringLiteral("fake");
    bool held = false;
    bool failHold = false;
    QStringList log;

    std::optional<QJsonObject> prepare(QString *why) override
    {
        if (why)
            why->clear();
        if (means.isEmpty()) {
            if (why)
                *why = QStringLiteral("no means on this desktop");
            return std::nullopt;
        }
        if (held)
            return std::nullopt;
        return QJsonObject{{QStringLiteral("means"), means}};
    }
    bool hold(const QJsonObject &record) override
    {
        log << QStringLiteral("hold ") + record.value(QStringLiteral("means")).toString();
        if (failHold)
            return false;
        held = true;
        return true;
    }
    void release(const QJsonObject &record) override
    {
        log << QStringLiteral("release ") + record.value(QStringLiteral("means")).toString();
        held = false;
    }
};

// Counts the sounds asked for.
class FakeSessionSound final : public SessionSound
{
public:
    int completes = 0;
    void playComplete() override { ++completes; }
};
