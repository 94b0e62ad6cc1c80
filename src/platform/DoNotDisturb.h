// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// Holding back other programs' desktop notifications while the user
// focuses, with the means the desktop gives, and letting them through again.
//
// Holding is done in two steps so that a crash can be put right: prepare()
// reads what is set now and returns the record of what hold() will change,
// which the caller writes to its crash journal first; release() undoes it,
// in this run or, from the journal, in the next one. A setting the user
// changed in between is left as the user set it.
class DoNotDisturb
{
public:
    virtual ~DoNotDisturb() = default;

    // The record of what hold() will change: {"means": ..., ...}. Nothing
    // when there is nothing to do: notifications are held back already (why
    // stays empty), or the desktop has no means (why says so).
    virtual std::optional<QJsonObject> prepare(QString *why) = 0;
    // Holds notifications back as prepared; false when that failed.
    virtual bool hold(const QJsonObject &record) = 0;
    // Lets them through again: what hold() changed goes back to what it was,
    // unless someone has changed it since.
    virtual void release(const QJsonObject &record) = 0;
};
