// SPDX-License-Identifier: MIT
#include "GridProbes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {
std::optional<bool> &enabledCache()
{
    static std::optional<bool> cache;
    return cache;
}
} // namespace

std::span<const EnumRow<GridProbes::Kind>> EnumTraits<GridProbes::Kind>::rows()
{
    static constexpr std::array<EnumRow<GridProbes::Kind>, 2> table{{
        {GridProbes::Kind::area, "area", "Area", ""},
        {GridProbes::Kind::probe, "probe", "Probe", ""},
    }};
    return table;
}

QJsonObject GridProbes::Probe::toJson() const
{
    QJsonObject object{
        {QStringLiteral("kind"), rawValue(kind)},
        {QStringLiteral("name"), name},
        {QStringLiteral("area"), area},
        {QStringLiteral("inset"), inset},
        {QStringLiteral("x"), x},
        {QStringLiteral("y"), y},
        {QStringLiteral("width"), width},
        {QStringLiteral("height"), height},
    };
    if (edge)
        object.insert(QStringLiteral("edge"), *edge);
    return object;
}

bool GridProbes::enabledIn(const QProcessEnvironment &environment)
{
    if (environment.contains(QStringLiteral("APP_SNAPSHOT")))
        return true;
    return environment.value(QStringLiteral("APP_GRID")) == QLatin1String("1");
}

bool GridProbes::enabled()
{
    auto &cache = enabledCache();
    if (!cache)
        cache = enabledIn(QProcessEnvironment::systemEnvironment());
    return *cache;
}

void GridProbes::setEnabledOverride(std::optional<bool> value)
{
    enabledCache() = value;
}

QString GridProbes::key(Kind kind, const QString &name)
{
    return rawValue(kind) + QLatin1Char(':') + name;
}

void GridProbes::update(const QUuid &owner, const Probe &probe)
{
    const QString k = probe.key();
    const auto it = m_probes.constFind(k);
    if (it != m_probes.constEnd() && *it == probe && m_owners.value(k) == owner)
        return;
    m_probes.insert(k, probe);
    m_owners.insert(k, owner);
    Q_EMIT probesChanged();
}

void GridProbes::remove(Kind kind, const QString &name, const QUuid &owner)
{
    const QString k = key(kind, name);
    const auto it = m_owners.constFind(k);
    if (it == m_owners.constEnd() || *it != owner)
        return;
    m_owners.erase(it);
    m_probes.remove(k);
    Q_EMIT probesChanged();
}

void GridProbes::clear()
{
    if (m_probes.isEmpty() && m_owners.isEmpty())
        return;
    m_probes.clear();
    m_owners.clear();
    Q_EMIT probesChanged();
}

QList<GridProbes::Probe> GridProbes::sortedProbes() const
{
    QList<Probe> list = m_probes.values();
    std::stable_sort(list.begin(), list.end(), [](const Probe &a, const Probe &b) {
        if (a.area != b.area)
            return a.area < b.area;
        if (a.y != b.y)
            return a.y < b.y;
        return a.x < b.x;
    });
    return list;
}

QByteArray GridProbes::layoutJson(const QSizeF &windowSize) const
{
    QJsonArray probes;
    for (const Probe &probe : sortedProbes())
        probes.append(probe.toJson());
    // QJsonObject keeps its keys sorted, so the output has sorted keys.
    const QJsonObject root{
        {QStringLiteral("window"), QJsonObject{{QStringLiteral("width"), windowSize.width()},
                                               {QStringLiteral("height"), windowSize.height()}}},
        {QStringLiteral("probes"), probes},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool GridProbes::write(const QString &path, const QSizeF &windowSize) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = layoutJson(windowSize);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

bool GridProbes::write(const QString &path, const QWidget *window) const
{
    return write(path, window ? QSizeF(window->size()) : QSizeF());
}
