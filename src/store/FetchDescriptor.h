// SPDX-License-Identifier: MIT
#pragma once

#include <QList>

#include <functional>

enum class SortOrder { forward, reverse };

// One sort key of a fetch: compares two records by one field.
template<typename T> struct SortDescriptor
{
    std::function<int(const T &, const T &)> compare;

    // Sorts by the value a getter returns (anything with operator<).
    template<typename Getter> static SortDescriptor by(Getter getter, SortOrder order = SortOrder::forward)
    {
        return {[getter, order](const T &a, const T &b) {
            const auto &va = std::invoke(getter, a);
            const auto &vb = std::invoke(getter, b);
            const int c = va < vb ? -1 : (vb < va ? 1 : 0);
            return order == SortOrder::forward ? c : -c;
        }};
    }
};

// What to fetch: an optional filter and sort keys applied in order. Records
// that compare equal on every key keep the order in which they were inserted.
template<typename T> struct FetchDescriptor
{
    std::function<bool(const T &)> predicate;
    QList<SortDescriptor<T>> sortBy;
    int fetchLimit = -1;
};
