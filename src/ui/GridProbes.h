// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QProcessEnvironment>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <optional>

class QWidget;

// Layout-checking aid: chosen views report their rectangles (in window
// coordinates) as named probes. The main window can draw them over an 8-point
// grid, and the page-snapshot run writes them to a JSON layout file next to
// each image. Off in ordinary use; main thread only. The program keeps one
// set, handed to the views that report and to the ones that read.
class GridProbes : public QObject
{
    Q_OBJECT
public:
    enum class Kind { area, probe };

    struct Probe
    {
        Kind kind = Kind::area;
        QString name;
        QString area;
        std::optional<QString> edge;
        double inset = 0;
        double x = 0;
        double y = 0;
        double width = 0;
        double height = 0;

        QString key() const { return GridProbes::key(kind, name); }
        // The probe's JSON object; "edge" is left out when not set.
        QJsonObject toJson() const;
        friend bool operator==(const Probe &, const Probe &) = default;
    };

    explicit GridProbes(QObject *parent = nullptr) : QObject(parent) {}

    // On when APP_SNAPSHOT is in the environment, otherwise exactly when
    // APP_GRID is "1". Read once, then cached.
    static bool enabled();
    static bool enabledIn(const QProcessEnvironment &environment);
    // Test seam: forces the cached answer (nullopt reads the environment again).
    static void setEnabledOverride(std::optional<bool> value);

    // "area:focusScreenRow" and the like.
    static QString key(Kind kind, const QString &name);

    const QMap<QString, Probe> &probes() const { return m_probes; }
    const QHash<QString, QUuid> &owners() const { return m_owners; }

    // Stores the probe under its key and records who registered it.
    void update(const QUuid &owner, const Probe &probe);
    // Removes the probe only when the given owner is the one that registered
    // it last, so a stale view going away never removes a newer view's probe.
    void remove(Kind kind, const QString &name, const QUuid &owner);
    void clear();

    // Probes sorted by area, then y, then x.
    QList<Probe> sortedProbes() const;
    // {"probes": [...], "window": {"height", "width"}} pretty-printed with sorted keys.
    QByteArray layoutJson(const QSizeF &windowSize) const;
    // Writes layoutJson to path; returns false on failure (callers may ignore it).
    bool write(const QString &path, const QSizeF &windowSize) const;
    // The same for a window: its size is the content size.
    bool write(const QString &path, const QWidget *window) const;

Q_SIGNALS:
    void probesChanged();

private:
    QMap<QString, Probe> m_probes;
    QHash<QString, QUuid> m_owners;
};

template<> struct EnumTraits<GridProbes::Kind>
{
    static std::span<const EnumRow<GridProbes::Kind>> rows();
};
